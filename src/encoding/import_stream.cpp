#include "encoding/import_stream.h"

#include <algorithm>
#include <cstring>

#include "encoding/ascii_cut.h"
#include "encoding/jis_text_table.h"
#include "encoding/kanji_code_convert.h"
#include "encoding/utf8.h"

namespace sarnlink {
namespace {

constexpr char16_t kReplacement = 0xFFFD;
constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// The end of the EUC-JP bytes (starting where a character starts) that can be taken now, or all
// of them at the end: after their last ASCII byte, which is always a character of its own, or,
// inside the run of high bytes after it, after its last whole character.
std::size_t EucReadyEnd(std::span<const std::uint8_t> bytes, bool last) {
  const std::size_t size = bytes.size();
  if (last) {
    return size;
  }
  std::size_t end = size;  // where the run of high bytes at the end starts
  while (end > 0 && bytes[end - 1] >= 0x80) {
    --end;
  }
  while (end < size) {
    const std::size_t length = EucCharacterLength(bytes.data() + end, size - end, false);
    if (length == 0) {
      break;
    }
    end += length;
  }
  return end;
}

bool IsHighSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The encodings whose converters go through code page 932 (and, for EUC-JP, eucJP-ms), which
// never give U+FFFD for a character they know: every U+FFFD in their text stands for bytes that
// were not text.
bool ThroughCodePage932(TextEncoding encoding) {
  return encoding == TextEncoding::kShiftJIS || encoding == TextEncoding::kBinary ||
         encoding == TextEncoding::kEUCJP || encoding == TextEncoding::kISO2022JP;
}

// ASCII is read as UTF-8 reads it, and gives the same text.
bool ReadsAsUtf8(TextEncoding encoding) {
  return encoding == TextEncoding::kUTF8 || encoding == TextEncoding::kASCII;
}

bool HasHighByte(std::span<const std::uint8_t> bytes) {
  return std::any_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b >= 0x80; });
}

bool HasZero(std::span<const std::uint8_t> bytes) {
  return !bytes.empty() && std::memchr(bytes.data(), 0, bytes.size()) != nullptr;
}

// A zero byte (or UTF-16's U+0000) is no text: Title and Contents would hold it unseen, and
// programs that read them as C strings would stop there. Each U+0000 of `text` from `from` on
// becomes U+FFFD; returns how many, and sets `first` to the place of the first after `from`
// (kNone when there is none).
std::size_t ReplaceNuls(std::u16string& text, std::size_t from, std::size_t& first) {
  first = kNone;
  std::size_t count = 0;
  for (std::size_t at = text.find(u'\0', from); at != std::u16string::npos;
       at = text.find(u'\0', at + 1)) {
    if (count++ == 0) {
      first = at - from;
    }
    text[at] = kReplacement;
  }
  return count;
}

}  // namespace

namespace {

// Every question the decision asks, answered from one read of the file: each is fed the pieces
// in order until it has its answer, and the read stops once every answer that can still matter
// is in.
class DecisionQuestions {
 public:
  DecisionQuestions(std::uint64_t size, std::optional<TextEncoding> forced, bool heed_mark)
      : forced_(forced), heed_mark_(heed_mark), survey_(static_cast<std::size_t>(size)) {}

  // Takes the next piece; false once nothing more needs to be read.
  bool Feed(std::span<const std::uint8_t> piece, bool last) {
    if (!head_read_) {
      const std::size_t wanted = std::min(kUtf8Window - head_.size(), piece.size());
      head_.insert(head_.end(), piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(wanted));
      if (head_.size() == kUtf8Window || last) {
        head_read_ = true;
        marked_ = EncodingOfByteOrderMark(head_);
        utf16_head_ = Utf16ByItsZeros(head_);
        utf8_head_ = IsUTF8(head_, static_cast<std::int32_t>(kUtf8Window));
        if (SettledByTheHead()) {
          return false;
        }
      }
    }
    if (!forced_) {
      high_byte_ = high_byte_ || HasHighByte(piece);
      if (!survey_.ratio_out_of_reach()) {
        survey_.Feed(piece, last);
      }
      if (!detector_.decided()) {
        detector_.Feed(piece.data(), piece.size());
      }
      // The shape matters only to a verdict read a second time, which is known once the
      // detector has decided (and the shape then has every piece since the start).
      if (!shape_.broken() && (!detector_.decided() || WantsSecondReading(detector_))) {
        shape_.Feed(piece);
      }
    }
    return !(head_read_ && AllAnswered());
  }

