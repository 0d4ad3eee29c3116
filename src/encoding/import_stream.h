// The import's encoding decision and decoding over a file read in pieces: the same decision and
// the same text as DecodeImportText over the whole file, while memory stays the size of a piece.
#pragma once

#include <optional>
#include <span>
#include <string>

#include "common/bytes.h"
#include "encoding/code_page_932.h"
#include "encoding/import_text.h"
#include "encoding/kanji_code_convert.h"
#include "interface/file_system.h"

namespace sarnlink {

// How a file is to be read: DecodeImportText's decision, made ahead of the decoding.
struct StreamDecision {
  TextEncoding encoding = TextEncoding::kShiftJIS;
  bool byte_order_mark = false;  // UTF-8 whose first unit, U+FEFF, is removed
  bool replace_invalid = false;  // UTF-8 with U+FFFD for invalid bytes (else they are dropped)
  bool euc_one_pass = false;     // EUC-JP without 00, 1B, 80 or 9B: converted a piece at a time
};

// The size of the pieces the import reads.
inline constexpr std::size_t kImportPieceSize = 1 << 16;

// Makes the decision by reading `file` from its start, in as many passes as it needs, and leaves
// it rewound. `size` is the file's length.
StreamDecision DecideImportEncoding(InputFile& file, std::uint64_t size,
                                    std::optional<TextEncoding> forced);

// Decodes a file a piece at a time as the decision says. Each piece is converted up to its last
// ASCII byte, after which a character always starts; the bytes after it wait for the next piece.
// ISO-2022-JP goes through its converter's own stream, which keeps its shift state from piece
// to piece, and the Shift_JIS it gives is cut the same way. EUC-JP with bytes that its one-pass
// road cannot take (00, 1B, 80 or 9B, rare in real files) is gathered whole and converted at the
// last piece, so that its two converters fail exactly as they do over the whole file.
class StreamDecoder {
 public:
  StreamDecoder(const StreamDecision& decision, const CodePage932& code_page)
      : decision_(decision), code_page_(code_page) {}

  // The text of the next piece (`last` for the final one, which may be empty). Conversion
  // failures are thrown as conversion errors naming the byte offset in the file.
  std::u16string Decode(std::span<const std::uint8_t> piece, bool last);

  // The same checks as Decode, the same failures and invalid bytes, without the text: what a
  // conversion that cannot fail would give is not made at all.
  void Check(std::span<const std::uint8_t> piece, bool last);

  // Decode's text as UTF-8, appended to `out`; UTF-8 that would come back unchanged is copied.
  void DecodeToUtf8(std::span<const std::uint8_t> piece, bool last, Bytes& out);

  // UTF-8 only: the invalid bytes met so far, offsets counted in the file.
  const InvalidBytes& invalid() const { return invalid_; }

 private:
  template <class ReadyBytes>
  void Split(std::span<const std::uint8_t> piece, bool last, ReadyBytes&& ready);
  std::u16string Take(std::span<const std::uint8_t> piece, bool last, bool text);
  std::u16string TakeIso2022Jp(std::span<const std::uint8_t> piece, bool last, bool text);
  std::u16string Ready(std::span<const std::uint8_t> bytes, bool text);
  // Whether the text about to be given is the file's first and must lose the byte-order mark;
  // `some` says there is text at all (the mark goes with the first text there is).
  bool FirstText(bool some);
  std::u16string ShiftJisText(std::span<const std::uint8_t> bytes) const;

  StreamDecision decision_;
  const CodePage932& code_page_;
  Bytes waiting_;             // bytes after the last piece's last ASCII byte
  std::size_t consumed_ = 0;  // bytes converted so far
  InvalidBytes invalid_;
  bool first_text_ = true;   // the byte-order mark is still to be removed
  JisToShiftJisStream jis_;  // ISO-2022-JP: the converter and its shift state
  Bytes shift_jis_;          // ISO-2022-JP: its Shift_JIS after the last ASCII byte
};

// The line (from 1) that byte `offset` of the file is on, counting LF bytes, or CR bytes in a
// file without LF. Reads the file from its start and leaves it rewound.
std::int64_t LineOfByte(InputFile& file, std::uint64_t offset);

// Reads a whole file from where it stands, a piece at a time, handing each piece (the last one
// empty) to `each` with a StreamDecoder of its own; returns the invalid bytes it met. The pieces
// are `piece_size` bytes (smaller in tests, to put every boundary to the test).
template <class EachPiece>
InvalidBytes ReadInPieces(InputFile& file, const StreamDecision& decision,
                          const CodePage932& code_page, EachPiece&& each,
                          std::size_t piece_size = kImportPieceSize) {
  StreamDecoder decoder(decision, code_page);
  Bytes piece(piece_size);
  while (true) {
    const std::size_t got = file.Read(piece.data(), piece.size());
    each(decoder, std::span<const std::uint8_t>(piece.data(), got), got == 0);
    if (got == 0) {
      return decoder.invalid();
    }
  }
}

// Decodes a whole file through StreamDecoder, calling `text` with each piece of text in order.
template <class TextSink>
InvalidBytes DecodeInPieces(InputFile& file, const StreamDecision& decision,
                            const CodePage932& code_page, TextSink&& text,
                            std::size_t piece_size = kImportPieceSize) {
  return ReadInPieces(
      file, decision, code_page,
      [&text](StreamDecoder& decoder, std::span<const std::uint8_t> piece, bool last) {
        text(decoder.Decode(piece, last));
      },
      piece_size);
}

}  // namespace sarnlink
