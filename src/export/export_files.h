// The files an export writes: one, or, with a limit of entries or bytes per file, pieces named
// NAME.txt, NAME-2.txt, NAME-3.txt, ... that each hold whole entries and read on their own.
// The pieces are one transaction: every whole piece is written and flushed to the disk under
// a temporary name first, and they are put at their paths together only once all are
// complete, so that a failure before that leaves every path as it was.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "interface/file_system.h"

namespace sarnlink {

// One file an export wrote.
struct ExportedFile {
  std::u16string path;
  std::int64_t entries = 0;
  std::uint64_t bytes = 0;
};

// An entry whose DATE the row's own time could not give as it stands, and what it was given.
struct SuppliedDate {
  std::string entry;          // Day, Number and Title, as the user finds the row
  std::u16string day_number;  // Day and Number alone, for the closing text
  std::string date;           // the DATE value written
  std::string how;            // what was wrong, and what the DATE was taken from
};

// What the latest export wrote.
struct ExportReport {
  std::vector<ExportedFile> files;
  std::vector<SuppliedDate> supplied_dates;  // in the order the entries were written
};

// The path of piece `k` (from 1) of an export to `path`: the path itself, then "-k" before its
// extension ("blog.txt", "blog-2.txt"; "blog", "blog-2").
std::u16string PiecePath(const std::u16string& path, std::int64_t k);

class ExportFiles {
 public:
  // `max_entries` and `max_bytes` limit each piece (0: no limit); an entry larger than
  // `max_bytes` gets a piece of its own. The first piece is created at once. A piece whose
  // path is the diary's (at `diary`), or a database it would replace, is refused before
  // anything is written to it.
  ExportFiles(FileSystem& files, const std::u16string& diary, const std::u16string& path,
              OutputMode mode, std::int64_t max_entries, std::uint64_t max_bytes);

  // Writes one whole entry, in a new piece when it would overfill the current one.
  void WriteEntry(std::span<const std::uint8_t> entry);
  // Finishes every piece, then puts them at their paths, in order. A failure while placing
  // them (rare: the disk gone, a file appearing at a path) leaves the pieces before it placed;
  // WhatThePathsHold then tells which.
  void Close();
  // After a failure: every piece ended as OutputFile::Abandon says; what went wrong on the way.
  std::string Abandon() noexcept;
  // After Abandon: what each path holds now, in words ("nothing was written: a.txt is as it
  // was"; which hold new pieces and which old; for files written in place, how many entries
  // reached the file).
  std::string WhatThePathsHold();

  // Whether what was written before a failure stays (files written in place).
  bool KeepsWhatWasWritten() const { return pieces_.front()->KeepsWhatWasWritten(); }
  // Entries the disk holds; for files written in place, after Abandon.
  std::int64_t EntriesOnDisk();
  const std::vector<ExportedFile>& written() const { return written_; }

 private:
  void StartPiece();

  FileSystem& files_;
  std::u16string diary_;
  std::u16string path_;
  OutputMode mode_;
  std::int64_t max_entries_;
  std::uint64_t max_bytes_;
  std::vector<std::unique_ptr<OutputFile>> pieces_;  // every piece, the current one last
  std::vector<ExportedFile> written_;                // what each piece holds
  // The ends of the entries written to the first piece, as byte offsets, kept until the disk
  // holds them: after a failure they tell how many entries a file written in place holds.
  std::deque<std::uint64_t> unconfirmed_ends_;
  std::int64_t confirmed_ = 0;
};

}  // namespace sarnlink
