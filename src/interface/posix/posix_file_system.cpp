#include "interface/posix/posix_file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "common/errors.h"
#include "common/path_text.h"
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

// The folder part and the name part of a path ("." for a bare name).
std::pair<std::string, std::string> FolderAndName(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) {
    return {".", path};
  }
  return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

// The file a path's symbolic link points at, so that replacing it replaces that file and not
// the link; any other path as it is.
std::string ResolvedTarget(const std::string& path) {
  struct stat info;
  if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
    return path;
  }
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (!resolved) {
    return path;  // a dangling link: the rename replaces the link itself
  }
  std::string target(resolved);
  std::free(resolved);
  return target;
}

// The permission bits a new file gets from the process: 0666 less the umask.
mode_t DefaultFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

// Flushes a folder's entries, so that a rename in it survives a power cut.
void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    FailOn("open the folder", folder, errno);
  }
  Descriptor dir(fd);
  if (::fsync(dir.get()) != 0 && errno != EINVAL) {
    FailOn("flush the folder", folder, errno);
  }
}

// The kernel's no-replace rename does it in one step; where the file system lacks it, a hard
// link does; where it has neither (FAT, some network shares), the path is looked at once more
// just before the rename.
void PlaceWithoutReplacing(const std::string& temp, const std::string& path,
                           const std::string& appeared) {
  const auto refuse = [&] { throw Error(ErrorKind::kRefused, path + appeared); };
  if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0) {
    return;
  }
  if (errno == EEXIST) {
    refuse();
  }
  if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
    FailOn("put the new file at", path, errno);
  }
  if (::link(temp.c_str(), path.c_str()) == 0) {
    ::unlink(temp.c_str());
    return;
  }
  if (errno == EEXIST) {
    refuse();
  }
  if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS) {
    FailOn("put the new file at", path, errno);
  }
  struct stat existing;
  if (::lstat(path.c_str(), &existing) == 0) {
    refuse();
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    FailOn("put the new file at", path, errno);
  }
}

namespace {

class PosixOutputFile : public BufferedOutputFile {
 public:
  // In place: `fd` is the file at `path`. Whole: `fd` is the temporary file `temp_path`, put at
  // `path` when finished.
  PosixOutputFile(int fd, std::string path, OutputMode mode, std::string temp_path = "")
      : fd_(fd), path_(std::move(path)), mode_(mode), temp_path_(std::move(temp_path)) {}

  ~PosixOutputFile() override {
    if (!temp_path_.empty()) {
      ::unlink(temp_path_.c_str());  // never finished: the path stays as it was
    }
  }

 private:
  std::size_t WriteSomeToSystem(const std::uint8_t* data, std::size_t size) override {
    while (true) {
      const ssize_t written = ::write(fd_.get(), data, size);
      if (written > 0) {
        StartWritingBack(static_cast<std::size_t>(written));
        return static_cast<std::size_t>(written);
      }
      if (written < 0 && errno != EINTR) {
        FailOn("write to", path_, errno);
      }
    }
  }

  void FinishInSystem() override {
    if (mode_ != OutputMode::kNewInPlace && ::fsync(fd_.get()) != 0) {
      FailOn("flush to the disk", path_, errno);
    }
    if (fd_.Release() != 0) {
      FailOn("close", path_, errno);
    }
  }

  void Place() override {
    if (mode_ == OutputMode::kNewInPlace || placed_) {
      return;
    }
    if (mode_ == OutputMode::kReplaceWhole) {
      if (::rename(temp_path_.c_str(), path_.c_str()) != 0) {
        FailOn("put the new file at", path_, errno);
      }
    } else {
      PlaceWithoutReplacing(temp_path_, path_,
                            " appeared while the export ran; it was not replaced");
    }
    temp_path_.clear();
    placed_ = true;
    try {
      SyncFolder(FolderAndName(path_).first);
    } catch (const Error& e) {
      throw e.WithContext("the new file is in place at " + path_ + ", but ",
                          "; a power cut could still undo the rename");
    }
  }

  bool Placed() const override { return mode_ == OutputMode::kNewInPlace || placed_; }

  bool KeepsWhatWasWritten() const override { return mode_ == OutputMode::kNewInPlace; }

