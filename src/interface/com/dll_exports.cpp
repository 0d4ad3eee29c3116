// The four exports of the in-process server, and DllMain.
#include <windows.h>

#include <new>

#include "interface/com/class_factory.h"
#include "interface/com/cls_mt_export_object.h"
#include "interface/com/information_object.h"
#include "interface/com/module.h"
#include "interface/com/registration.h"
#include "ui/win32/win32_window_helpers.h"

using namespace sarnlink::com;

namespace {

IUnknown* MakeClsMTExport() {
  return static_cast<_clsMTExport*>(new ClsMTExportObject());
}
IUnknown* MakeInformation() {
  return static_cast<_Information*>(new InformationObject());
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  if (!out) {
    return E_POINTER;
  }
  *out = nullptr;
  ClassFactory::Maker maker = nullptr;
  if (IsEqualCLSID(clsid, CLSID_clsMTExport)) {
    maker = MakeClsMTExport;
  } else if (IsEqualCLSID(clsid, CLSID_Information)) {
    maker = MakeInformation;
  } else {
    return CLASS_E_CLASSNOTAVAILABLE;
  }
  ClassFactory* factory = new (std::nothrow) ClassFactory(maker);
  if (!factory) {
    return E_OUTOFMEMORY;
  }
  const HRESULT hr = factory->QueryInterface(iid, out);
  factory->Release();
  return hr;
}

// Before saying yes, lets go of what the DLL keeps for its life (the type library, the window
// classes, the font), so that nothing of it outlives an unload or is found stale after a reload.
extern "C" HRESULT WINAPI DllCanUnloadNow() {
  if (!CanUnload()) {
    return S_FALSE;
  }
  ReleaseTypeLibrary();
  sarnlink::ReleaseWindowResources();
  return S_OK;
}

extern "C" HRESULT WINAPI DllRegisterServer() {
  return RegisterComponent();
}

extern "C" HRESULT WINAPI DllUnregisterServer() {
  return UnregisterComponent();
}
