#include "export/export_files.h"

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
    piece->Close();
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

std::int64_t ExportFiles::EntriesOnDisk() {
  const std::uint64_t on_disk = pieces_.front()->BytesOnDisk();
  while (!unconfirmed_ends_.empty() && unconfirmed_ends_.front() <= on_disk) {
    unconfirmed_ends_.pop_front();
    ++confirmed_;
  }
  return confirmed_;
}

}  // namespace sarnlink
