// Vector kernels for the common runs of UTF-8 text: ASCII, and the three-byte forms of kana and
// kanji. Each converts whole blocks while every byte of a block follows the run's pattern and
// returns how far it got; the exact scalar rules take over from there, so the result is the
// same with or without them. x86-64 only (SSE2 is its baseline; the three-byte kernels need
// SSSE3 and are chosen at run time); elsewhere, the i686 DLL included, they convert nothing.
#pragma once

#include <cstddef>
#include <cstdint>

namespace sarnlink::kernels {

// Which kernels are used: none (the scalar rules alone), the SSE2 ones alone (as on a processor
// without SSSE3), or the best the processor has. Tests choose, to compare each with the scalar
// rules.
enum class Level { kScalar, kSse2, kBest };
Level CurrentLevel();
void SetLevel(Level level);

// UTF-8 to UTF-16: reads whole blocks of `in` (never past `size`), writes one unit a byte for
// ASCII and one unit per three bytes for the three-byte forms, at most as many units as bytes
// read. Returns the bytes read; `written` receives the units written.
std::size_t DecodeAsciiAndThreeByteRuns(const std::uint8_t* in, std::size_t size, char16_t* out,
                                        std::size_t& written);

// How many bytes at the start of `in` are whole ASCII and three-byte forms, found in whole
// blocks (the same blocks DecodeAsciiAndThreeByteRuns would convert).
std::size_t SkipAsciiAndThreeByteRuns(const std::uint8_t* in, std::size_t size);

// UTF-16 to UTF-8: ASCII units and units from U+0800 to U+FFFF that are not surrogates, in whole
// blocks; writes at most three bytes a unit read. Returns the units read; `written` receives the
// bytes written.
std::size_t EncodeAsciiAndThreeByteRuns(const char16_t* in, std::size_t size, std::uint8_t* out,
                                        std::size_t& written);

}  // namespace sarnlink::kernels
