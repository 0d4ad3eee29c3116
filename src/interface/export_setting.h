// The records of the type library: the export settings and the day-number element.
#pragma once

#include <cstdint>
#include <string>

namespace sarnlink {

// The export options in force (three texts, seven signed 16-bit numbers).
struct ExportSetting {
  std::u16string stGenre;            // genre to export; empty exports all genres
  std::u16string stStartDay;         // exclusive lower day bound (yyyy/mm/dd); empty: none
  std::u16string stEndDay;           // exclusive upper day bound; empty: none
  std::int16_t intPublish = 0;       // 0 all entries, 1 public only, 2 private only
  std::int16_t intScroll = 0;        // carried and copied; nothing reads it
  std::int16_t intBR = 0;            // nonzero: CR LF in section texts written as "<BR>"
  std::int16_t intHyphen = 0;        // 1: "-" in section texts written as "－"
  std::int16_t intPublishDay = 0;    // 1: the DATE's day is the diary day; else from PublishTime
  std::int16_t intAllowPing = 0;     // written after "ALLOW PINGS: "
  std::int16_t intAllowComment = 0;  // written after "ALLOW COMMENTS: "

  bool operator==(const ExportSetting&) const = default;
};

// The settings Initialize restores: every conversion on, every entry selected.
inline ExportSetting DefaultExportSetting() {
  ExportSetting setting;
  setting.intBR = 1;
  setting.intHyphen = 1;
  setting.intPublishDay = 1;
  setting.intAllowPing = 1;
  setting.intAllowComment = 1;
  return setting;
}

// A diary day and the highest entry number in use on it.
struct DayAndNumber {
  std::u16string stDay;      // the day text, compared exactly
  std::int16_t iNumber = 0;  // the highest Number of that day
};

}  // namespace sarnlink
