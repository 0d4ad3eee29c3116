// The COM object of class Information: the dual interface _Information around the core's
// version object.
#pragma once

#include "interface/information.h"
#include "sarnlink_idl.h"

namespace sarnlink::com {

class InformationObject : public _Information, public ISupportErrorInfo {
 public:
  InformationObject();
  virtual ~InformationObject();

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                             DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                      VARIANT* result, EXCEPINFO* exception, UINT* arg_err) override;
  STDMETHODIMP GetVersion(short* result) override;
  STDMETHODIMP GetVersionMajor(short* result) override;
  STDMETHODIMP GetVersionMinor(short* result) override;
  STDMETHODIMP GetVersionRevision(short* result) override;
  STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override;

 private:
  LONG references_ = 1;      // COM reference count
  Information information_;  // the version numbers of this build
};

}  // namespace sarnlink::com
