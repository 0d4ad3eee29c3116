// Paths as the system gives them, byte for byte. On POSIX a file name is bytes, not always UTF-8:
// the bytes of a name that are no UTF-8 are carried in the core's UTF-16 text as the lone
// surrogates U+DC80-U+DCFF (as Python's "surrogateescape" does), so that a name goes from the
// command line through the core to the system, and into messages, unchanged.
#pragma once

#include <string>
#include <string_view>

namespace sarnlink {

// The path text of a name's bytes: valid UTF-8 decoded, every other byte (80-FF) carried as
// U+DC00 plus the byte.
std::u16string PathFromBytes(std::string_view bytes);

// The bytes of a path text: the carried bytes given back, the rest as UTF-8 (a lone surrogate
// that carries no byte becomes U+FFFD).
std::string PathBytes(std::u16string_view path);

}  // namespace sarnlink
