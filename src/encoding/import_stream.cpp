#include "encoding/import_stream.h"

#include "encoding/ascii_cut.h"
#include "encoding/jis_text_table.h"
#include "encoding/kanji_code_convert.h"
#include "encoding/utf8.h"

namespace sarnlink {
namespace {

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
      decision.euc_one_pass = OnePassSafe(piece);
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
  const bool mark = StartsWithByteOrderMark(head);
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
  std::u16string text = decision_.encoding == TextEncoding::kISO2022JP
                            ? TakeIso2022Jp(piece, last, true)
                            : Take(piece, last, true);
  if (FirstText(!text.empty())) {
    text.erase(0, 1);  // the mark decodes to the single unit U+FEFF
  }
  return text;
}

bool StreamDecoder::FirstText(bool some) {
  if (!first_text_ || !some) {
    return false;
  }
  first_text_ = false;
  return decision_.byte_order_mark;
}

void StreamDecoder::Check(std::span<const std::uint8_t> piece, bool last) {
  if (decision_.encoding == TextEncoding::kISO2022JP) {
    TakeIso2022Jp(piece, last, false);
  } else {
    Take(piece, last, false);
  }
}

template <class ReadyBytes>
void StreamDecoder::Split(std::span<const std::uint8_t> piece, bool last, ReadyBytes&& ready) {
  auto hand_over = [&](std::span<const std::uint8_t> bytes) {
    ready(bytes);
    consumed_ += bytes.size();
  };
  if (decision_.encoding == TextEncoding::kEUCJP && !decision_.euc_one_pass) {
    waiting_.insert(waiting_.end(), piece.begin(), piece.end());
    if (last) {
      hand_over(waiting_);
      waiting_.clear();
    }
    return;
  }
  HandOverAfterAscii(waiting_, piece, last, hand_over);
}

std::u16string StreamDecoder::Take(std::span<const std::uint8_t> piece, bool last, bool want) {
  std::u16string text;
  Split(piece, last, [&](std::span<const std::uint8_t> bytes) {
    std::u16string part = Ready(bytes, want);
    if (text.empty()) {
      text = std::move(part);
    } else {
      text += part;
    }
  });
  return text;
}

void StreamDecoder::DecodeToUtf8(std::span<const std::uint8_t> piece, bool last, Bytes& out) {
  Bytes encoded;
  auto append = [&](const std::u16string& text) {
    if (!text.empty()) {
      EncodeUTF8(text, encoded);
      out.insert(out.end(), encoded.begin(), encoded.end());
    }
  };
  if (decision_.encoding != TextEncoding::kUTF8) {
    append(Decode(piece, last));
    return;
  }
  // UTF-8 that decodes and encodes back to itself is copied as it is.
  Split(piece, last, [&](std::span<const std::uint8_t> bytes) {
    if (IsVerbatimUTF8(bytes)) {
      const std::size_t skip = FirstText(!bytes.empty()) ? 3 : 0;  // the mark's three bytes
      out.insert(out.end(), bytes.begin() + static_cast<std::ptrdiff_t>(skip), bytes.end());
      return;
    }
    std::u16string text = Ready(bytes, true);
    if (FirstText(!text.empty())) {
      text.erase(0, 1);  // the mark decodes to the single unit U+FEFF
    }
    append(text);
  });
}

std::u16string StreamDecoder::TakeIso2022Jp(std::span<const std::uint8_t> piece, bool last,
                                            bool want) {
  auto run = [&](std::span<const std::uint8_t> bytes, bool at_end) {
    return want ? jis_.Convert(bytes.data(), bytes.size(), at_end, shift_jis_)
                : jis_.Check(bytes.data(), bytes.size(), at_end);
  };
  // The waiting bytes (an escape or a pair cut by the last piece: two at most) are finished with
  // the piece's first two bytes on their own, so that the piece itself is never copied.
  std::size_t from = 0;  // where the piece's unconverted bytes start
  bool ended = false;    // the converter has been told the input ends
  if (!waiting_.empty()) {
    const std::size_t before = waiting_.size();
    const std::size_t take = std::min<std::size_t>(piece.size(), 2);
    waiting_.insert(waiting_.end(), piece.begin(),
                    piece.begin() + static_cast<std::ptrdiff_t>(take));
    ended = last && take == piece.size();
    const std::size_t done = run(waiting_, ended);
    if (done < before) {  // still unfinished (a piece of one byte): the piece waits with them
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
  if (!want) {
    return std::u16string();
  }
  const std::size_t end = ReadyEnd(shift_jis_, last);
  std::u16string text = ShiftJisText(std::span<const std::uint8_t>(shift_jis_).first(end));
  shift_jis_.erase(shift_jis_.begin(), shift_jis_.begin() + static_cast<std::ptrdiff_t>(end));
  return text;
}

std::u16string StreamDecoder::ShiftJisText(std::span<const std::uint8_t> bytes) const {
  return bytes.empty() ? std::u16string() : code_page_.ToUtf16(bytes);
}

// `bytes` end after an ASCII byte, or at the end of the file. Without `want`, only what can fail
// or count is done: the invalid bytes of UTF-8 and the converters of EUC-JP.
std::u16string StreamDecoder::Ready(std::span<const std::uint8_t> bytes, bool want) {
  switch (decision_.encoding) {
    case TextEncoding::kUTF8: {
      InvalidBytes here;
      std::u16string text;
      if (want) {
        text = DecodeUTF8(bytes, decision_.replace_invalid ? u"\uFFFD" : u"", &here);
      } else {
        here = FindInvalidUTF8(bytes);
      }
      if (here.count > 0) {
        if (invalid_.count == 0) {
          invalid_.first_offset = consumed_ + here.first_offset;
        }
        invalid_.count += here.count;
      }
      return text;
    }
    case TextEncoding::kEUCJP: {
      if (!decision_.euc_one_pass) {
        const std::u16string text = EUCToString(Bytes(bytes.begin(), bytes.end()), code_page_);
        return want ? text : std::u16string();
      }
      std::u16string text;
      if (!want) {
        CheckEucPairs(bytes.data(), bytes.size(), consumed_);
        return text;
      }
      if (AppendPlainEucText(bytes.data(), bytes.size(), JisTextTableFor(code_page_), text)) {
        return text;  // plain characters only: nothing can fail
      }
      Bytes sjis(bytes.size());
      sjis.resize(EucPairsToShiftJis(bytes.data(), bytes.size(), consumed_, sjis.data()));
      return ShiftJisText(sjis);
    }
    case TextEncoding::kISO2022JP:  // taken by TakeIso2022Jp
    case TextEncoding::kShiftJIS:
    case TextEncoding::kBinary:
      break;
  }
  return want ? ShiftJisText(bytes) : std::u16string();  // code page 932 never fails
}

}  // namespace sarnlink