  StreamDecision Decision() const {
    StreamDecision decision;
    if (forced_) {
      decision.encoding = *forced_;
      decision.mark_length = marked_ == forced_ ? ByteOrderMarkLength(*marked_) : 0;
    } else if (marked_ && heed_mark_) {
      decision.encoding = *marked_;
      decision.mark_length = ByteOrderMarkLength(*marked_);
      decision.from_mark = true;
    } else if (utf16_head_) {
      decision.encoding = *utf16_head_;
      decision.mark_length = marked_ == utf16_head_ ? 2 : 0;
    } else if (utf8_head_ || survey_.WhollyUtf8() || survey_.MostlyUtf8()) {
      decision.encoding = TextEncoding::kUTF8;
      decision.mark_length = marked_ == TextEncoding::kUTF8 ? 3 : 0;
    } else {
      decision.encoding = LegacyEncoding(SecondReading(detector_, shape_));
      // Without a byte from 80 up the read went on to the end (only such a byte puts UTF-8 out
      // of reach), so the whole file is known to be ASCII.
      if (decision.encoding == TextEncoding::kShiftJIS && !high_byte_) {
        decision.encoding = TextEncoding::kASCII;
      }
    }
    return decision;
  }

 private:
  static TextEncoding LegacyEncoding(KanjiCode code) {
    switch (code) {
      case kcJIS:
        return TextEncoding::kISO2022JP;
      case kcEUC:
        return TextEncoding::kEUCJP;
      case kcBinary:
        return TextEncoding::kBinary;
      case kcShiftJIS:
        break;
    }
    return TextEncoding::kShiftJIS;
  }

  // The first kilobyte settles most files: the user's word, a mark, its zero bytes saying UTF-16,
  // or IsUTF8 saying yes.
  bool SettledByTheHead() const {
    return forced_ || (marked_ && heed_mark_) || utf16_head_ || utf8_head_;
  }

  bool AllAnswered() const {
    if (!survey_.ratio_out_of_reach() || !detector_.decided()) {
      return false;  // UTF-8 still possible, or the legacy verdict not yet in
    }
    return !WantsSecondReading(detector_) || shape_.broken();  // else the shape is known at the end
  }

  std::optional<TextEncoding> forced_;
  bool heed_mark_;
  Bytes head_;  // the first kilobyte
  bool head_read_ = false;
  std::optional<TextEncoding> marked_;
  std::optional<TextEncoding> utf16_head_;  // UTF-16 without a mark, by the first kilobyte
  bool utf8_head_ = false;
  UTF8Survey survey_;
  KanjiDetector detector_;
  EucJpShape shape_;
  bool high_byte_ = false;  // a byte from 80 up among those read
};

}  // namespace

StreamDecision DecideImportEncoding(InputFile& file, std::uint64_t size,
                                    std::optional<TextEncoding> forced, bool heed_mark,
                                    std::size_t piece_size) {
  DecisionQuestions questions(size, forced, heed_mark);
  file.Rewind();
  Bytes piece(piece_size);
  while (true) {
    const std::size_t got = file.Read(piece.data(), piece.size());
    if (!questions.Feed(std::span<const std::uint8_t>(piece.data(), got), got == 0) || got == 0) {
      break;
    }
  }
  file.Rewind();
  return questions.Decision();
}

std::string EncodingDoubt(InputFile& file, std::uint64_t length, bool forced,
                          const StreamDecision& decision, const Replacements& replaced) {
  if (!(forced || decision.from_mark) || replaced.count * 1000 <= length) {
    return "";
  }
  const TextEncoding detected = DecideImportEncoding(file, length, std::nullopt, false).encoding;
  if (detected == decision.encoding) {
    return "";
  }
  const std::string named = TextEncodingName(decision.encoding);
  return "warning: the file does not look like " + named + " (" +
         (forced ? "as it was said to be" : "as its byte-order mark says") +
         "); read by its bytes alone it would be " + TextEncodingName(detected);
}

