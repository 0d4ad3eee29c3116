// What the DLL as a whole keeps: its instance handle, the count of live objects and locks that
// DllCanUnloadNow answers from, and the type library both classes dispatch through.
#pragma once

#include <oaidl.h>
#include <windows.h>

namespace sarnlink::com {

extern HINSTANCE g_module;

void AddObject();
void ReleaseObject();
void LockModule(bool lock);
bool CanUnload();

// The type information of `iid` from the embedded type library (TYPELIB 1), loaded once and
// kept; the caller gets its own reference.
HRESULT GetTypeInfoOf(REFIID iid, ITypeInfo** info);

// The full path of this DLL.
HRESULT ModulePath(WCHAR* path, DWORD size);

}  // namespace sarnlink::com