  // A whole file is flushed to the disk before it is put in place. Asking the kernel to start
  // writing each few megabytes back as they come lets the disk work while the export does, so
  // the flush at the end waits only for the last of them. Only a hint: it changes no byte, and
  // a file system that cannot take it is flushed by the fsync alone.
  void StartWritingBack(std::size_t written) {
#ifdef __linux__
    constexpr std::size_t kWriteBackEvery = std::size_t{8} << 20;
    if (mode_ == OutputMode::kNewInPlace) {
      return;
    }
    unsent_ += written;
    if (unsent_ >= kWriteBackEvery) {
      ::sync_file_range(fd_.get(), static_cast<off_t>(sent_), static_cast<off_t>(unsent_),
                        SYNC_FILE_RANGE_WRITE);
      sent_ += unsent_;
      unsent_ = 0;
    }
#else
    (void)written;
#endif
  }

  void AbandonInSystem() override {
    const int closed = fd_.get() >= 0 ? fd_.Release() : 0;
    const int close_error = errno;
    if (!temp_path_.empty()) {
      const std::string temp = temp_path_;
      temp_path_.clear();
      if (::unlink(temp.c_str()) != 0) {
        FailOn("remove the temporary file", temp, errno);
      }
    }
    if (closed != 0 && mode_ == OutputMode::kNewInPlace) {
      FailOn("close", path_, close_error);
    }
  }

  Descriptor fd_;           // the file being written
  std::string path_;        // the path it is for, also for messages
  OutputMode mode_;         // how it meets its path
  std::string temp_path_;   // a whole file's temporary file, until it is put at the path
  bool placed_ = false;     // a whole file put at its path
  std::size_t sent_ = 0;    // bytes the kernel was asked to write back
  std::size_t unsent_ = 0;  // bytes written since
};

}  // namespace

bool PosixFileSystem::FileExists(const std::u16string& path, bool include_read_only) {
  if (path.empty()) {
    return false;
  }
  const std::string native = PathBytes(path);
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
  const std::string native = PathBytes(path);
  if (::unlink(native.c_str()) != 0) {
    FailOn("delete", native, errno);
  }
}

std::int64_t PosixFileSystem::FileLength(const std::u16string& path) {
  const std::string native = PathBytes(path);
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

// What tells one state of a file's bytes from another: its size and modification time. A
// program writing to the file moves at least one of them.
struct FileState {
  off_t size;
  timespec modified;
  bool operator==(const FileState& other) const {
    return size == other.size && modified.tv_sec == other.modified.tv_sec &&
           modified.tv_nsec == other.modified.tv_nsec;
  }
};

class PosixInputFile : public InputFile {
 public:
  PosixInputFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}

  void Start(const struct stat& info) { state_ = StateOf(info); }

  std::size_t Read(std::uint8_t* out, std::size_t max) override {
    while (true) {
      const ssize_t got = ::read(fd_.get(), out, max);
      if (got > 0) {
        return static_cast<std::size_t>(got);
      }
      if (got == 0) {
        RefuseAChange();  // a pass is only whole when the file stayed as it was throughout
        return 0;
      }
      if (errno != EINTR) {
        FailOn("read", path_, errno);
      }
    }
  }

  void Rewind() override {
    RefuseAChange();
    if (::lseek(fd_.get(), 0, SEEK_SET) != 0) {
      FailOn("go back to the start of", path_, errno);
    }
  }

 private:
  static FileState StateOf(const struct stat& info) { return {info.st_size, info.st_mtim}; }

  // The passes over a file (decide, check, store) must see the same bytes: a file another
  // program changed between or during them is refused, never stored half checked.
  void RefuseAChange() {
    struct stat info;
    if (::fstat(fd_.get(), &info) != 0) {
      FailOn("examine", path_, errno);
    }
    if (!(StateOf(info) == state_)) {
      throw Error(ErrorKind::kFile, path_ +
                                        " changed while it was being read (its size or "
                                        "modification time moved); read it again once nothing "
                                        "writes to it");
    }
  }

  Descriptor fd_;      // open for reading
  std::string path_;   // for messages
  FileState state_{};  // as the file was when opened
};

}  // namespace

std::unique_ptr<InputFile> PosixFileSystem::OpenForReading(const std::u16string& path) {
  const std::string native = PathBytes(path);
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
  file->Start(info);
  return file;
}

