// What an import met beyond the entries it stored: everything in the file the diary has no place
// for, entries that were passed over, and bytes that were not text. The front ends show it so
// that nothing is lost without a word.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "encoding/import_text.h"

namespace sarnlink {

struct ImportReport {
  bool dry_run = false;                         // nothing was written
  TextEncoding encoding = TextEncoding::kUTF8;  // how the file was read
  std::string invalid_bytes;                    // what became of bytes that were not text
  std::string encoding_doubt;   // why the encoding named for the file seems wrong, if it does
  std::int64_t line_count = 0;  // lines of the decoded text

  std::int32_t entries = 0;  // entries the file holds, stored or not
  // The entries of each author (the AUTHOR current at the entry's end; "" before any).
  std::map<std::u16string, std::int32_t> authors;
  std::int32_t stored = 0;              // rows stored (or, in a dry run, that would be)
  std::int32_t passed_over = 0;         // entries the author filter passed over
  std::int32_t duplicates = 0;          // entries the diary already held, passed over
  std::int32_t undated_duplicates = 0;  // of those, entries without a DATE held as filed before
  std::int32_t comment_sections = 0;
  std::int32_t ping_sections = 0;
  std::int32_t keyword_sections = 0;  // KEYWORDS sections that held text
  // Keys the diary has no column for (TAGS, BASENAME, ...), each with how often it occurred.
  std::map<std::u16string, std::int32_t> other_keys;
  std::vector<std::int64_t> entries_without_date;  // the first line (from 1) of each
  std::u16string undated_time;                     // where those were filed; empty: nowhere

  // How "12:mm AM" was read: as noon or midnight, as the user said (twelve_am_as_asked) or, when
  // nothing was said, as noon because the file writes midnight as "00:mm AM" (as the earlier
  // export did: twelve_am_from_file).
  bool twelve_am_is_noon = false;
  bool twelve_am_from_file = false;
  bool twelve_am_as_asked = false;
  std::u16string run_stamp;  // the ImportMark of the stored rows

  // Dry run: for each day that already had entries, how many the run would add to it.
  std::map<std::u16string, std::int32_t> added_to_existing_days;
};

// The report as short English lines for a person: what was stored, and each thing the diary did
// not keep or had to guess, with counts and line numbers. Nothing for an empty category.
std::vector<std::string> ImportReportLines(const ImportReport& report);

}  // namespace sarnlink
