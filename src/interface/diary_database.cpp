#include "interface/diary_database.h"

#include <limits>

#include "common/errors.h"
#include "common/text.h"
#include "encoding/utf8.h"

namespace sarnlink {

bool SameColumnName(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  const auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; };
  for (std::size_t k = 0; k < a.size(); ++k) {
    if (lower(a[k]) != lower(b[k])) {
      return false;
    }
  }
  return true;
}

void DiaryConnection::BeginTrans() {
  throw Error(ErrorKind::kDatabase, "this diary has no transactions");
}
void DiaryConnection::CommitTrans() {
  throw Error(ErrorKind::kDatabase, "this diary has no transactions");
}
void DiaryConnection::RollbackTrans() {
  throw Error(ErrorKind::kDatabase, "this diary has no transactions");
}
std::int64_t DiaryConnection::Execute(const std::u16string&) {
  throw Error(ErrorKind::kDatabase, "this diary cannot run a changing statement");
}

DiaryTransaction::~DiaryTransaction() {
  if (open_) {
    try {
      connection_.RollbackTrans();
    } catch (const Error&) {
      // The error that unwinds goes on; closing the connection rolls back what remains.
    }
  }
}

std::u16string SqlText(const std::u16string& text) {
  std::u16string literal = u"'";
  for (char16_t c : text) {
    literal += c;
    if (c == u'\'') {
      literal += c;
    }
  }
  return literal + u"'";
}

bool IsNull(const FieldValue& value) {
  return std::holds_alternative<std::monostate>(value);
}

bool IsTrue(const FieldValue& value) {
  if (const bool* b = std::get_if<bool>(&value)) {
    return *b;
  }
  if (const std::int64_t* i = std::get_if<std::int64_t>(&value)) {
    return *i != 0;
  }
  if (const std::u16string* s = std::get_if<std::u16string>(&value)) {
    return !s->empty() && *s != u"0";
  }
  return false;
}

std::u16string TextOrEmpty(const FieldValue& value) {
  if (const std::u16string* s = std::get_if<std::u16string>(&value)) {
    return *s;
  }
  if (const std::int64_t* i = std::get_if<std::int64_t>(&value)) {
    return FromUtf8(std::to_string(*i));
  }
  if (const bool* b = std::get_if<bool>(&value)) {
    return *b ? u"True" : u"False";
  }
  return std::u16string();
}

std::u16string TextOf(const FieldValue& value, const std::string& what) {
  if (IsNull(value)) {
    throw Error(ErrorKind::kFormat, what + " is Null");
  }
  return TextOrEmpty(value);
}

std::int16_t Int16Of(const FieldValue& value, const std::string& what) {
  std::int64_t number = 0;
  if (const std::int64_t* i = std::get_if<std::int64_t>(&value)) {
    number = *i;
  } else if (const bool* b = std::get_if<bool>(&value)) {
    number = *b ? -1 : 0;
  } else if (const std::u16string* s = std::get_if<std::u16string>(&value)) {
    const std::optional<std::int64_t> parsed = ParseDecimal(*s);
    if (!parsed) {
      throw Error(ErrorKind::kFormat, what + " \"" + ToUtf8(*s) + "\" is not a number");
    }
    number = *parsed;
  } else {
    throw Error(ErrorKind::kFormat, what + " is Null");
  }
  if (number < std::numeric_limits<std::int16_t>::min() ||
      number > std::numeric_limits<std::int16_t>::max()) {
    throw Error(ErrorKind::kOverflow,
                what + " " + std::to_string(number) + " does not fit a 16-bit number");
  }
  return static_cast<std::int16_t>(number);
}

}  // namespace sarnlink
