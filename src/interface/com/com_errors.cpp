#include "interface/com/com_errors.h"

#include <oleauto.h>

#include <new>

#include "common/errors.h"
#include "common/win32/wide_text.h"
#include "encoding/utf8.h"

namespace sarnlink::com {
namespace {

// Each kind of core error has its own code in the interface facility (0x0201 on), except those
// that automation already names.
HRESULT CodeOf(ErrorKind kind) {
  switch (kind) {
    case ErrorKind::kOverflow:
      return DISP_E_OVERFLOW;
    case ErrorKind::kOutOfRange:
      return DISP_E_BADINDEX;
    default:
      return MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0201 + static_cast<int>(kind));
  }
}

void SetInfo(const std::u16string& description, const WCHAR* source, REFIID iid) {
  ICreateErrorInfo* create = nullptr;
  if (FAILED(CreateErrorInfo(&create))) {
    return;
  }
  create->SetDescription(const_cast<WCHAR*>(Wide(description)));
  create->SetSource(const_cast<WCHAR*>(source));
  create->SetGUID(iid);
  IErrorInfo* info = nullptr;
  if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
    SetErrorInfo(0, info);
    info->Release();
  }
  create->Release();
}

}  // namespace

HRESULT ReportCurrentException(const WCHAR* source, REFIID iid) noexcept {
  try {
    throw;
  } catch (const Error& e) {
    SetInfo(FromUtf8(ErrorKindName(e.kind()) + ": " + e.what()), source, iid);
    return CodeOf(e.kind());
  } catch (const std::bad_alloc&) {
    SetInfo(u"out of memory", source, iid);
    return E_OUTOFMEMORY;
  } catch (const std::exception& e) {
    SetInfo(FromUtf8(e.what()), source, iid);
    return E_FAIL;
  } catch (...) {
    SetInfo(u"unexpected failure", source, iid);
    return E_UNEXPECTED;
  }
}

}  // namespace sarnlink::com

namespace sarnlink::com {

void FillExceptionInfo(HRESULT hr, EXCEPINFO* exception) noexcept {
  ZeroMemory(exception, sizeof *exception);
  exception->scode = hr;
  IErrorInfo* info = nullptr;
  if (GetErrorInfo(0, &info) == S_OK && info) {
    info->GetSource(&exception->bstrSource);
    info->GetDescription(&exception->bstrDescription);
    info->Release();
  }
}

}  // namespace sarnlink::com
