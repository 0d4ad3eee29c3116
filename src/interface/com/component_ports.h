// The ports the COM objects give the converter: the Win32 file system, the diary backend of
// this build, the one progress window of the component, the forms, the clock and code page 932.
#pragma once

#include <memory>

#include "interface/cls_mt_export.h"

namespace sarnlink::com {

// The converter's outside world, shared by every object of the component.
const ConverterPorts& ComponentPorts();

}  // namespace sarnlink::com
