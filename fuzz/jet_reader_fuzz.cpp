// libFuzzer target: the Jet diary reader over arbitrary file bytes (seeded with real diaries).
// Any input must either give rows or a database error naming the file; nothing may crash,
// hang or read out of bounds.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "common/errors.h"
#include "interface/jet/jet_contents.h"
#include "interface/jet/jet_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  (void)sarnlink::DecodeJetText(bytes.first(std::min<std::size_t>(size, 4096)));
  try {
    auto rows = sarnlink::JetContents::OpenBytes(bytes, "fuzz.mdb");
    std::vector<sarnlink::FieldValue> row;
    std::vector<sarnlink::JetRowPlace> places;
    while (rows->Next(row)) {
      places.push_back(rows->LastPlace());
    }
    for (const sarnlink::JetRowPlace& place : places) {
      rows->ReadAt(place, row);  // every row read again where it was found
    }
  } catch (const sarnlink::Error& e) {
    if (e.kind() != sarnlink::ErrorKind::kDatabase) {
      __builtin_trap();
    }
  }
  return 0;
}
