#include "interface/com/dispatch_arguments.h"

#include <oleauto.h>

#include <algorithm>
#include <stdexcept>

#include "common/win32/wide_text.h"

namespace sarnlink::com {

int SlotOf(const DISPPARAMS* params, UINT index) {
  for (UINT j = 0; j < params->cNamedArgs && params->rgdispidNamedArgs; ++j) {
    if (params->rgdispidNamedArgs[j] == static_cast<DISPID>(index)) {
      return static_cast<int>(j);
    }
  }
  const UINT positional = params->cArgs - std::min(params->cNamedArgs, params->cArgs);
  return index < positional ? static_cast<int>(params->cArgs - 1 - index) : -1;
}

VARIANT* ArgumentAt(DISPPARAMS* params, UINT index) {
  const int slot = SlotOf(params, index);
  if (slot < 0) {
    return nullptr;
  }
  VARIANT* arg = &params->rgvarg[slot];
  while (V_VT(arg) == (VT_VARIANT | VT_BYREF) && V_VARIANTREF(arg)) {
    arg = V_VARIANTREF(arg);
  }
  if (V_VT(arg) == VT_ERROR && V_ERROR(arg) == DISP_E_PARAMNOTFOUND) {
    return nullptr;
  }
  return arg;
}

DispatchArguments::~DispatchArguments() {
  for (VARIANT& v : values_) {
    VariantClear(&v);
  }
}

HRESULT DispatchArguments::Build(ITypeInfo* info, DISPID id, DISPPARAMS* params, UINT* arg_err) {
  TYPEATTR* attr = nullptr;
  HRESULT hr = info->GetTypeAttr(&attr);
  if (FAILED(hr)) {
    return hr;
  }
  const UINT functions = attr->cFuncs;
  info->ReleaseTypeAttr(attr);
  FUNCDESC* function = nullptr;
  for (UINT k = 0; k < functions && !function; ++k) {
    FUNCDESC* candidate = nullptr;
    if (SUCCEEDED(info->GetFuncDesc(k, &candidate))) {
      if (candidate->memid == id) {
        function = candidate;
      } else {
        info->ReleaseFuncDesc(candidate);
      }
    }
  }
  if (!function) {
    return DISP_E_MEMBERNOTFOUND;
  }
  // Given back however Build is left: what follows allocates, and may throw.
  struct Held {
    ITypeInfo* info;
    FUNCDESC* function;
    ~Held() { info->ReleaseFuncDesc(function); }
  } held{info, function};
  UINT inputs = 0;
  for (SHORT k = 0; k < function->cParams; ++k) {
    if (!(function->lprgelemdescParam[k].paramdesc.wParamFlags & PARAMFLAG_FRETVAL)) {
      ++inputs;
    }
  }
  hr = S_OK;
  if (params->cArgs > inputs || params->cNamedArgs > params->cArgs ||
      (params->cNamedArgs > 0 && !params->rgdispidNamedArgs)) {
    hr = DISP_E_BADPARAMCOUNT;
  }
  // A named argument must name a declared parameter, once.
  for (UINT j = 0; j < params->cNamedArgs && SUCCEEDED(hr); ++j) {
    const DISPID named = params->rgdispidNamedArgs[j];
    if (named < 0 || static_cast<UINT>(named) >= inputs ||
        SlotOf(params, static_cast<UINT>(named)) != static_cast<int>(j) ||
        static_cast<UINT>(named) < params->cArgs - params->cNamedArgs) {
      *arg_err = j;
      hr = DISP_E_PARAMNOTFOUND;
    }
  }
  values_.assign(inputs, VARIANT{});
  args_.assign(inputs, VARIANT{});
#ifdef SARNLINK_FORM_FAULTS
  // The test build's switch: a failure while the arguments are built, as an allocation
  // failure or a bad index would be.
  if (GetEnvironmentVariableW(Wide(u"SARNLINK_FAULT_IN_ARGUMENTS"), nullptr, 0) > 0) {
    throw std::out_of_range("a fault forced while the arguments were built");
  }
#endif
  for (UINT k = 0; k < inputs && SUCCEEDED(hr); ++k) {
    const ELEMDESC& element = function->lprgelemdescParam[k];
    VARIANT& value = values_[k];
    VARIANT& arg = args_[inputs - 1 - k];
    VariantInit(&value);
    VariantInit(&arg);
    VARIANT* given = ArgumentAt(params, k);
    const TYPEDESC& type = element.tdesc;
    const VARTYPE pointed = type.vt == VT_PTR ? type.lptdesc->vt : static_cast<VARTYPE>(VT_EMPTY);
    if (type.vt != VT_PTR || (pointed != VT_BSTR && pointed != VT_BOOL)) {
      // Not a shape that needs help: pass the caller's argument on as it came.
      if (const int slot = SlotOf(params, k); slot >= 0) {
        arg = params->rgvarg[slot];
      } else {
        V_VT(&arg) = VT_ERROR;  // missing, as ITypeInfo::Invoke expects an omitted optional
        V_ERROR(&arg) = DISP_E_PARAMNOTFOUND;
      }
      continue;
    }
    if (!given) {
      const PARAMDESC& desc = element.paramdesc;
      if (!(desc.wParamFlags & PARAMFLAG_FOPT)) {
        hr = DISP_E_PARAMNOTFOUND;
      } else if ((desc.wParamFlags & PARAMFLAG_FHASDEFAULT) && desc.pparamdescex) {
        hr = VariantChangeType(&value, &desc.pparamdescex->varDefaultValue, 0, pointed);
      } else {
        V_VT(&value) = pointed;  // an all-zero value: empty text, false
      }
    } else if (V_VT(given) == (pointed | VT_BYREF)) {
      hr = VariantCopyInd(&value, given);
    } else {
      hr = VariantChangeType(&value, given, 0, pointed);
    }
    if (FAILED(hr)) {
      // The position of the argument in the caller's rgvarg, as IDispatch reports it.
      const int slot = SlotOf(params, k);
      *arg_err = slot >= 0 ? static_cast<UINT>(slot) : k;
      if (hr != DISP_E_PARAMNOTFOUND) {
        hr = DISP_E_TYPEMISMATCH;
      }
      break;
    }
    V_VT(&arg) = pointed | VT_BYREF;
    if (pointed == VT_BSTR) {
      V_BSTRREF(&arg) = &V_BSTR(&value);
    } else {
      V_BOOLREF(&arg) = &V_BOOL(&value);
    }
  }
  normalised_.rgvarg = args_.data();
  normalised_.cArgs = inputs;
  normalised_.rgdispidNamedArgs = nullptr;
  normalised_.cNamedArgs = 0;
  return hr;
}

}  // namespace sarnlink::com
