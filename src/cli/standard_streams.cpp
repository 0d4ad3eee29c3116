#include "cli/standard_streams.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "cli/exit_status.h"
#include "common/errors.h"

namespace sarnlink::cli {
namespace {

std::string Renamed(std::string message, const std::string& path) {
  for (std::size_t at = message.find(path); at != std::string::npos; at = message.find(path, at)) {
    message.replace(at, path.size(), "standard input");
  }
  return message;
}

[[noreturn]] void Fail(const std::string& what) {
  throw Error(ErrorKind::kFile, "cannot " + what + ": " + std::strerror(errno));
}

}  // namespace

SpooledInput::SpooledInput() {
  const char* folder = std::getenv("TMPDIR");
  path_ = std::string(folder && *folder ? folder : "/tmp") + "/sarnlink-stdin-XXXXXX";
  const int fd = ::mkstemp(path_.data());
  if (fd < 0) {
    Fail("make a temporary file for standard input in " + path_);
  }
  // A failure removes the file again: the destructor does not run for a constructor that throws.
  auto give_up = [&](const std::string& what) {
    const int error = errno;
    ::close(fd);
    ::unlink(path_.c_str());
    errno = error;
    Fail(what);
  };
  char buffer[1 << 16];
  while (true) {
    const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (got == 0) {
      break;
    }
    if (got < 0) {
      if (errno == EINTR) {
        continue;
      }
      give_up("read standard input");
    }
    for (ssize_t done = 0; done < got;) {
      const ssize_t written = ::write(fd, buffer + done, static_cast<std::size_t>(got - done));
      if (written < 0 && errno != EINTR) {
        give_up("keep standard input in " + path_);
      }
      done += written > 0 ? written : 0;
    }
  }
  if (::close(fd) != 0) {
    const int error = errno;
    ::unlink(path_.c_str());
    errno = error;
    Fail("keep standard input in " + path_);
  }
}

SpooledInput::~SpooledInput() {
  ::unlink(path_.c_str());
}

void RethrowNamingStandardInput(const SpooledInput& spooled) {
  try {
    throw;
  } catch (const Error& e) {
    throw Error(e.kind(), Renamed(e.what(), spooled.path()));
  } catch (const Refusal& e) {
    throw Refusal(Renamed(e.what(), spooled.path()));
  }
}

}  // namespace sarnlink::cli