StreamDecoder::StreamDecoder(const StreamDecision& decision, const CodePage932& code_page)
    : decision_(decision), code_page_(code_page), mark_left_(decision.mark_length) {
  if (decision.encoding == TextEncoding::kISO2022JP) {
    iso2022jp_.emplace(JisTextTableFor(code_page), code_page);
  }
}

std::span<const std::uint8_t> StreamDecoder::PastTheMark(std::span<const std::uint8_t> piece) {
  const std::size_t skip = std::min(mark_left_, piece.size());
  mark_left_ -= skip;
  consumed_ += skip;
  return piece.subspan(skip);
}

void StreamDecoder::Decode(std::span<const std::uint8_t> piece, bool last, std::u16string& text) {
  piece = PastTheMark(piece);
  const std::size_t from = text.size();
  switch (decision_.encoding) {
    case TextEncoding::kUTF16LE:
    case TextEncoding::kUTF16BE:
      AppendUtf16(piece, last, text);
      return;
    case TextEncoding::kISO2022JP:
      AppendIso2022Jp(piece, last, text);
      break;
    case TextEncoding::kEUCJP:
    case TextEncoding::kUTF8:
    case TextEncoding::kASCII:
    case TextEncoding::kShiftJIS:
    case TextEncoding::kBinary:
      CutAfterAscii(piece, last, [&](std::span<const std::uint8_t> bytes) {
        AppendWholeCharacters(bytes, text);
      });
      break;
  }
  if (ThroughCodePage932(decision_.encoding)) {
    TallyLegacy(std::u16string_view(text).substr(from));
  }
}

void StreamDecoder::Count(std::span<const std::uint8_t> piece, bool last) {
  std::u16string text;  // of a stretch holding a replacement
  auto plain_or_decoded = [&](std::span<const std::uint8_t> bytes, bool plain) {
    if (plain) {
      TallyPlain(bytes);
      return;
    }
    text.clear();
    AppendWholeCharacters(bytes, text);
    if (!ReadsAsUtf8(decision_.encoding)) {  // UTF-8 is tallied as it is decoded
      TallyLegacy(text);
    }
  };
  switch (decision_.encoding) {
    case TextEncoding::kUTF16LE:  // rare enough to be decoded
    case TextEncoding::kUTF16BE:
    case TextEncoding::kISO2022JP:
      Decode(piece, last, text);
      return;
    case TextEncoding::kEUCJP:
      CutAfterAscii(PastTheMark(piece), last, [&](std::span<const std::uint8_t> bytes) {
        plain_or_decoded(bytes,
                         IsPlainEucText(bytes.data(), bytes.size(), JisTextTableFor(code_page_)));
      });
      return;
    case TextEncoding::kUTF8:
    case TextEncoding::kASCII:
      CutAfterAscii(PastTheMark(piece), last, [&](std::span<const std::uint8_t> bytes) {
        plain_or_decoded(bytes, FindInvalidUTF8(bytes, 0, true).count == 0 && !HasZero(bytes));
      });
      return;
    case TextEncoding::kShiftJIS:
    case TextEncoding::kBinary:
      CutAfterAscii(PastTheMark(piece), last, [&](std::span<const std::uint8_t> bytes) {
        plain_or_decoded(bytes, code_page_.AllCharacters(bytes) && !HasZero(bytes));
      });
      return;
  }
}

template <class ReadyBytes>
void StreamDecoder::CutAfterAscii(std::span<const std::uint8_t> piece, bool last,
                                  ReadyBytes&& ready) {
  auto hand_over = [&](std::span<const std::uint8_t> bytes) {
    ready(bytes);
    consumed_ += bytes.size();
  };
  if (ReadsAsUtf8(decision_.encoding)) {
    HandOverUtf8(waiting_, piece, last, hand_over);
  } else if (decision_.encoding == TextEncoding::kEUCJP) {
    HandOverAtCuts(waiting_, piece, last, &EucReadyEnd, hand_over);
  } else {
    HandOverUpToLastAscii(waiting_, piece, last, hand_over);
  }
}

