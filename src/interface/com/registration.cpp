#include "interface/com/registration.h"

#include <oleauto.h>

#include <string>

#include "common/win32/wide_text.h"
#include "interface/com/identity.h"
#include "interface/com/module.h"
#include "sarnlink_idl.h"

namespace sarnlink::com {
namespace {

// What is registered for each class, declared once.
struct ClassEntry {
  const CLSID* clsid;
  const char16_t* prog_id;
  const char16_t* name;
};

const ClassEntry kClasses[] = {
    {&CLSID_clsMTExport, kClsMTExportProgId, u"Sarnlink.clsMTExport"},
    {&CLSID_Information, kInformationProgId, u"Sarnlink.Information"},
};

constexpr WORD kLibraryMajor = 12;
constexpr WORD kLibraryMinor = 1;

std::u16string GuidText(const GUID& guid) {
  WCHAR text[40];
  StringFromGUID2(guid, text, 40);
  return FromWide(text);
}

HRESULT SetValue(const std::u16string& key, const char16_t* name, const std::u16string& value) {
  HKEY handle = nullptr;
  LONG rc = RegCreateKeyExW(HKEY_CLASSES_ROOT, Wide(key), 0, nullptr, 0, KEY_WRITE, nullptr,
                            &handle, nullptr);
  if (rc == ERROR_SUCCESS) {
    rc = RegSetValueExW(handle, name ? Wide(name) : nullptr, 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>((value.size() + 1) * sizeof(char16_t)));
    RegCloseKey(handle);
  }
  return HRESULT_FROM_WIN32(rc);
}

// Deletes a key and everything below it; a key that is not there is not an error.
HRESULT DeleteTree(const std::u16string& key) {
  const LONG rc = RegDeleteTreeW(HKEY_CLASSES_ROOT, Wide(key));
  return (rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND) ? S_OK : HRESULT_FROM_WIN32(rc);
}

HRESULT RegisterClass(const ClassEntry& entry, const std::u16string& path) {
  const std::u16string clsid = GuidText(*entry.clsid);
  const std::u16string key = u"CLSID\\" + clsid;
  HRESULT hr = SetValue(key, nullptr, entry.name);
  if (SUCCEEDED(hr))
    hr = SetValue(key + u"\\InprocServer32", nullptr, path);
  if (SUCCEEDED(hr))
    hr = SetValue(key + u"\\InprocServer32", u"ThreadingModel", u"Apartment");
  if (SUCCEEDED(hr))
    hr = SetValue(key + u"\\ProgID", nullptr, entry.prog_id);
  if (SUCCEEDED(hr))
    hr = SetValue(key + u"\\TypeLib", nullptr, GuidText(LIBID_Sarnlink));
  if (SUCCEEDED(hr))
    hr = SetValue(key + u"\\Version", nullptr, u"12.1");
  if (SUCCEEDED(hr))
    hr = SetValue(entry.prog_id, nullptr, entry.name);
  if (SUCCEEDED(hr))
    hr = SetValue(std::u16string(entry.prog_id) + u"\\CLSID", nullptr, clsid);
  return hr;
}

}  // namespace

HRESULT RegisterComponent() noexcept {
  try {
    WCHAR path[MAX_PATH];
    HRESULT hr = ModulePath(path, MAX_PATH);
    if (FAILED(hr)) {
      return hr;
    }
    ITypeLib* library = nullptr;
    hr = LoadTypeLibEx(path, REGKIND_REGISTER, &library);
    if (FAILED(hr)) {
      return hr;
    }
    library->Release();
    for (const ClassEntry& entry : kClasses) {
      hr = RegisterClass(entry, FromWide(path));
      if (FAILED(hr)) {
        return hr;
      }
    }
    return S_OK;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

HRESULT UnregisterComponent() noexcept {
  try {
    HRESULT result = S_OK;
    for (const ClassEntry& entry : kClasses) {
      for (const std::u16string& key :
           {u"CLSID\\" + GuidText(*entry.clsid), std::u16string(entry.prog_id)}) {
        const HRESULT hr = DeleteTree(key);
        if (FAILED(hr)) {
          result = hr;
        }
      }
    }
    const SYSKIND kind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
    const HRESULT hr =
        UnRegisterTypeLib(LIBID_Sarnlink, kLibraryMajor, kLibraryMinor, LOCALE_NEUTRAL, kind);
    if (FAILED(hr) && hr != TYPE_E_REGISTRYACCESS && hr != TYPE_E_LIBNOTREGISTERED) {
      result = hr;
    }
    return result;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

}  // namespace sarnlink::com
