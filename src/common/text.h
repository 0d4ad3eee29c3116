// Small text helpers on UTF-16 strings that several subsystems share.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sarnlink {

// Replaces every `from` by `to`, scanning from the left and never rescanning what it inserted.
std::u16string ReplaceAll(std::u16string_view text, std::u16string_view from,
                          std::u16string_view to);

// Removes leading and trailing U+0020 spaces (only those).
std::u16string_view TrimSpaces(std::u16string_view text);

// A decimal integer with optional surrounding spaces and an optional sign; nothing else.
std::optional<std::int64_t> ParseDecimal(std::u16string_view text);

// An English count with its noun: "1 entry", "2 entries", "0 entries".
std::string CountOf(std::int64_t count, std::string_view one, std::string_view many);

// The items one after another, ", " between them: "a, b, c".
std::string CommaList(const std::vector<std::string>& items);

// Decimal text of a number, as UTF-16.
std::u16string DecimalText(std::int64_t number);

// The `length` units of `text` from the 1-based `position`, shortened where the text ends,
// empty when it starts past the end.
std::u16string_view Mid(std::u16string_view text, std::size_t position, std::size_t length);

}  // namespace sarnlink
