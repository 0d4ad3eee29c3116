// Port: the current local date and time, as the platform writes it by default under the
// user's locale. The import stamps every row it stores with it.
#pragma once

#include <string>

namespace sarnlink {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::u16string NowAsLocalText() = 0;
};

}  // namespace sarnlink
