#include "interface/win32/win32_file_system.h"

#include <windows.h>

#include "common/errors.h"
#include "common/win32/wide_text.h"
#include "encoding/utf8.h"
#include "interface/buffered_output_file.h"

namespace sarnlink {
namespace {

[[noreturn]] void FailOn(const std::string& what, const std::u16string& path, DWORD error) {
  throw Error(ErrorKind::kFile,
              "cannot " + what + " " + ToUtf8(path) + ": " + ToUtf8(SystemMessage(error)));
}

class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  ~Handle() {
    if (h_ != INVALID_HANDLE_VALUE) {
      CloseHandle(h_);
    }
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return h_; }
  BOOL Release() {
    const BOOL ok = CloseHandle(h_);
    h_ = INVALID_HANDLE_VALUE;
    return ok;
  }

 private:
  HANDLE h_;  // the open file, or INVALID_HANDLE_VALUE once closed
};

// A new file written where it stands; what was written before a failure stays in it.
class Win32OutputFile : public BufferedOutputFile {
 public:
  Win32OutputFile(HANDLE h, std::u16string path) : file_(h), path_(std::move(path)) {}

 private:
  std::size_t WriteSomeToSystem(const std::uint8_t* data, std::size_t size) override {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(size > (1u << 30) ? (1u << 30) : size);
    if (!WriteFile(file_.get(), data, chunk, &written, nullptr)) {
      FailOn("write to", path_, GetLastError());
    }
    if (written == 0) {
      FailOn("write to", path_, ERROR_DISK_FULL);
    }
    return written;
  }

  void FinishInSystem() override {
    if (!file_.Release()) {
      FailOn("close", path_, GetLastError());
    }
  }

  bool KeepsWhatWasWritten() const override { return true; }

  void AbandonInSystem() override {
    if (file_.get() != INVALID_HANDLE_VALUE && !file_.Release()) {
      FailOn("close", path_, GetLastError());
    }
  }

  Handle file_;          // the file being written
  std::u16string path_;  // for messages
};

// Identifies the file or folder at `path` for comparison; false when nothing stands there.
bool FileIdentity(const std::u16string& path, BY_HANDLE_FILE_INFORMATION& info) {
  // No access is asked for: the file is only examined, and a folder needs backup semantics.
  Handle h(CreateFileW(Wide(path), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  return h.get() != INVALID_HANDLE_VALUE && GetFileInformationByHandle(h.get(), &info);
}

bool SameIdentity(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
  return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

// The folder part and the name part of a path, cut at its last separator.
std::pair<std::u16string, std::u16string> FolderAndName(const std::u16string& path) {
  const std::size_t cut = path.find_last_of(u"\\/:");
  if (cut == std::u16string::npos) {
    return {u".", path};
  }
  return {path.substr(0, cut + 1), path.substr(cut + 1)};
}

}  // namespace

bool Win32FileSystem::FileExists(const std::u16string& path, bool include_read_only) {
  if (path.empty()) {
    return false;
  }
  const DWORD attributes = GetFileAttributesW(Wide(path));
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
      return false;
    }
    FailOn("examine", path, error);
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    return false;
  }
  return include_read_only || !(attributes & FILE_ATTRIBUTE_READONLY);
}

void Win32FileSystem::RemoveFile(const std::u16string& path) {
  if (!DeleteFileW(Wide(path))) {
    FailOn("delete", path, GetLastError());
  }
}

std::int64_t Win32FileSystem::FileLength(const std::u16string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(Wide(path), GetFileExInfoStandard, &data)) {
    FailOn("read the length of", path, GetLastError());
  }
  return (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

namespace {

class Win32InputFile : public InputFile {
 public:
  Win32InputFile(HANDLE h, std::u16string path) : file_(h), path_(std::move(path)) {}

  std::size_t Read(std::uint8_t* out, std::size_t max) override {
    DWORD got = 0;
    const DWORD chunk = static_cast<DWORD>(max > (1u << 30) ? (1u << 30) : max);
    if (!ReadFile(file_.get(), out, chunk, &got, nullptr)) {
      FailOn("read", path_, GetLastError());
    }
    return got;
  }

  void Rewind() override {
    LARGE_INTEGER start;
    start.QuadPart = 0;
    if (!SetFilePointerEx(file_.get(), start, nullptr, FILE_BEGIN)) {
      FailOn("go back to the start of", path_, GetLastError());
    }
  }

 private:
  Handle file_;          // open for reading
  std::u16string path_;  // for messages
};

}  // namespace

std::unique_ptr<InputFile> Win32FileSystem::OpenForReading(const std::u16string& path) {
  HANDLE h = CreateFileW(Wide(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    FailOn("open", path, GetLastError());
  }
  return std::make_unique<Win32InputFile>(h, path);
}

bool Win32FileSystem::IsSameFile(const std::u16string& a, const std::u16string& b) {
  if (a.empty() || b.empty()) {
    return false;
  }
  BY_HANDLE_FILE_INFORMATION first, second;
  const bool first_exists = FileIdentity(a, first);
  const bool second_exists = FileIdentity(b, second);
  if (first_exists && second_exists) {
    return SameIdentity(first, second);
  }
  if (first_exists || second_exists) {
    return false;
  }
  const auto [first_folder, first_name] = FolderAndName(a);
  const auto [second_folder, second_name] = FolderAndName(b);
  // File names on Windows are compared without regard to letter case.
  if (CompareStringOrdinal(Wide(first_name), -1, Wide(second_name), -1, TRUE) != CSTR_EQUAL) {
    return false;
  }
  return FileIdentity(first_folder, first) && FileIdentity(second_folder, second) &&
         SameIdentity(first, second);
}

PathKind Win32FileSystem::KindOf(const std::u16string& path) {
  if (path.empty()) {
    return PathKind::kNothing;
  }
  const DWORD attributes = GetFileAttributesW(Wide(path));
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    return PathKind::kNothing;
  }
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? PathKind::kOther : PathKind::kFile;
}

std::unique_ptr<OutputFile> Win32FileSystem::CreateForWriting(const std::u16string& path,
                                                              OutputMode mode) {
  if (mode != OutputMode::kNewInPlace) {
    throw Error(ErrorKind::kUsage, "the component writes its files in place only");
  }
  HANDLE h = CreateFileW(Wide(path), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) {
      throw Error(ErrorKind::kRefused,
                  ToUtf8(path) +
                      " already exists; the export never writes over a file (SetPath "
                      "with OverWrite replaces it)");
    }
    FailOn("create", path, error);
  }
  return std::make_unique<Win32OutputFile>(h, path);
}

}  // namespace sarnlink
