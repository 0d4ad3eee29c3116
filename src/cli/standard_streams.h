// "-" as a file name: standard input for import, detect and decode, standard output for export.
#pragma once

#include <string>

namespace sarnlink::cli {

// The file name that means standard input or output.
inline constexpr char kStandardStream[] = "-";
// The path the POSIX file system writes to standard output through, in place.
inline constexpr char kStandardOutputPath[] = "/dev/stdout";

// Standard input, or a pipe named by its path (`--in <(...)`), copied to a temporary file for
// the commands that read their input more than once (the import reads it three times). The file
// has no name in any folder: it is reached as /dev/fd/N and goes with its descriptor.
class SpooledInput {
 public:
  // Reads standard input, or the pipe at `pipe_path`, to its end; throws a file error.
  explicit SpooledInput(const std::string& pipe_path = "");
  ~SpooledInput();
  SpooledInput(const SpooledInput&) = delete;
  SpooledInput& operator=(const SpooledInput&) = delete;
  const std::string& path() const { return path_; }
  const std::string& shown() const { return shown_; }

 private:
  int fd_ = -1;        // the temporary file, already unlinked
  std::string path_;   // its path through the descriptor
  std::string shown_;  // what messages call the input
};

// Whether `path` is "-" or names a pipe: input that can be read only once.
bool IsStreamInput(const std::string& path);

// Inside a catch block: throws the exception being handled again, its message saying `shown`
// ("standard output") where it named `path` ("/dev/stdout"), the user's words for the system's.
[[noreturn]] void RethrowNaming(const std::string& path, const std::string& shown);

// Inside a catch block: RethrowNaming what was spooled ("standard input", or the pipe's path)
// where the message named the spooled file.
[[noreturn]] void RethrowNamingStandardInput(const SpooledInput& spooled);

}  // namespace sarnlink::cli
