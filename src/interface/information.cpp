#include "interface/information.h"

#include <cstdlib>
#include <limits>
#include <string>

#include "common/errors.h"

namespace sarnlink {

std::int16_t Information::GetVersion() const {
  // Written without sign: the parts are never negative in a release.
  const std::string joined = std::to_string(std::abs(major_)) + std::to_string(std::abs(minor_)) +
                             std::to_string(std::abs(revision_));
  if (joined.size() > 5 || std::stol(joined) > std::numeric_limits<std::int16_t>::max()) {
    throw Error(ErrorKind::kOverflow,
                "the version number " + joined + " does not fit a 16-bit number");
  }
  return static_cast<std::int16_t>(std::stol(joined));
}

}  // namespace sarnlink
