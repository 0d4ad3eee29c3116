#include "export/export_files.h"

#include "common/errors.h"
#include "common/path_text.h"
#include "common/text.h"
#include "interface/database_file.h"

namespace sarnlink {

std::u16string PiecePath(const std::u16string& path, std::int64_t k) {
  if (k == 1) {
    return path;
  }
  const std::size_t name = path.find_last_of(u"/\\");
  const std::size_t start = name == std::u16string::npos ? 0 : name + 1;
  std::size_t dot = path.find_last_of(u'.');
  if (dot == std::u16string::npos || dot <= start) {
    dot = path.size();  // no extension ("blog", ".hidden")
  }
  std::u16string number;
  for (std::int64_t n = k; n > 0; n /= 10) {
    number.insert(number.begin(), static_cast<char16_t>(u'0' + n % 10));
  }
  return path.substr(0, dot) + u"-" + number + path.substr(dot);
}

ExportFiles::ExportFiles(FileSystem& files, const std::u16string& diary, const std::u16string& path,
                         OutputMode mode, std::int64_t max_entries, std::uint64_t max_bytes)
    : files_(files),
      diary_(diary),
      path_(path),
      mode_(mode),
      max_entries_(max_entries),
      max_bytes_(max_bytes) {
  // A pipe or device takes one stream; NAME-2.txt beside it would be a stray file.
  if ((max_entries > 0 || max_bytes > 0) && files.KindOf(path) == PathKind::kStream) {
    throw Error(ErrorKind::kRefused, PathBytes(path) +
                                         " is a pipe or a device: an export in pieces needs a "
                                         "file to name its pieces after");
  }
  StartPiece();
}

void ExportFiles::StartPiece() {
  const std::u16string path = PiecePath(path_, static_cast<std::int64_t>(pieces_.size()) + 1);
  // SetPath looked at the first path only; NAME-2.txt could as well be the diary.
  RefuseDestructiveOutput(files_, diary_, path, mode_ == OutputMode::kReplaceWhole);
  pieces_.push_back(files_.CreateForWriting(path, mode_));
  written_.push_back(ExportedFile{path, 0, 0});
}

void ExportFiles::WriteEntry(std::span<const std::uint8_t> entry) {
  const ExportedFile& current = written_.back();
  const bool full =
      current.entries > 0 && ((max_entries_ > 0 && current.entries >= max_entries_) ||
                              (max_bytes_ > 0 && current.bytes + entry.size() > max_bytes_));
  if (full) {
    StartPiece();
  }
  pieces_.back()->Write(entry);
  ExportedFile& piece = written_.back();
  ++piece.entries;
  piece.bytes += entry.size();
  if (pieces_.size() == 1) {
    unconfirmed_ends_.push_back(piece.bytes);
    EntriesOnDisk();  // keeps the list to what may still wait in the buffer
  }
}

void ExportFiles::Close() {
  for (auto& piece : pieces_) {
    piece->Finish();
  }
  for (auto& piece : pieces_) {
    piece->Place();
  }
}

std::string ExportFiles::Abandon() noexcept {
  std::string errors;
  for (auto& piece : pieces_) {
    const std::string error = piece->Abandon();
    if (!error.empty()) {
      errors += (errors.empty() ? "" : "; ") + error;
    }
  }
  return errors;
}

std::string ExportFiles::WhatThePathsHold() {
  if (KeepsWhatWasWritten()) {
    return CountOf(EntriesOnDisk(), "entry was", "entries were") + " written to the file before it";
  }
  std::vector<std::string> placed;
  std::vector<std::string> untouched;
  for (std::size_t k = 0; k < pieces_.size(); ++k) {
    (pieces_[k]->Placed() ? placed : untouched).push_back(PathBytes(written_[k].path));
  }
  std::string old_state;
  if (mode_ == OutputMode::kNewWhole) {
    old_state = untouched.size() == 1 ? "no file was made at " + untouched.front()
                                      : "no file was made at " + CommaList(untouched);
  } else {
    old_state =
        CommaList(untouched) + (untouched.size() == 1 ? " is as it was" : " are as they were");
  }
  // A split export stopped early made only some pieces; the paths of the later ones were
  // never touched either.
  const bool split = max_entries_ > 0 || max_bytes_ > 0;
  if (placed.empty()) {
    return "nothing was written: " + old_state +
           (split ? ", and no later piece's path was touched" : "");
  }
  const std::string in_place = placed.size() == 1 && pieces_.size() == 1
                                   ? "the new file is in place at " + placed.front()
                                   : "new pieces are in place at " + CommaList(placed);
  return in_place + (untouched.empty() ? "" : "; " + old_state);
}

std::int64_t ExportFiles::EntriesOnDisk() {
  const std::uint64_t on_disk = pieces_.front()->BytesOnDisk();
  while (!unconfirmed_ends_.empty() && unconfirmed_ends_.front() <= on_disk) {
    unconfirmed_ends_.pop_front();
    ++confirmed_;
  }
  return confirmed_;
}

}  // namespace sarnlink
