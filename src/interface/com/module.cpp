#include "interface/com/module.h"

#include <oleauto.h>

namespace sarnlink::com {
namespace {

LONG g_objects = 0;                  // live COM objects of this DLL
LONG g_locks = 0;                    // IClassFactory::LockServer count
ITypeLib* g_type_library = nullptr;  // loaded on first use, kept until the DLL may unload
LONG g_pinned = 0;                   // PinModule has run

}  // namespace

HINSTANCE g_module = nullptr;

void AddObject() {
  InterlockedIncrement(&g_objects);
}
void ReleaseObject() {
  InterlockedDecrement(&g_objects);
}
void PinModule() {
  if (InterlockedExchange(&g_pinned, 1) == 0) {
    // Should it fail, the window's module lock still holds the DLL, short of CoUninitialize.
    HMODULE pinned = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                       reinterpret_cast<LPCWSTR>(g_module), &pinned);
  }
}
void LockModule(bool lock) {
  if (lock) {
    InterlockedIncrement(&g_locks);
  } else {
    InterlockedDecrement(&g_locks);
  }
}
bool CanUnload() {
  return g_objects == 0 && g_locks == 0;
}

void ReleaseTypeLibrary() {
  if (ITypeLib* library = static_cast<ITypeLib*>(
          InterlockedExchangePointer(reinterpret_cast<void**>(&g_type_library), nullptr))) {
    library->Release();
  }
}

HRESULT ModulePath(WCHAR* path, DWORD size) {
  const DWORD length = GetModuleFileNameW(g_module, path, size);
  return (length == 0 || length >= size) ? E_FAIL : S_OK;
}

HRESULT GetTypeInfoOf(REFIID iid, ITypeInfo** info) {
  *info = nullptr;
  if (!g_type_library) {
    WCHAR path[MAX_PATH];
    HRESULT hr = ModulePath(path, MAX_PATH);
    if (FAILED(hr)) {
      return hr;
    }
    ITypeLib* library = nullptr;
    hr = LoadTypeLibEx(path, REGKIND_NONE, &library);
    if (FAILED(hr)) {
      return hr;
    }
    if (InterlockedCompareExchangePointer(reinterpret_cast<void**>(&g_type_library), library,
                                          nullptr) != nullptr) {
      library->Release();
    }
  }
  return g_type_library->GetTypeInfoOfGuid(iid, info);
}

HRESULT TypeInfoAt(REFIID iid, UINT index, ITypeInfo** info) {
  if (!info) {
    return E_POINTER;
  }
  *info = nullptr;
  return index == 0 ? GetTypeInfoOf(iid, info) : DISP_E_BADINDEX;
}

HRESULT IdsOfNames(REFIID iid, LPOLESTR* names, UINT count, DISPID* ids) {
  ITypeInfo* info = nullptr;
  HRESULT hr = GetTypeInfoOf(iid, &info);
  if (SUCCEEDED(hr)) {
    hr = DispGetIDsOfNames(info, names, count, ids);
    info->Release();
  }
  return hr;
}

}  // namespace sarnlink::com
