// The component's identity: class identifiers, ProgIDs and the GUIDs the type library declares
// but widl does not name for C++ (the settings record, the earlier interface identifier).
#pragma once

#include <windows.h>

namespace sarnlink::com {

inline constexpr char16_t kClsMTExportProgId[] = u"Sarnlink.clsMTExport";
inline constexpr char16_t kInformationProgId[] = u"Sarnlink.Information";

// {A63628B0-9D60-41AF-93FD-AF85A4B4F165}: the interface identifier of earlier builds.
inline constexpr GUID kEarlierClsMTExportIid = {
    0xA63628B0, 0x9D60, 0x41AF, {0x93, 0xFD, 0xAF, 0x85, 0xA4, 0xB4, 0xF1, 0x65}};
// {3FFA5194-A0A5-4F8F-B522-FBB2E2E6266F}: the ExportSetting record.
inline constexpr GUID kExportSettingGuid = {
    0x3FFA5194, 0xA0A5, 0x4F8F, {0xB5, 0x22, 0xFB, 0xB2, 0xE2, 0xE6, 0x26, 0x6F}};

}  // namespace sarnlink::com
