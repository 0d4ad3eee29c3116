#include "cli/standard_streams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "cli/exit_status.h"
#include "common/errors.h"

namespace sarnlink::cli {
namespace {

std::string Renamed(std::string message, const std::string& path, const std::string& shown) {
  for (std::size_t at = message.find(path); at != std::string::npos;
       at = message.find(path, at + shown.size())) {
    message.replace(at, path.size(), shown);
  }
  return message;
}

[[noreturn]] void Fail(const std::string& what) {
  throw Error(ErrorKind::kFile, "cannot " + what + ": " + std::strerror(errno));
}

}  // namespace

bool IsStreamInput(const std::string& path) {
  struct stat info;
  return path == kStandardStream || (::stat(path.c_str(), &info) == 0 && S_ISFIFO(info.st_mode));
}

SpooledInput::SpooledInput(const std::string& pipe_path)
    : shown_(pipe_path.empty() ? "standard input" : pipe_path) {
  int source = STDIN_FILENO;
  if (!pipe_path.empty()) {
    source = ::open(pipe_path.c_str(), O_RDONLY | O_CLOEXEC);
    if (source < 0) {
      Fail("open " + pipe_path);
    }
  }
  const char* folder = std::getenv("TMPDIR");
  std::string name = std::string(folder && *folder ? folder : "/tmp") + "/sarnlink-stdin-XXXXXX";
  fd_ = ::mkstemp(name.data());
  if (fd_ < 0) {
    if (source != STDIN_FILENO) {
      ::close(source);
    }
    Fail("make a temporary file for " + shown_ + " in " + name);
  }
  // Gone from the folder at once: the copy is reached through its descriptor only, so that
  // nothing is left behind however the process ends.
  ::unlink(name.c_str());
  path_ = "/dev/fd/" + std::to_string(fd_);
  char buffer[1 << 16];
  while (true) {
    const ssize_t got = ::read(source, buffer, sizeof buffer);
    if (got == 0) {
      break;
    }
    if (got < 0) {
      if (errno == EINTR) {
        continue;
      }
      const int error = errno;
      ::close(fd_);
      errno = error;
      Fail("read " + shown_);
    }
    for (ssize_t done = 0; done < got;) {
      const ssize_t written = ::write(fd_, buffer + done, static_cast<std::size_t>(got - done));
      if (written < 0 && errno != EINTR) {
        const int error = errno;
        ::close(fd_);
        errno = error;
        Fail("keep " + shown_ + " in a temporary file");
      }
      done += written > 0 ? written : 0;
    }
  }
  if (source != STDIN_FILENO) {
    ::close(source);
  }
}

SpooledInput::~SpooledInput() {
  ::close(fd_);
}

void RethrowNaming(const std::string& path, const std::string& shown) {
  try {
    throw;
  } catch (const Error& e) {
    throw Error(e.kind(), Renamed(e.what(), path, shown));
  } catch (const Refusal& e) {
    throw Refusal(Renamed(e.what(), path, shown));
  }
}

void RethrowNamingStandardInput(const SpooledInput& spooled) {
  RethrowNaming(spooled.path(), spooled.shown());
}

}  // namespace sarnlink::cli
