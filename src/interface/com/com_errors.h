// Turning the core's errors into what a COM host sees: a failed HRESULT, and error information
// (IErrorInfo) carrying the core's message with the ProgID as its source, so that a VB host
// shows them as Err.Number and Err.Description.
#pragma once

#include <windows.h>

namespace sarnlink::com {

// Call inside a catch block: maps the exception in flight to an HRESULT and sets the error
// information for `iid` with `source` as its source.
HRESULT ReportCurrentException(const WCHAR* source, REFIID iid) noexcept;

}  // namespace sarnlink::com

namespace sarnlink::com {

// Fills `exception` from the error information a failed call `hr` left, as an automation
// caller expects with DISP_E_EXCEPTION.
void FillExceptionInfo(HRESULT hr, EXCEPINFO* exception) noexcept;

}  // namespace sarnlink::com
