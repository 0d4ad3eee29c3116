// A COM client as a host would be: creates the component's classes by ProgID, checks the type
// information against the interface's function table, calls through the vtable and through
// IDispatch, passes the record both ways, and reads error information after a failure.
// Usage: com_client DLL_PATH DIARY OUT_DIR opens|refused
//   DLL_PATH  the registered DLL, for DllCanUnloadNow;
//   DIARY     an existing diary file;
//   opens     the build reaches the diary (Winelib with SQLite), refused: it cannot (ADO, no Jet).
// Ends with "com_client: N passed, M failed" and exits non-zero on any failure.
#include <windows.h>
// after windows.h, which it needs
#include <oleauto.h>

#include <cstdio>
#include <string>
#include <vector>

#include "sarnlink_idl.h"
#include "wine_test_text.h"

namespace {

int g_passed = 0;
int g_failed = 0;

void Check(bool ok, const char* what, HRESULT hr = S_OK) {
  if (ok) {
    ++g_passed;
  } else {
    ++g_failed;
    std::printf("FAILED: %s (hr 0x%08lX)\n", what, static_cast<unsigned long>(hr));
  }
}

BSTR Bstr(const char16_t* text) {
  return SysAllocString(reinterpret_cast<const OLECHAR*>(text));
}

std::u16string Text(BSTR b) {
  return b ? std::u16string(reinterpret_cast<const char16_t*>(b), SysStringLen(b)) : u"";
}

std::u16string ErrorDescription() {
  IErrorInfo* info = nullptr;
  std::u16string text;
  if (GetErrorInfo(0, &info) == S_OK && info) {
    BSTR description = nullptr, source = nullptr;
    info->GetDescription(&description);
    info->GetSource(&source);
    text = Text(source) + u": " + Text(description);
    SysFreeString(description);
    SysFreeString(source);
    info->Release();
  }
  return text;
}

bool Contains(const std::u16string& text, const char16_t* part) {
  return text.find(part) != std::u16string::npos;
}

// The record as the type library describes it must be the record this process was compiled
// with: the same size (28 bytes in a 32-bit process), and every field read back by name from
// the bytes the client filled.
void CheckRecordLayout(IRecordInfo* record_info, ExportSetting& setting) {
  ULONG size = 0;
  HRESULT hr = record_info->GetSize(&size);
  Check(SUCCEEDED(hr) && size == sizeof(ExportSetting), "the record's size is the compiled one",
        hr);
  if (sizeof(void*) == 4) {
    Check(size == 28, "the record is 28 bytes in a 32-bit process");
  }
  struct Field {
    const wchar_t* name;
    std::u16string text;  // for a BSTR field
    short number;         // for a 16-bit field
  } fields[] = {
      {L"stGenre", Text(setting.stGenre), 0},
      {L"stStartDay", Text(setting.stStartDay), 0},
      {L"stEndDay", Text(setting.stEndDay), 0},
      {L"intPublish", u"", setting.intPublish},
      {L"intScroll", u"", setting.intScroll},
      {L"intBR", u"", setting.intBR},
      {L"intHyphen", u"", setting.intHyphen},
      {L"intPublishDay", u"", setting.intPublishDay},
      {L"intAllowPing", u"", setting.intAllowPing},
      {L"intAllowComment", u"", setting.intAllowComment},
  };
  for (const Field& f : fields) {
    VARIANT value;
    VariantInit(&value);
    hr = record_info->GetField(&setting, f.name, &value);
    const bool text = f.name[0] == L's';
    const bool same = text ? V_VT(&value) == VT_BSTR && Text(V_BSTR(&value)) == f.text
                           : V_VT(&value) == VT_I2 && V_I2(&value) == f.number;
    char what[80];
    std::snprintf(what, sizeof what, "the record's field %ls reads back by name", f.name);
    Check(SUCCEEDED(hr) && same, what, hr);
    VariantClear(&value);
  }
}

// The function table as the host compiles against it: name, DISPID, slot after IDispatch's 7.
struct Slot {
  const char16_t* name;
  DISPID id;
};
const Slot kConverterSlots[] = {
    {u"Initialize", 0x60030008},       {u"SetImport", 0x60030009},
    {u"SetExport", 0x6003000A},        {u"SetAuthor", 0x6003000B},
    {u"setExportSetting", 0x6003000C}, {u"SetExportSettingMySelf", 0x6003000D},
    {u"SetPath", 0x6003000E},          {u"Execute", 0x6003000F},
    {u"SetAuthorMySelf", 0x60030010},
};
const Slot kInformationSlots[] = {{u"GetVersion", 0x60030004},
                                  {u"GetVersionMajor", 0x60030005},
                                  {u"GetVersionMinor", 0x60030006},
                                  {u"GetVersionRevision", 0x60030007}};

template <std::size_t N>
void CheckTypeInfo(IDispatch* object, const Slot (&slots)[N], const char* which) {
  ITypeInfo* info = nullptr;
  HRESULT hr = object->GetTypeInfo(0, 0, &info);
  Check(SUCCEEDED(hr) && info, "GetTypeInfo", hr);
  if (!info) {
    return;
  }
  ITypeInfo* vtable_view = info;
  // A dual interface's dispatch view hands out its vtable view on request.
  HREFTYPE ref = 0;
  ITypeInfo* vtable_info = nullptr;
  if (SUCCEEDED(info->GetRefTypeOfImplType(-1, &ref)) &&
      SUCCEEDED(info->GetRefTypeInfo(ref, &vtable_info))) {
    vtable_view = vtable_info;
  }
  TYPEATTR* attr = nullptr;
  vtable_view->GetTypeAttr(&attr);
  Check(attr && (attr->wTypeFlags & TYPEFLAG_FDUAL) && (attr->wTypeFlags & TYPEFLAG_FHIDDEN) &&
            (attr->wTypeFlags & TYPEFLAG_FNONEXTENSIBLE),
        which);
  const UINT functions = attr ? attr->cFuncs : 0;
  if (attr) {
    vtable_view->ReleaseTypeAttr(attr);
  }
  int matched = 0;
  for (UINT k = 0; k < functions; ++k) {
    FUNCDESC* desc = nullptr;
    if (FAILED(vtable_view->GetFuncDesc(k, &desc))) {
      continue;
    }
    BSTR name = nullptr;
    vtable_view->GetDocumentation(desc->memid, &name, nullptr, nullptr, nullptr);
    const int slot = desc->oVft / static_cast<int>(sizeof(void*)) - 7;
    for (std::size_t s = 0; s < N; ++s) {
      if (Text(name) == slots[s].name) {
        Check(slot == static_cast<int>(s) && desc->memid == slots[s].id, which);
        ++matched;
      }
    }
    SysFreeString(name);
    vtable_view->ReleaseFuncDesc(desc);
  }
  Check(matched == static_cast<int>(N), which);
  for (const Slot& slot : slots) {
    LPOLESTR name = const_cast<LPOLESTR>(reinterpret_cast<const OLECHAR*>(slot.name));
    DISPID id = 0;
    hr = object->GetIDsOfNames(IID_NULL, &name, 1, 0, &id);
    Check(SUCCEEDED(hr) && id == slot.id, "GetIDsOfNames", hr);
  }
  if (vtable_info) {
    vtable_info->Release();
  }
  info->Release();
}

HRESULT InvokeMethod(IDispatch* object, DISPID id, std::vector<VARIANT> args, VARIANT* result,
                     EXCEPINFO* exception = nullptr) {
  DISPPARAMS params = {args.data(), nullptr, static_cast<UINT>(args.size()), 0};
  EXCEPINFO ignored = {};
  UINT arg_err = 0;
  return object->Invoke(id, IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &params, result,
                        exception ? exception : &ignored, &arg_err);
}

VARIANT BstrArg(const std::u16string& text) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_BSTR;
  V_BSTR(&v) = Bstr(text.c_str());
  return v;
}

