#include "encoding/import_stream.h"

#include <cstring>

#include "encoding/kanji_code_convert.h"
#include "encoding/utf8.h"

namespace sarnlink {
namespace {

constexpr std::size_t kUtf8Window = 1024;  // leading bytes IsUTF8 examines

// Reads the whole file once, piece by piece, handing each to `look` until it answers false.
template <class Look>
void Scan(InputFile& file, Look&& look) {
  file.Rewind();
  Bytes piece(kImportPieceSize);
  while (true) {
    const std::size_t got = file.Read(piece.data(), piece.size());
    if (!look(std::span<const std::uint8_t>(piece.data(), got), got == 0) || got == 0) {
      break;
    }
  }
  file.Rewind();
}

// For EUC-JP, whether the one-pass road is open: no 00, 1B, 80 or 9B anywhere.
StreamDecision WithEucRoad(InputFile& file, StreamDecision decision) {
  if (decision.encoding == TextEncoding::kEUCJP) {
    decision.euc_one_pass = true;
    Scan(file, [&](std::span<const std::uint8_t> piece, bool) {
      for (int b : {0x1B, 0x00, 0x80, 0x9B}) {
        if (!piece.empty() && std::memchr(piece.data(), b, piece.size())) {
          decision.euc_one_pass = false;
        }
      }
      return decision.euc_one_pass;
    });
  }
  return decision;
}

}  // namespace

std::int64_t LineOfByte(InputFile& file, std::uint64_t offset) {
  std::uint64_t position = 0;
  std::int64_t lf_before = 0;
  std::int64_t cr_before = 0;
  bool has_lf = false;
  Scan(file, [&](std::span<const std::uint8_t> piece, bool) {
    for (std::uint8_t b : piece) {
      has_lf = has_lf || b == '\n';
      if (position++ < offset) {
        lf_before += b == '\n' ? 1 : 0;
        cr_before += b == '\r' ? 1 : 0;
      }
    }
    return !(has_lf && position >= offset);
  });
  return 1 + (has_lf ? lf_before : cr_before);
}

StreamDecision DecideImportEncoding(InputFile& file, std::uint64_t size,
                                    std::optional<TextEncoding> forced) {
  StreamDecision decision;
  // The first kilobyte alone settles most files: a mark, or IsUTF8 saying yes.
  Bytes head;
  Scan(file, [&](std::span<const std::uint8_t> piece, bool) {
    const std::size_t wanted = std::min(kUtf8Window - head.size(), piece.size());
    head.insert(head.end(), piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(wanted));
    return head.size() < kUtf8Window;
  });
  const bool mark = head.size() >= 3 && head[0] == 0xEF && head[1] == 0xBB && head[2] == 0xBF;
  if (forced || mark || IsUTF8(head, static_cast<std::int32_t>(kUtf8Window))) {
    decision.encoding = forced ? *forced : TextEncoding::kUTF8;
    decision.byte_order_mark = decision.encoding == TextEncoding::kUTF8 && mark;
    decision.replace_invalid = forced.has_value();
    return WithEucRoad(file, decision);
  }
  UTF8Survey survey(static_cast<std::size_t>(size));
  Scan(file, [&](std::span<const std::uint8_t> piece, bool last) {
    survey.Feed(piece, last);
    return !survey.settled();
  });
  if (survey.Decodable()) {
    decision.encoding = TextEncoding::kUTF8;
  } else if (survey.Mostly()) {
    decision.encoding = TextEncoding::kUTF8;
    decision.replace_invalid = true;
  } else {
    KanjiDetector detector;
    Scan(file, [&](std::span<const std::uint8_t> piece, bool) {
      detector.Feed(piece.data(), piece.size());
      return !detector.decided();
    });
    switch (detector.Result()) {
      case kcJIS:
        decision.encoding = TextEncoding::kISO2022JP;
        break;
      case kcEUC:
        decision.encoding = TextEncoding::kEUCJP;
        break;
      case kcBinary:
        decision.encoding = TextEncoding::kBinary;
        break;
      case kcShiftJIS:
        decision.encoding = TextEncoding::kShiftJIS;
        break;
    }
  }
  return WithEucRoad(file, decision);
}

std::u16string StreamDecoder::Decode(std::span<const std::uint8_t> piece, bool last) {
  return Take(piece, last, true);
}

void StreamDecoder::Check(std::span<const std::uint8_t> piece, bool last) {
  Take(piece, last, false);
}

std::u16string StreamDecoder::Take(std::span<const std::uint8_t> piece, bool last, bool want) {
  const bool whole_only = decision_.encoding == TextEncoding::kISO2022JP ||
                          (decision_.encoding == TextEncoding::kEUCJP && !decision_.euc_one_pass);
  std::span<const std::uint8_t> input = piece;
  if (!waiting_.empty() || whole_only) {
    waiting_.insert(waiting_.end(), piece.begin(), piece.end());
    input = waiting_;
  }
  std::size_t end = input.size();
  if (!last) {
    if (whole_only) {
      return std::u16string();
    }
    while (end > 0 && input[end - 1] >= 0x80) {
      --end;
    }
  }
  std::u16string text;
  if (want) {
    text = DecodeReady(input.first(end), last);
  } else {
    CheckReady(input.first(end), last);
  }
  consumed_ += end;
  Bytes rest(input.begin() + static_cast<std::ptrdiff_t>(end), input.end());
  waiting_ = std::move(rest);
  if (first_text_ && !text.empty()) {
    first_text_ = false;
    if (decision_.byte_order_mark) {
      text.erase(0, 1);  // the mark decodes to the single unit U+FEFF
    }
  }
  return text;
}

// `bytes` end after an ASCII byte, or at the end of the file.
void StreamDecoder::CheckReady(std::span<const std::uint8_t> bytes, bool last) {
  switch (decision_.encoding) {
    case TextEncoding::kUTF8: {
      const InvalidBytes here = FindInvalidUTF8(bytes, consumed_);
      if (here.count > 0 && invalid_.count == 0) {
        invalid_.first_offset = here.first_offset;
      }
      invalid_.count += here.count;
      return;
    }
    case TextEncoding::kEUCJP:
      if (decision_.euc_one_pass) {
        Bytes sjis(bytes.size());
        EucPairsToShiftJis(bytes.data(), bytes.size(), consumed_, sjis.data());
        return;
      }
      break;
    case TextEncoding::kISO2022JP:
      break;
    case TextEncoding::kShiftJIS:
    case TextEncoding::kBinary:
      return;  // code page 932 never fails
  }
  DecodeReady(bytes, last);
}

std::u16string StreamDecoder::DecodeReady(std::span<const std::uint8_t> bytes, bool last) {
  switch (decision_.encoding) {
    case TextEncoding::kUTF8: {
      InvalidBytes here;
      std::u16string text = DecodeUTF8(bytes, decision_.replace_invalid ? u"\uFFFD" : u"", &here);
      if (here.count > 0) {
        if (invalid_.count == 0) {
          invalid_.first_offset = consumed_ + here.first_offset;
        }
        invalid_.count += here.count;
      }
      return text;
    }
    case TextEncoding::kISO2022JP:
      return last ? JISToString(Bytes(bytes.begin(), bytes.end()), code_page_) : u"";
    case TextEncoding::kEUCJP:
      if (!decision_.euc_one_pass) {
        return last ? EUCToString(Bytes(bytes.begin(), bytes.end()), code_page_) : u"";
      }
      if (bytes.empty()) {
        return std::u16string();
      } else {
        Bytes sjis(bytes.size());
        sjis.resize(EucPairsToShiftJis(bytes.data(), bytes.size(), consumed_, sjis.data()));
        return code_page_.ToUtf16(sjis);
      }
    case TextEncoding::kShiftJIS:
    case TextEncoding::kBinary:
      break;
  }
  return bytes.empty() ? std::u16string() : code_page_.ToUtf16(Bytes(bytes.begin(), bytes.end()));
}

}  // namespace sarnlink
