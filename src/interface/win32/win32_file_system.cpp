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

class Win32OutputFile : public BufferedOutputFile {
 public:
  Win32OutputFile(HANDLE h, std::u16string path) : file_(h), path_(std::move(path)) {}

 private:
  void WriteToSystem(const std::uint8_t* data, std::size_t size) override {
    while (size > 0) {
      DWORD written = 0;
      const DWORD chunk = static_cast<DWORD>(size > (1u << 30) ? (1u << 30) : size);
      if (!WriteFile(file_.get(), data, chunk, &written, nullptr)) {
        FailOn("write to", path_, GetLastError());
      }
      data += written;
      size -= written;
    }
  }

  void CloseInSystem() override {
    if (!file_.Release()) {
      FailOn("close", path_, GetLastError());
    }
  }

  Handle file_;          // the file being written
  std::u16string path_;  // for messages
};

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

Bytes Win32FileSystem::ReadWholeFile(const std::u16string& path) {
  Handle file(CreateFileW(Wide(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) {
    FailOn("open", path, GetLastError());
  }
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.get(), &size)) {
    FailOn("read the length of", path, GetLastError());
  }
  Bytes bytes(static_cast<std::size_t>(size.QuadPart));
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD got = 0;
    const std::size_t left = bytes.size() - done;
    const DWORD chunk = static_cast<DWORD>(left > (1u << 30) ? (1u << 30) : left);
    if (!ReadFile(file.get(), bytes.data() + done, chunk, &got, nullptr)) {
      FailOn("read", path, GetLastError());
    }
    if (got == 0) {
      throw Error(ErrorKind::kFile,
                  "cannot read " + ToUtf8(path) + ": it became shorter while read");
    }
    done += got;
  }
  return bytes;
}

std::unique_ptr<OutputFile> Win32FileSystem::CreateForWriting(const std::u16string& path) {
  HANDLE h = CreateFileW(Wide(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    FailOn("create", path, GetLastError());
  }
  return std::make_unique<Win32OutputFile>(h, path);
}

}  // namespace sarnlink
