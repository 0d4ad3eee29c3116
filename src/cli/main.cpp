// sarnlink: moves diary entries between a SQLite diary and MovableType text files.
#include "cli/commands.h"

int main(int argc, char** argv) {
  return sarnlink::cli::RunCommandLine(argc, argv);
}