void StreamDecoder::DecodeToUtf8(std::span<const std::uint8_t> piece, bool last, Bytes& out) {
  Bytes encoded;
  auto append = [&](const std::u16string& text) {
    if (!text.empty()) {
      EncodeUTF8(text, encoded);
      out.insert(out.end(), encoded.begin(), encoded.end());
    }
  };
  if (!ReadsAsUtf8(decision_.encoding)) {
    append(Decode(piece, last));
    return;
  }
  // UTF-8 that decodes and encodes back to itself is copied as it is.
  piece = PastTheMark(piece);
  CutAfterAscii(piece, last, [&](std::span<const std::uint8_t> bytes) {
    if (IsVerbatimUTF8(bytes) && !HasZero(bytes)) {
      out.insert(out.end(), bytes.begin(), bytes.end());
      TallyPlain(bytes);
      return;
    }
    std::u16string text;
    AppendWholeCharacters(bytes, text);
    append(text);
  });
}

void StreamDecoder::AppendIso2022Jp(std::span<const std::uint8_t> piece, bool last,
                                    std::u16string& text) {
  auto run = [&](std::span<const std::uint8_t> bytes, bool at_end) {
    return iso2022jp_->Decode(bytes.data(), bytes.size(), at_end, text);
  };
  // The waiting bytes (an escape or a pair cut by the last piece: four at most) are finished
  // with the piece's first bytes on their own, so that the piece itself is never copied.
  std::size_t from = 0;  // where the piece's undecoded bytes start
  bool ended = false;    // the decoder has been told the input ends
  if (!waiting_.empty()) {
    const std::size_t before = waiting_.size();
    const std::size_t take = std::min<std::size_t>(piece.size(), 4);
    waiting_.insert(waiting_.end(), piece.begin(),
                    piece.begin() + static_cast<std::ptrdiff_t>(take));
    ended = last && take == piece.size();
    const std::size_t done = run(waiting_, ended);
    if (done < before) {  // still unfinished (a short piece): the piece waits with them
      waiting_.erase(waiting_.begin(), waiting_.begin() + static_cast<std::ptrdiff_t>(done));
      waiting_.insert(waiting_.end(), piece.begin() + static_cast<std::ptrdiff_t>(take),
                      piece.end());
      from = piece.size();
    } else {
      waiting_.clear();
      from = done - before;
    }
  }
  if (!ended && (from < piece.size() || last)) {
    const std::span<const std::uint8_t> rest = piece.subspan(from);
    const std::size_t done = run(rest, last);
    waiting_.assign(rest.begin() + static_cast<std::ptrdiff_t>(done), rest.end());
  }
  consumed_ += piece.size();
}

void StreamDecoder::AppendShiftJisText(std::span<const std::uint8_t> bytes, std::u16string& text) {
  if (bytes.empty()) {
    return;
  }
  const std::size_t from = text.size();
  text += code_page_.ToUtf16(bytes);
  if (HasZero(bytes)) {
    std::size_t first = kNone;
    ReplaceNuls(text, from, first);  // counted with the rest by TallyLegacy
  }
}

// `bytes` end after an ASCII byte, or at the end of the file.
void StreamDecoder::AppendWholeCharacters(std::span<const std::uint8_t> bytes,
                                          std::u16string& text) {
  switch (decision_.encoding) {
    case TextEncoding::kUTF8:
    case TextEncoding::kASCII: {
      InvalidBytes here;
      const std::size_t from = text.size();
      text += DecodeUTF8(bytes, u"\uFFFD", &here);
      // A U+FFFD may also be the file's own character: the first replacement's place is where
      // the bytes before it end.
      std::size_t first = here.count > 0 && replacements_ == 0
                              ? DecodeUTF8(bytes.first(here.first_offset), u"\uFFFD").size()
                              : kNone;
      std::size_t nuls = 0;
      if (HasZero(bytes)) {
        std::size_t first_nul = kNone;
        nuls = ReplaceNuls(text, from, first_nul);
        first = std::min(first, first_nul);
      }
      Tally(std::u16string_view(text).substr(from), here.count + nuls, first);
      return;
    }
    case TextEncoding::kEUCJP:
      AppendEucText(bytes.data(), bytes.size(), JisTextTableFor(code_page_), code_page_, text);
      return;
    case TextEncoding::kShiftJIS:
    case TextEncoding::kBinary:
      AppendShiftJisText(bytes, text);  // code page 932 never fails
      return;
    case TextEncoding::kUTF16LE:  // taken by AppendUtf16
    case TextEncoding::kUTF16BE:
    case TextEncoding::kISO2022JP:  // taken by RunIso2022Jp
      return;
  }
}

