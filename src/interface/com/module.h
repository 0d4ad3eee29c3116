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
// Keeps the DLL loaded for the life of the process, from the first window it shows on: a
// window outlives its objects (the progress window stays until its OK), and CoUninitialize
// frees an in-process server whatever DllCanUnloadNow answers. Once is enough; later calls do
// nothing.
void PinModule();
// Lets go of the type library, when the DLL may be unloaded; the next use loads it again.
void ReleaseTypeLibrary();

// The type information of `iid` from the embedded type library (TYPELIB 1), loaded once and
// kept; the caller gets its own reference.
HRESULT GetTypeInfoOf(REFIID iid, ITypeInfo** info);

// IDispatch's GetTypeInfo and GetIDsOfNames for an object whose only interface is `iid`.
HRESULT TypeInfoAt(REFIID iid, UINT index, ITypeInfo** info);
HRESULT IdsOfNames(REFIID iid, LPOLESTR* names, UINT count, DISPID* ids);

// The full path of this DLL.
HRESULT ModulePath(WCHAR* path, DWORD size);

}  // namespace sarnlink::com
