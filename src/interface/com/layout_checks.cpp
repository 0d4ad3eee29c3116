// The records cross the COM boundary by reference, so their layout is binary: on the 32-bit
// shipping build ExportSetting is 28 bytes (three string pointers, seven 16-bit numbers, two
// bytes of padding) and DayAndNumber 8. Checked when the component is compiled.
#include <cstddef>

#include "sarnlink_idl.h"

static_assert(sizeof(void*) != 4 || sizeof(ExportSetting) == 28, "ExportSetting is 28 bytes");
static_assert(sizeof(void*) != 4 || offsetof(ExportSetting, intPublish) == 12, "offset 12");
static_assert(sizeof(void*) != 4 || offsetof(ExportSetting, intAllowComment) == 24, "offset 24");
static_assert(sizeof(void*) != 4 || sizeof(DayAndNumber) == 8, "DayAndNumber is 8 bytes");
static_assert(sizeof(void*) != 4 || offsetof(DayAndNumber, iNumber) == 4, "offset 4");