// UTF-16 two bytes at a time; an odd byte waits for the next piece. A surrogate without its
// partner, U+0000, and an odd byte at the end, become U+FFFD each.
void StreamDecoder::AppendUtf16(std::span<const std::uint8_t> piece, bool last,
                                std::u16string& text) {
  const bool big_endian = decision_.encoding == TextEncoding::kUTF16BE;
  const std::size_t from = text.size();
  std::size_t count = 0;
  std::size_t first = kNone;
  auto replace = [&] {
    if (first == kNone) {
      first = text.size() - from;
    }
    text.push_back(kReplacement);
    ++count;
  };
  auto take = [&](std::uint8_t a, std::uint8_t b) {
    const char16_t unit =
        big_endian ? static_cast<char16_t>(a << 8 | b) : static_cast<char16_t>(b << 8 | a);
    if (high_ != 0) {
      if (IsLowSurrogate(unit)) {
        text.push_back(high_);
        text.push_back(unit);
        high_ = 0;
        return;
      }
      high_ = 0;
      replace();
    }
    if (IsHighSurrogate(unit)) {
      high_ = unit;
    } else if (IsLowSurrogate(unit) || unit == 0) {
      replace();
    } else {
      text.push_back(unit);
    }
  };
  text.reserve(text.size() + piece.size() / 2 + 2);
  std::size_t i = 0;
  if (!waiting_.empty() && !piece.empty()) {
    take(waiting_[0], piece[0]);
    waiting_.clear();
    i = 1;
  }
  for (; i + 1 < piece.size(); i += 2) {
    take(piece[i], piece[i + 1]);
  }
  if (i < piece.size()) {
    waiting_.assign(1, piece[i]);
  }
  if (last) {
    if (high_ != 0) {
      high_ = 0;
      replace();
    }
    if (!waiting_.empty()) {
      waiting_.clear();
      replace();
    }
  }
  consumed_ += piece.size();
  Tally(std::u16string_view(text).substr(from), count, first);
}

void StreamDecoder::TallyLegacy(std::u16string_view emitted) {
  const std::size_t first = emitted.find(kReplacement);
  const std::size_t count =
      first == kNone
          ? 0
          : static_cast<std::size_t>(std::count(
                emitted.begin() + static_cast<std::ptrdiff_t>(first), emitted.end(), kReplacement));
  Tally(emitted, count, first);
}

// Adds the LF and CR units of `text` to `lf` and `cr`, in one pass: in blocks whose counts fit
// 16 bits, so that the compiler compares many units at once.
template <class Unit>
void CountLineEnds(std::basic_string_view<Unit> text, std::int64_t& lf, std::int64_t& cr) {
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t end = std::min(text.size(), i + 65535);
    std::uint16_t block_lf = 0;
    std::uint16_t block_cr = 0;
    for (; i < end; ++i) {
      block_lf = static_cast<std::uint16_t>(block_lf + (text[i] == Unit{'\n'}));
      block_cr = static_cast<std::uint16_t>(block_cr + (text[i] == Unit{'\r'}));
    }
    lf += block_lf;
    cr += block_cr;
  }
}

template <class Unit>
void StreamDecoder::Tally(std::basic_string_view<Unit> emitted, std::size_t count,
                          std::size_t first) {
  if (replacements_ == 0) {  // the line ends before the first replacement are still counted
    CountLineEnds(count > 0 ? emitted.substr(0, first) : emitted, lf_before_, cr_before_);
    has_lf_ = has_lf_ || lf_before_ > 0;
  }
  if (!has_lf_ && (replacements_ > 0 || count > 0)) {
    has_lf_ = emitted.find(Unit{'\n'}) != std::basic_string_view<Unit>::npos;
  }
  replacements_ += count;
}

void StreamDecoder::TallyPlain(std::span<const std::uint8_t> bytes) {
  Tally(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), 0, kNone);
}

Replacements StreamDecoder::replaced() const {
  Replacements r;
  r.count = replacements_;
  if (r.count > 0) {
    r.first_line = 1 + (has_lf_ ? lf_before_ : cr_before_);
  }
  return r;
}

}  // namespace sarnlink
