#include "interface/com/information_object.h"

#include "common/win32/wide_text.h"
#include "interface/com/com_errors.h"
#include "interface/com/identity.h"
#include "interface/com/module.h"

namespace sarnlink::com {

InformationObject::InformationObject() {
  AddObject();
}
InformationObject::~InformationObject() {
  ReleaseObject();
}

STDMETHODIMP InformationObject::QueryInterface(REFIID iid, void** out) {
  if (!out) {
    return E_POINTER;
  }
  *out = nullptr;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
      IsEqualIID(iid, IID__Information)) {
    *out = static_cast<_Information*>(this);
  } else if (IsEqualIID(iid, IID_ISupportErrorInfo)) {
    *out = static_cast<ISupportErrorInfo*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) InformationObject::AddRef() {
  return InterlockedIncrement(&references_);
}

STDMETHODIMP_(ULONG) InformationObject::Release() {
  const ULONG left = InterlockedDecrement(&references_);
  if (left == 0) {
    delete this;
  }
  return left;
}

STDMETHODIMP InformationObject::GetTypeInfoCount(UINT* count) {
  if (!count) {
    return E_POINTER;
  }
  *count = 1;
  return S_OK;
}

STDMETHODIMP InformationObject::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
  return TypeInfoAt(IID__Information, index, info);
}

STDMETHODIMP InformationObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                              DISPID* ids) {
  return IdsOfNames(IID__Information, names, count, ids);
}

STDMETHODIMP InformationObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                       VARIANT* result, EXCEPINFO* exception, UINT* arg_err) {
  if (!params) {
    return E_INVALIDARG;
  }
  ITypeInfo* info = nullptr;
  HRESULT hr = GetTypeInfoOf(IID__Information, &info);
  if (SUCCEEDED(hr)) {
    hr = info->Invoke(static_cast<_Information*>(this), id, flags, params, result, exception,
                      arg_err);
    info->Release();
  }
  return hr;
}

STDMETHODIMP InformationObject::GetVersion(short* result) {
  if (!result) {
    return E_POINTER;
  }
  try {
    *result = information_.GetVersion();
    return S_OK;
  } catch (...) {
    return ReportCurrentException(Wide(kInformationProgId), IID__Information);
  }
}

STDMETHODIMP InformationObject::GetVersionMajor(short* result) {
  if (!result) {
    return E_POINTER;
  }
  *result = information_.GetVersionMajor();
  return S_OK;
}

STDMETHODIMP InformationObject::GetVersionMinor(short* result) {
  if (!result) {
    return E_POINTER;
  }
  *result = information_.GetVersionMinor();
  return S_OK;
}

STDMETHODIMP InformationObject::GetVersionRevision(short* result) {
  if (!result) {
    return E_POINTER;
  }
  *result = information_.GetVersionRevision();
  return S_OK;
}

STDMETHODIMP InformationObject::InterfaceSupportsErrorInfo(REFIID iid) {
  return IsEqualIID(iid, IID__Information) ? S_OK : S_FALSE;
}

}  // namespace sarnlink::com
