#include "interface/posix/posix_file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/errors.h"
#include "encoding/utf8.h"
#include "interface/buffered_output_file.h"

namespace sarnlink {
namespace {

[[noreturn]] void FailOn(const std::string& what, const std::string& path, int error) {
  throw Error(ErrorKind::kFile, "cannot " + what + " " + path + ": " + std::strerror(error));
}

// An fd that is closed however we leave the scope.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) {
      ::close(fd_);
    }
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  // Closes now, reporting the error that a deferred close would lose.
  int Release() {
    const int rc = ::close(fd_);
    fd_ = -1;
    return rc;
  }

 private:
  int fd_;  // the open descriptor, or -1 once closed
};

class PosixOutputFile : public BufferedOutputFile {
 public:
  PosixOutputFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}

 private:
  void WriteToSystem(const std::uint8_t* data, std::size_t size) override {
    while (size > 0) {
      const ssize_t written = ::write(fd_.get(), data, size);
      if (written < 0) {
        if (errno == EINTR) {
          continue;
        }
        FailOn("write to", path_, errno);
      }
      data += written;
      size -= static_cast<std::size_t>(written);
    }
  }

  void CloseInSystem() override {
    if (fd_.Release() != 0) {
      FailOn("close", path_, errno);
    }
  }

  Descriptor fd_;     // the file being written
  std::string path_;  // for messages
};

}  // namespace

bool PosixFileSystem::FileExists(const std::u16string& path, bool include_read_only) {
  if (path.empty()) {
    return false;
  }
  const std::string native = ToUtf8(path);
  struct stat info;
  if (::stat(native.c_str(), &info) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) {
      return false;
    }
    FailOn("examine", native, errno);
  }
  if (!S_ISREG(info.st_mode)) {
    return false;
  }
  if (include_read_only) {
    return true;
  }
  // On POSIX a read-only file is one we may not write.
  if (::access(native.c_str(), W_OK) == 0) {
    return true;
  }
  if (errno == EACCES || errno == EROFS) {
    return false;
  }
  FailOn("examine", native, errno);
}

void PosixFileSystem::RemoveFile(const std::u16string& path) {
  const std::string native = ToUtf8(path);
  if (::unlink(native.c_str()) != 0) {
    FailOn("delete", native, errno);
  }
}

std::int64_t PosixFileSystem::FileLength(const std::u16string& path) {
  const std::string native = ToUtf8(path);
  struct stat info;
  if (::stat(native.c_str(), &info) != 0) {
    FailOn("read the length of", native, errno);
  }
  if (!S_ISREG(info.st_mode)) {
    throw Error(ErrorKind::kFile, "cannot read " + native + ": not a regular file");
  }
  return static_cast<std::int64_t>(info.st_size);
}

namespace {

class PosixInputFile : public InputFile {
 public:
  PosixInputFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}

  std::size_t Read(std::uint8_t* out, std::size_t max) override {
    while (true) {
      const ssize_t got = ::read(fd_.get(), out, max);
      if (got >= 0) {
        return static_cast<std::size_t>(got);
      }
      if (errno != EINTR) {
        FailOn("read", path_, errno);
      }
    }
  }

  void Rewind() override {
    if (::lseek(fd_.get(), 0, SEEK_SET) != 0) {
      FailOn("go back to the start of", path_, errno);
    }
  }

 private:
  Descriptor fd_;     // open for reading
  std::string path_;  // for messages
};

}  // namespace

std::unique_ptr<InputFile> PosixFileSystem::OpenForReading(const std::u16string& path) {
  const std::string native = ToUtf8(path);
  const int fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    FailOn("open", native, errno);
  }
  auto file = std::make_unique<PosixInputFile>(fd, native);
  struct stat info;
  if (::fstat(fd, &info) != 0) {
    FailOn("read the length of", native, errno);
  }
  if (!S_ISREG(info.st_mode)) {
    throw Error(ErrorKind::kFile, "cannot read " + native + ": not a regular file");
  }
  return file;
}

Bytes PosixFileSystem::ReadWholeFile(const std::u16string& path) {
  const std::string native = ToUtf8(path);
  Descriptor fd(::open(native.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) {
    FailOn("open", native, errno);
  }
  struct stat info;
  if (::fstat(fd.get(), &info) != 0) {
    FailOn("read the length of", native, errno);
  }
  if (!S_ISREG(info.st_mode)) {
    throw Error(ErrorKind::kFile, "cannot read " + native + ": not a regular file");
  }
  Bytes bytes(static_cast<std::size_t>(info.st_size));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t got = ::read(fd.get(), bytes.data() + done, bytes.size() - done);
    if (got < 0) {
      if (errno == EINTR) {
        continue;
      }
      FailOn("read", native, errno);
    }
    if (got == 0) {
      throw Error(ErrorKind::kFile, "cannot read " + native + ": it became shorter while read");
    }
    done += static_cast<std::size_t>(got);
  }
  return bytes;
}

std::unique_ptr<OutputFile> PosixFileSystem::CreateForWriting(const std::u16string& path) {
  const std::string native = ToUtf8(path);
  const int fd = ::open(native.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    FailOn("create", native, errno);
  }
  return std::make_unique<PosixOutputFile>(fd, native);
}

}  // namespace sarnlink