void CheckInformation() {
  CLSID clsid;
  HRESULT hr = CLSIDFromProgID(reinterpret_cast<LPCOLESTR>(u"Sarnlink.Information"), &clsid);
  Check(SUCCEEDED(hr) && IsEqualCLSID(clsid, CLSID_Information), "ProgID Sarnlink.Information", hr);
  _Information* information = nullptr;
  hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID__Information,
                        reinterpret_cast<void**>(&information));
  Check(SUCCEEDED(hr), "create Information", hr);
  if (!information) {
    return;
  }
  short v = 0, major = -1, minor = -1, revision = -1;
  information->GetVersion(&v);
  information->GetVersionMajor(&major);
  information->GetVersionMinor(&minor);
  information->GetVersionRevision(&revision);
  Check(v == 100 && major == 1 && minor == 0 && revision == 0, "Information's four values");
  VARIANT result;
  VariantInit(&result);
  hr = InvokeMethod(information, 0x60030004, {}, &result);
  Check(SUCCEEDED(hr) && V_VT(&result) == VT_I2 && V_I2(&result) == 100, "GetVersion by DISPID",
        hr);
  CheckTypeInfo(information, kInformationSlots, "Information type info");
  information->Release();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::printf("usage: com_client DLL DIARY OUT_DIR opens|refused\n");
    return 2;
  }
  const std::u16string dll = Utf16(argv[1]);
  const std::u16string diary = Utf16(argv[2]);
  const std::u16string out_dir = Utf16(argv[3]);
  const bool opens = std::string(argv[4]) == "opens";
  CoInitialize(nullptr);

  CLSID clsid;
  HRESULT hr = CLSIDFromProgID(reinterpret_cast<LPCOLESTR>(u"Sarnlink.clsMTExport"), &clsid);
  Check(SUCCEEDED(hr) && IsEqualCLSID(clsid, CLSID_clsMTExport), "ProgID Sarnlink.clsMTExport", hr);
  _clsMTExport* converter = nullptr;
  hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID__clsMTExport,
                        reinterpret_cast<void**>(&converter));
  Check(SUCCEEDED(hr) && converter, "create clsMTExport", hr);
  if (!converter) {
    std::printf("com_client: %d passed, %d failed\n", g_passed, g_failed);
    return 1;
  }

  // The earlier interface identifier and ISupportErrorInfo.
  const IID earlier = {
      0xA63628B0, 0x9D60, 0x41AF, {0x93, 0xFD, 0xAF, 0x85, 0xA4, 0xB4, 0xF1, 0x65}};
  IUnknown* alias = nullptr;
  hr = converter->QueryInterface(earlier, reinterpret_cast<void**>(&alias));
  Check(SUCCEEDED(hr) && alias, "the earlier IID", hr);
  if (alias) {
    alias->Release();
  }
  ISupportErrorInfo* support = nullptr;
  converter->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&support));
  Check(support && support->InterfaceSupportsErrorInfo(IID__clsMTExport) == S_OK,
        "ISupportErrorInfo");
  if (support) {
    support->Release();
  }
  CheckTypeInfo(converter, kConverterSlots, "clsMTExport type info");

  // Through the vtable, in the calling order.
  VARIANT_BOOL ok = VARIANT_TRUE;
  BSTR missing = Bstr((out_dir + u"\\no-such-diary.db").c_str());
  converter->Initialize(&missing, &ok);
  Check(ok == VARIANT_FALSE, "Initialize with a missing diary is false");
  BSTR empty = Bstr(u"");
  converter->Initialize(&empty, &ok);
  Check(ok == VARIANT_FALSE, "Initialize with an empty path is false");
  converter->SetExport();
  BSTR out_path = Bstr((out_dir + u"\\com-export.txt").c_str());
  VARIANT_BOOL overwrite = VARIANT_TRUE;
  converter->SetPath(&out_path, &overwrite, &ok);
  Check(ok == VARIANT_TRUE, "SetPath for a new export file");

  // The record through the vtable.
  ExportSetting setting = {};
  setting.stGenre = Bstr(u"旅行");
  setting.stStartDay = Bstr(u"");
  setting.stEndDay = Bstr(u"");
  setting.intBR = 1;
  setting.intHyphen = 1;
  setting.intPublishDay = 1;
  setting.intAllowPing = 0;
  setting.intAllowComment = 2;
  setting.intScroll = 7;  // distinct values, so that a shifted field cannot read back right
  setting.intPublish = 2;
  hr = converter->setExportSetting(&setting);
  Check(SUCCEEDED(hr), "setExportSetting through the vtable", hr);

  // The record through IDispatch, by its IRecordInfo.
  IRecordInfo* record_info = nullptr;
  const GUID setting_guid = {
      0x3FFA5194, 0xA0A5, 0x4F8F, {0xB5, 0x22, 0xFB, 0xB2, 0xE2, 0xE6, 0x26, 0x6F}};
  hr = GetRecordInfoFromGuids(LIBID_Sarnlink, 12, 1, 0, setting_guid, &record_info);
  Check(SUCCEEDED(hr) && record_info, "GetRecordInfoFromGuids", hr);
  if (record_info) {
    CheckRecordLayout(record_info, setting);
    VARIANT record;
    VariantInit(&record);
    V_VT(&record) = VT_RECORD | VT_BYREF;
    V_RECORD(&record) = &setting;
    V_RECORDINFO(&record) = record_info;
    VARIANT result;
    VariantInit(&result);
    hr = InvokeMethod(converter, 0x6003000C, {record}, &result);
    Check(SUCCEEDED(hr), "setExportSetting through IDispatch", hr);
    record_info->Release();
  }

  // IDispatch with plain values where the interface takes references, and a missing optional.
  VARIANT result;
  VariantInit(&result);
  hr = InvokeMethod(converter, 0x60030008, {BstrArg(diary)}, &result);
  Check(SUCCEEDED(hr) && V_VT(&result) == VT_BOOL && V_BOOL(&result) == VARIANT_TRUE,
        "Initialize by DISPID with a plain BSTR", hr);
  VARIANT missing_optional;
  VariantInit(&missing_optional);
  V_VT(&missing_optional) = VT_ERROR;
  V_ERROR(&missing_optional) = DISP_E_PARAMNOTFOUND;
  VariantInit(&result);
  // Arguments go last first: OverWrite (missing), then the path.
  hr = InvokeMethod(converter, 0x6003000E,
                    {missing_optional, BstrArg(out_dir + u"\\com-export.txt")}, &result);
  Check(SUCCEEDED(hr) && V_BOOL(&result) == VARIANT_TRUE, "SetPath by DISPID, OverWrite missing",
        hr);

  // Execute: against a diary that cannot be opened it fails with error information.
  ok = VARIANT_TRUE;
  hr = converter->Execute(&ok);
  const std::u16string error = ErrorDescription();
  if (!opens) {
    Check(FAILED(hr) && ok == VARIANT_FALSE, "Execute without a reachable diary fails", hr);
    Check(
        Contains(error, u"Sarnlink.clsMTExport: database error") && Contains(error, u"0x800401F3"),
        "error information names the ProgID and the refusal");
    EXCEPINFO exception = {};
    VariantInit(&result);
    hr = InvokeMethod(converter, 0x6003000F, {}, &result, &exception);
    Check(hr == DISP_E_EXCEPTION && Contains(Text(exception.bstrDescription), u"database error"),
          "Execute by DISPID reports DISP_E_EXCEPTION with the description", hr);
  } else {
    Check(SUCCEEDED(hr) && ok == VARIANT_FALSE, "Execute exports and returns False", hr);
  }
  converter->Release();
  CheckInformation();

  // The version resource: file version 1.0.0.0, shown as "1.00".
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(reinterpret_cast<LPCWSTR>(dll.c_str()), &ignored);
  std::vector<char> version(size);
  Check(size > 0 &&
            GetFileVersionInfoW(reinterpret_cast<LPCWSTR>(dll.c_str()), 0, size, version.data()),
        "the version resource");
  if (size > 0) {
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    VerQueryValueW(version.data(), L"\\", reinterpret_cast<void**>(&fixed), &length);
    Check(fixed && fixed->dwFileVersionMS == 0x00010000 && fixed->dwFileVersionLS == 0,
          "file version 1.0.0.0");
    WCHAR* text = nullptr;
    VerQueryValueW(version.data(), L"\\StringFileInfo\\041104B0\\FileVersion",
                   reinterpret_cast<void**>(&text), &length);
    Check(text && std::u16string(reinterpret_cast<const char16_t*>(text)) == u"1.00",
          "file version shown as 1.00");
  }

  // DllCanUnloadNow is honest about live objects.
  HMODULE module = LoadLibraryW(reinterpret_cast<LPCWSTR>(dll.c_str()));
  Check(module != nullptr, "LoadLibrary of the DLL");
  if (module) {
    // An export's address passes through the generic function pointer type, which may be cast
    // to any function type.
    auto exported = [module](const char* name) {
      return reinterpret_cast<void (*)()>(GetProcAddress(module, name));
    };
    auto can_unload = reinterpret_cast<HRESULT(WINAPI*)()>(exported("DllCanUnloadNow"));
    auto get_class =
        reinterpret_cast<HRESULT(WINAPI*)(REFCLSID, REFIID, void**)>(exported("DllGetClassObject"));
    Check(can_unload && get_class, "the exports");
    if (can_unload && get_class) {
      IClassFactory* factory = nullptr;
      get_class(CLSID_Information, IID_IClassFactory, reinterpret_cast<void**>(&factory));
      Check(factory && can_unload() == S_FALSE, "DllCanUnloadNow with a live class object");
      IUnknown* object = nullptr;
      if (factory) {
        factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&object));
        factory->Release();
      }
      Check(object && can_unload() == S_FALSE, "DllCanUnloadNow with a live object");
      if (object) {
        object->Release();
      }
      Check(can_unload() == S_OK, "DllCanUnloadNow once everything is released");
    }
  }
  CoUninitialize();
  std::printf("com_client: %d passed, %d failed\n", g_passed, g_failed);
  return g_failed == 0 ? 0 : 1;
}
