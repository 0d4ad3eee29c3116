#include "interface/com/class_factory.h"

#include "common/win32/wide_text.h"
#include "interface/com/com_errors.h"
#include "interface/com/module.h"

namespace sarnlink::com {

ClassFactory::ClassFactory(Maker maker) : maker_(maker) {
  AddObject();
}
ClassFactory::~ClassFactory() {
  ReleaseObject();
}

STDMETHODIMP ClassFactory::QueryInterface(REFIID iid, void** out) {
  if (!out) {
    return E_POINTER;
  }
  *out = nullptr;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
    *out = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) ClassFactory::AddRef() {
  return InterlockedIncrement(&references_);
}

STDMETHODIMP_(ULONG) ClassFactory::Release() {
  const ULONG left = InterlockedDecrement(&references_);
  if (left == 0) {
    delete this;
  }
  return left;
}

STDMETHODIMP ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
  if (!out) {
    return E_POINTER;
  }
  *out = nullptr;
  if (outer) {
    return CLASS_E_NOAGGREGATION;
  }
  IUnknown* object = nullptr;
  try {
    object = maker_();
  } catch (...) {
    return ReportCurrentException(Wide(u"Sarnlink"), IID_IClassFactory);
  }
  const HRESULT hr = object->QueryInterface(iid, out);
  object->Release();
  return hr;
}

STDMETHODIMP ClassFactory::LockServer(BOOL lock) {
  LockModule(lock != FALSE);
  return S_OK;
}

}  // namespace sarnlink::com
