// The import's encoding decision and decoding over a file read in pieces: the same decision and
// the same text as DecodeImportText over the whole file, while memory stays the size of a piece.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/bytes.h"
#include "common/errors.h"
#include "encoding/code_page_932.h"
#include "encoding/import_text.h"
#include "encoding/iso2022jp_decoder.h"
#include "encoding/kanji_code_convert.h"
#include "interface/file_system.h"

namespace sarnlink {

// How a file is to be read: DecodeImportText's decision, made ahead of the decoding.
struct StreamDecision {
  TextEncoding encoding = TextEncoding::kShiftJIS;
  std::size_t mark_length = 0;  // the bytes of a byte-order mark at the start, not decoded
  bool from_mark = false;       // the mark alone chose the encoding
};

// The size of the pieces the import reads.
inline constexpr std::size_t kImportPieceSize = 1 << 16;

// Makes the decision by reading `file` once from its start, as far as it needs, and leaves it
// rewound. `size` is the file's length. Without `heed_mark` a UTF-8 or UTF-16 byte-order mark
// decides nothing: what the bytes themselves look like. The pieces are `piece_size` bytes
// (smaller in tests, to put every boundary of every question to the test).
StreamDecision DecideImportEncoding(InputFile& file, std::uint64_t size,
                                    std::optional<TextEncoding> forced, bool heed_mark = true,
                                    std::size_t piece_size = kImportPieceSize);

// A file read in an encoding the user named (`forced`), or that its byte-order mark named, in
// which more than one byte in a thousand could not be read, probably is not in that encoding:
// "warning: the file does not look like X (as it was said to be); read by its bytes alone it
// would be Y", naming the encoding the decision takes from the bytes alone, when that is
// another. Empty when there is no doubt. `length` is the file's; only when the count calls for it
// is the file read again (from its start, and left rewound).
std::string EncodingDoubt(InputFile& file, std::uint64_t length, bool forced,
                          const StreamDecision& decision, const Replacements& replaced);

// Decodes a file a piece at a time as the decision says. Each piece is converted up to its last
// ASCII byte, after which a character always starts (UTF-8: up to its last lead byte; EUC-JP: up
// to its last whole character); the bytes after it wait for the next piece.
// UTF-16 is cut between whole units, a surrogate pair kept together. ISO-2022-JP goes through
// its decoder, which keeps its shift state from piece to piece. A byte-order mark the decision
// found is passed over here, and only here. No encoding fails: every byte becomes a character
// or a counted U+FFFD.
class StreamDecoder {
 public:
  StreamDecoder(const StreamDecision& decision, const CodePage932& code_page);

  // Appends the text of the next piece (`last` for the final one, which may be empty) to `text`.
  void Decode(std::span<const std::uint8_t> piece, bool last, std::u16string& text);
  std::u16string Decode(std::span<const std::uint8_t> piece, bool last) {
    std::u16string text;
    Decode(piece, last, text);
    return text;
  }

  // The replacements Decode would make, without its text: a stretch
  // whose bytes all become their characters is only scanned and its line ends counted; one
  // holding a replacement is decoded as Decode decodes it.
  void Count(std::span<const std::uint8_t> piece, bool last);

  // Decode's text as UTF-8, appended to `out`; UTF-8 that would come back unchanged is copied.
  void DecodeToUtf8(std::span<const std::uint8_t> piece, bool last, Bytes& out);

  // The replacements Decode and DecodeToUtf8 made so far.
  Replacements replaced() const;

 private:
  std::span<const std::uint8_t> PastTheMark(std::span<const std::uint8_t> piece);
  template <class ReadyBytes>
  void CutAfterAscii(std::span<const std::uint8_t> piece, bool last, ReadyBytes&& ready);
  void AppendWholeCharacters(std::span<const std::uint8_t> bytes, std::u16string& text);
  void AppendUtf16(std::span<const std::uint8_t> piece, bool last, std::u16string& text);
  void AppendIso2022Jp(std::span<const std::uint8_t> piece, bool last, std::u16string& text);
  void AppendShiftJisText(std::span<const std::uint8_t> bytes, std::u16string& text);
  // Notes `emitted`, the text just given, holding `count` replacements, the first at `first`.
  template <class Unit>
  void Tally(std::basic_string_view<Unit> emitted, std::size_t count, std::size_t first);
  void TallyLegacy(std::u16string_view emitted);
  // Notes `bytes`, each of which became its character (an ASCII byte itself).
  void TallyPlain(std::span<const std::uint8_t> bytes);

  StreamDecision decision_;
  const CodePage932& code_page_;
  std::size_t mark_left_;     // bytes of the mark still to be passed over
  Bytes waiting_;             // bytes after the last piece's last ASCII byte (or whole unit)
  std::size_t consumed_ = 0;  // bytes converted or passed over so far
  std::optional<Iso2022JpDecoder> iso2022jp_;  // ISO-2022-JP: the decoder and its shift state
  char16_t high_ = 0;                          // UTF-16: a high surrogate waiting for its low one
  // For the line of the first replacement: the line ends before it, and whether any LF came.
  std::size_t replacements_ = 0;
  std::int64_t lf_before_ = 0;
  std::int64_t cr_before_ = 0;
  bool has_lf_ = false;
};

// Reads a whole file from where it stands, a piece at a time, handing each piece (the last one
// empty) to `each` with a StreamDecoder of its own; returns the replacements it made. The pieces
// are `piece_size` bytes (smaller in tests, to put every boundary to the test).
template <class EachPiece>
Replacements ReadInPieces(InputFile& file, const StreamDecision& decision,
                          const CodePage932& code_page, EachPiece&& each,
                          std::size_t piece_size = kImportPieceSize) {
  StreamDecoder decoder(decision, code_page);
  Bytes piece(piece_size);
  while (true) {
    const std::size_t got = file.Read(piece.data(), piece.size());
    each(decoder, std::span<const std::uint8_t>(piece.data(), got), got == 0);
    if (got == 0) {
      return decoder.replaced();
    }
  }
}

// Decodes a whole file through StreamDecoder, calling `text` with each piece of text in order.
template <class TextSink>
Replacements DecodeInPieces(InputFile& file, const StreamDecision& decision,
                            const CodePage932& code_page, TextSink&& text,
                            std::size_t piece_size = kImportPieceSize) {
  return ReadInPieces(
      file, decision, code_page,
      [&text](StreamDecoder& decoder, std::span<const std::uint8_t> piece, bool last) {
        std::u16string piece_text;
        decoder.Decode(piece, last, piece_text);
        text(piece_text);
      },
      piece_size);
}

}  // namespace sarnlink
