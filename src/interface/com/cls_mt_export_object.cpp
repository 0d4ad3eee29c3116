#include "interface/com/cls_mt_export_object.h"

#include <algorithm>
#include <new>

#include "common/win32/com_ptr.h"
#include "common/win32/wide_text.h"
#include "interface/com/com_errors.h"
#include "interface/com/component_ports.h"
#include "interface/com/dispatch_arguments.h"
#include "interface/com/identity.h"
#include "interface/com/module.h"
#include "interface/com/thread_runs.h"

namespace sarnlink::com {
namespace {

VARIANT_BOOL ComBool(bool value) {
  return value ? VARIANT_TRUE : VARIANT_FALSE;
}

std::u16string Text(const BSTR* text) {
  return text ? FromBstr(*text) : std::u16string();
}

constexpr DISPID kSetExportSettingId = 0x6003000C;

HRESULT ReportException() noexcept {
  return ReportCurrentException(Wide(kClsMTExportProgId), IID__clsMTExport);
}

// Runs `body` when `method` may be called now (CheckMayCall), turning any exception into a
// failed HRESULT with error information.
template <class Body>
HRESULT Guarded(const char* method, DWORD home_thread, Body body) noexcept {
  try {
    CheckMayCall(method, home_thread);
    body();
    return S_OK;
  } catch (...) {
    return ReportException();
  }
}

// A reference held for the length of a method that pumps messages (a form, the progress
// window): the host may release the object meanwhile (the user closed the host's form), and the
// method must not go on with a freed object; the last release then comes after it returns.
class KeepAlive {
 public:
  explicit KeepAlive(IUnknown* object) : object_(object) { object_->AddRef(); }
  ~KeepAlive() { object_->Release(); }
  KeepAlive(const KeepAlive&) = delete;
  KeepAlive& operator=(const KeepAlive&) = delete;

 private:
  IUnknown* object_;
};

// Guarded, for a method that runs a conversion or a form: the object is kept alive and every
// other converter call on this thread is refused until it ends.
template <class Body>
HRESULT GuardedRun(IUnknown* self, const char* method, DWORD home_thread, Body body) noexcept {
  const KeepAlive alive(self);
  return Guarded(method, home_thread, [&] {
    const RunOnThisThread running(method);
    body();
  });
}

}  // namespace

ClsMTExportObject::ClsMTExportObject() : converter_(ports_.get()) {
  AddObject();
}
ClsMTExportObject::~ClsMTExportObject() {
  ReleaseObject();
}

STDMETHODIMP ClsMTExportObject::QueryInterface(REFIID iid, void** out) {
  if (!out) {
    return E_POINTER;
  }
  *out = nullptr;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
      IsEqualIID(iid, IID__clsMTExport) || IsEqualIID(iid, kEarlierClsMTExportIid)) {
    *out = static_cast<_clsMTExport*>(this);
  } else if (IsEqualIID(iid, IID_ISupportErrorInfo)) {
    *out = static_cast<ISupportErrorInfo*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) ClsMTExportObject::AddRef() {
  return InterlockedIncrement(&references_);
}

STDMETHODIMP_(ULONG) ClsMTExportObject::Release() {
  const ULONG left = InterlockedDecrement(&references_);
  if (left == 0) {
    delete this;
  }
  return left;
}

STDMETHODIMP ClsMTExportObject::GetTypeInfoCount(UINT* count) {
  if (!count) {
    return E_POINTER;
  }
  *count = 1;
  return S_OK;
}

STDMETHODIMP ClsMTExportObject::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
  return TypeInfoAt(IID__clsMTExport, index, info);
}

STDMETHODIMP ClsMTExportObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                              DISPID* ids) {
  return IdsOfNames(IID__clsMTExport, names, count, ids);
}

STDMETHODIMP ClsMTExportObject::Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags,
                                       DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                       UINT* arg_err) {
  // Nothing thrown while the arguments are built may leave the COM method: an allocation
  // failure is E_OUTOFMEMORY, anything else an exception the caller reads (Err.Description).
  try {
    return Dispatch(id, iid, lcid, flags, params, result, exception, arg_err);
  } catch (...) {
    const HRESULT hr = ReportException();
    if (hr == E_OUTOFMEMORY || !exception) {
      return hr;
    }
    FillExceptionInfo(hr, exception);
    return DISP_E_EXCEPTION;
  }
}

