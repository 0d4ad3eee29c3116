// The COM object of class clsMTExport: the dual interface _clsMTExport (also answered under its
// earlier identifier) and ISupportErrorInfo around the core's converter. No behaviour lives here
// beyond converting arguments and results and turning errors into error information.
#pragma once

#include "interface/cls_mt_export.h"
#include "interface/com/component_ports.h"
#include "sarnlink_idl.h"

namespace sarnlink::com {

class ClsMTExportObject : public _clsMTExport, public ISupportErrorInfo {
 public:
  ClsMTExportObject();
  virtual ~ClsMTExportObject();

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  // IDispatch
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                             DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                      VARIANT* result, EXCEPINFO* exception, UINT* arg_err) override;
  // _clsMTExport, in the order of the function table
  STDMETHODIMP Initialize(BSTR* stDiaryMdbPath, VARIANT_BOOL* result) override;
  STDMETHODIMP SetImport() override;
  STDMETHODIMP SetExport() override;
  STDMETHODIMP SetAuthor(BSTR* stAuthor) override;
  STDMETHODIMP setExportSetting(::ExportSetting* eExpSet) override;
  STDMETHODIMP SetExportSettingMySelf(VARIANT_BOOL* result) override;
  STDMETHODIMP SetPath(BSTR* stFilePath, VARIANT_BOOL* OverWrite, VARIANT_BOOL* result) override;
  STDMETHODIMP Execute(VARIANT_BOOL* result) override;
  STDMETHODIMP SetAuthorMySelf(VARIANT_BOOL* result) override;
  // ISupportErrorInfo
  STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override;

 private:
  // Invoke's work, which Invoke guards.
  HRESULT Dispatch(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                   VARIANT* result, EXCEPINFO* exception, UINT* arg_err);

  LONG references_ = 1;                       // COM reference count
  DWORD home_thread_ = GetCurrentThreadId();  // the thread of its apartment
  ComponentPorts ports_;                      // its outside world
  clsMTExport converter_;                     // the converter itself
};

}  // namespace sarnlink::com
