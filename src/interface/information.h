// Information: the version object, stateless, answering with the component's version numbers.
#pragma once

#include <cstdint>

#include "common/version.h"

namespace sarnlink {

class Information {
 public:
  // The numbers of this build, defined once in the build.
  Information() : Information(kVersionMajor, kVersionMinor, kVersionRevision) {}
  Information(std::int16_t major, std::int16_t minor, std::int16_t revision)
      : major_(major), minor_(minor), revision_(revision) {}

  // The three numbers' decimal texts joined and read back as one 16-bit number (1.0.0 gives
  // 100). A joined number above 32767 throws an overflow error.
  std::int16_t GetVersion() const;
  std::int16_t GetVersionMajor() const { return major_; }
  std::int16_t GetVersionMinor() const { return minor_; }
  std::int16_t GetVersionRevision() const { return revision_; }

 private:
  std::int16_t major_;     // the major version
  std::int16_t minor_;     // the minor version
  std::int16_t revision_;  // the revision
};

}  // namespace sarnlink