PathKind PosixFileSystem::KindOf(const std::u16string& path) {
  if (path.empty()) {
    return PathKind::kNothing;
  }
  const std::string native = PathBytes(path);
  struct stat info;
  if (::stat(native.c_str(), &info) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) {
      return PathKind::kNothing;
    }
    FailOn("examine", native, errno);
  }
  if (S_ISREG(info.st_mode)) {
    return PathKind::kFile;
  }
  return S_ISFIFO(info.st_mode) || S_ISCHR(info.st_mode) ? PathKind::kStream : PathKind::kOther;
}

bool PosixFileSystem::IsSameFile(const std::u16string& a, const std::u16string& b) {
  if (a.empty() || b.empty()) {
    return false;
  }
  const std::string first = PathBytes(a);
  const std::string second = PathBytes(b);
  struct stat first_info, second_info;
  const bool first_exists = ::stat(first.c_str(), &first_info) == 0;
  const bool second_exists = ::stat(second.c_str(), &second_info) == 0;
  if (first_exists && second_exists) {
    return first_info.st_dev == second_info.st_dev && first_info.st_ino == second_info.st_ino;
  }
  if (first_exists || second_exists) {
    return false;
  }
  const auto [first_folder, first_name] = FolderAndName(first);
  const auto [second_folder, second_name] = FolderAndName(second);
  if (first_name != second_name) {
    return false;
  }
  struct stat first_dir, second_dir;
  if (::stat(first_folder.c_str(), &first_dir) != 0 ||
      ::stat(second_folder.c_str(), &second_dir) != 0) {
    return false;  // a folder that is not there holds no file
  }
  return first_dir.st_dev == second_dir.st_dev && first_dir.st_ino == second_dir.st_ino;
}

std::unique_ptr<OutputFile> PosixFileSystem::CreateForWriting(const std::u16string& path,
                                                              OutputMode mode) {
  const std::string native = PathBytes(path);
  if (native == "/dev/stdout") {
    // Standard output is written where it goes, whatever it is: nothing there can be replaced.
    const int fd = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0);
    if (fd < 0) {
      FailOn("write to", "standard output", errno);
    }
    return std::make_unique<PosixOutputFile>(fd, "standard output", OutputMode::kNewInPlace);
  }
  switch (KindOf(path)) {
    case PathKind::kStream: {
      // A pipe or a character device takes the bytes as they come, as standard output does;
      // it is never replaced or removed.
      const int fd = ::open(native.c_str(), O_WRONLY | O_CLOEXEC);
      if (fd < 0) {
        FailOn("open", native, errno);
      }
      return std::make_unique<PosixOutputFile>(fd, native, OutputMode::kNewInPlace);
    }
    case PathKind::kOther:
      throw Error(ErrorKind::kRefused, NotAFileMessage(native));
    default:
      break;
  }
  if (mode == OutputMode::kNewInPlace) {
    const int fd = ::open(native.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
      if (errno == EEXIST) {
        throw Error(ErrorKind::kRefused,
                    native + " already exists; the export never writes over a file");
      }
      FailOn("create", native, errno);
    }
    return std::make_unique<PosixOutputFile>(fd, native, mode);
  }
  // A link to a file that is not there names no file: the finished file would replace the
  // link itself, where a link to a file writes that file.
  struct stat link;
  if (::lstat(native.c_str(), &link) == 0 && S_ISLNK(link.st_mode) &&
      ::access(native.c_str(), F_OK) != 0 && errno == ENOENT) {
    throw Error(ErrorKind::kRefused, native +
                                         " is a symbolic link to a file that does not exist; "
                                         "name the file itself");
  }
  const std::string target = ResolvedTarget(native);
  struct stat existing;
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  if (exists && mode == OutputMode::kNewWhole) {
    throw Error(ErrorKind::kRefused, native + " already exists; it was not replaced");
  }
  const auto [folder, name] = FolderAndName(target);
  std::string temp = folder + "/." + name + ".sarnlink-XXXXXX";
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) {
    FailOn("create a temporary file in", folder, errno);
  }
  auto file = std::make_unique<PosixOutputFile>(fd, target, mode, temp);
  const mode_t bits = exists ? (existing.st_mode & 07777) : DefaultFileMode();
  // A file system without permission bits (FAT) refuses to set them; there are none to keep.
  if (::fchmod(fd, bits) != 0 && errno != EPERM && errno != EOPNOTSUPP) {
    FailOn("set the permissions of", temp, errno);
  }
  return file;
}

}  // namespace sarnlink
