// IDispatch arguments as VB hosts and Wine's scripting send them, put into the exact form the
// type information declares, so that ITypeInfo::Invoke accepts them: a by-reference Variant is
// followed to its value, a value is coerced to the declared BSTR or VARIANT_BOOL as VB would and
// passed by reference, and a missing optional argument gets its declared default. Named
// arguments (as VB passes `x.SetPath stFilePath:=...`) are put in their declared places.
#pragma once

#include <oaidl.h>
#include <windows.h>

#include <vector>

namespace sarnlink::com {

class DispatchArguments {
 public:
  DispatchArguments() = default;
  ~DispatchArguments();
  DispatchArguments(const DispatchArguments&) = delete;
  DispatchArguments& operator=(const DispatchArguments&) = delete;

  // Builds the arguments of the function `id` of `info` from the caller's `params`. On failure
  // returns DISP_E_TYPEMISMATCH, DISP_E_PARAMNOTFOUND or DISP_E_BADPARAMCOUNT with `arg_err` set.
  HRESULT Build(ITypeInfo* info, DISPID id, DISPPARAMS* params, UINT* arg_err);

  DISPPARAMS* params() { return &normalised_; }

 private:
  std::vector<VARIANT> values_;  // the coerced values the by-reference arguments point at
  std::vector<VARIANT> args_;    // the arguments, last first as DISPPARAMS keeps them
  DISPPARAMS normalised_{};      // what ITypeInfo::Invoke gets
};

// Where the caller's argument `index` (0 = first declared) is in `rgvarg`: among the named
// arguments, or among the positional ones, which come last first; -1 when it was not passed.
int SlotOf(const DISPPARAMS* params, UINT index);

// The caller's argument `index`, following a by-reference Variant; null when it was not passed
// or was passed as "missing".
VARIANT* ArgumentAt(DISPPARAMS* params, UINT index);

}  // namespace sarnlink::com