HRESULT ClsMTExportObject::Dispatch(DISPID id, REFIID, LCID lcid, WORD flags, DISPPARAMS* params,
                                    VARIANT* result, EXCEPINFO* exception, UINT* arg_err) {
  if (!params) {
    return E_INVALIDARG;
  }
  UINT ignored_arg = 0;
  if (!arg_err) {
    arg_err = &ignored_arg;
  }
  if (id == kSetExportSettingId) {
    // The record comes through its IRecordInfo, which the type information cannot pass on.
    VARIANT* given = ArgumentAt(params, 0);
    const UINT slot = static_cast<UINT>(std::max(SlotOf(params, 0), 0));
    if (!given || (V_VT(given) & ~VT_BYREF) != VT_RECORD || !V_RECORDINFO(given)) {
      *arg_err = slot;
      return given ? DISP_E_TYPEMISMATCH : DISP_E_PARAMNOTFOUND;
    }
    GUID guid;
    if (FAILED(V_RECORDINFO(given)->GetGuid(&guid)) || !IsEqualGUID(guid, kExportSettingGuid)) {
      *arg_err = slot;
      return DISP_E_TYPEMISMATCH;
    }
    const HRESULT hr = setExportSetting(static_cast<::ExportSetting*>(V_RECORD(given)));
    if (FAILED(hr) && exception) {
      FillExceptionInfo(hr, exception);
      return DISP_E_EXCEPTION;
    }
    return hr;
  }
  ComPtr<ITypeInfo> info;  // released however Dispatch is left
  HRESULT hr = GetTypeInfoOf(IID__clsMTExport, info.out());
  if (FAILED(hr)) {
    return hr;
  }
  DispatchArguments arguments;
  hr = arguments.Build(info.get(), id, params, arg_err);
  if (SUCCEEDED(hr)) {
    hr = info->Invoke(static_cast<_clsMTExport*>(this), id, flags, arguments.params(), result,
                      exception, arg_err);
  }
  (void)lcid;
  return hr;
}

STDMETHODIMP ClsMTExportObject::Initialize(BSTR* stDiaryMdbPath, VARIANT_BOOL* result) {
  return Guarded("Initialize", home_thread_, [&] {
    const bool found = converter_.Initialize(Text(stDiaryMdbPath));
    if (result) {
      *result = ComBool(found);
    }
  });
}

STDMETHODIMP ClsMTExportObject::SetImport() {
  return Guarded("SetImport", home_thread_, [&] { converter_.SetImport(); });
}

STDMETHODIMP ClsMTExportObject::SetExport() {
  return Guarded("SetExport", home_thread_, [&] { converter_.SetExport(); });
}

STDMETHODIMP ClsMTExportObject::SetAuthor(BSTR* stAuthor) {
  return Guarded("SetAuthor", home_thread_, [&] { converter_.SetAuthor(Text(stAuthor)); });
}

STDMETHODIMP ClsMTExportObject::setExportSetting(::ExportSetting* eExpSet) {
  if (!eExpSet) {
    return E_POINTER;
  }
  return Guarded("setExportSetting", home_thread_, [&] {
    sarnlink::ExportSetting setting;
    setting.stGenre = FromBstr(eExpSet->stGenre);
    setting.stStartDay = FromBstr(eExpSet->stStartDay);
    setting.stEndDay = FromBstr(eExpSet->stEndDay);
    setting.intPublish = eExpSet->intPublish;
    setting.intScroll = eExpSet->intScroll;
    setting.intBR = eExpSet->intBR;
    setting.intHyphen = eExpSet->intHyphen;
    setting.intPublishDay = eExpSet->intPublishDay;
    setting.intAllowPing = eExpSet->intAllowPing;
    setting.intAllowComment = eExpSet->intAllowComment;
    converter_.setExportSetting(setting);
  });
}

STDMETHODIMP ClsMTExportObject::SetExportSettingMySelf(VARIANT_BOOL* result) {
  return GuardedRun(static_cast<_clsMTExport*>(this), "SetExportSettingMySelf", home_thread_, [&] {
    const bool ok = converter_.SetExportSettingMySelf();
    if (result) {
      *result = ComBool(ok);
    }
  });
}

STDMETHODIMP ClsMTExportObject::SetPath(BSTR* stFilePath, VARIANT_BOOL* OverWrite,
                                        VARIANT_BOOL* result) {
  return Guarded("SetPath", home_thread_, [&] {
    const bool ok = converter_.SetPath(Text(stFilePath), OverWrite && *OverWrite != VARIANT_FALSE);
    if (result) {
      *result = ComBool(ok);
    }
  });
}

STDMETHODIMP ClsMTExportObject::Execute(VARIANT_BOOL* result) {
  if (result) {
    *result = VARIANT_FALSE;  // always false, whether or not a run took place
  }
  return GuardedRun(static_cast<_clsMTExport*>(this), "Execute", home_thread_,
                    [&] { converter_.Execute(); });
}

STDMETHODIMP ClsMTExportObject::SetAuthorMySelf(VARIANT_BOOL* result) {
  return GuardedRun(static_cast<_clsMTExport*>(this), "SetAuthorMySelf", home_thread_, [&] {
    const bool ok = converter_.SetAuthorMySelf();
    if (result) {
      *result = ComBool(ok);
    }
  });
}

STDMETHODIMP ClsMTExportObject::InterfaceSupportsErrorInfo(REFIID iid) {
  return (IsEqualIID(iid, IID__clsMTExport) || IsEqualIID(iid, kEarlierClsMTExportIid)) ? S_OK
                                                                                        : S_FALSE;
}

}  // namespace sarnlink::com
