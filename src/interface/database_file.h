// Outputs that would destroy data: the diary itself (or its journal files) as the export's
// file, and a database (an SQLite diary, a Jet or ACE database, told from its first bytes)
// deleted or replaced to make room for one.
#pragma once

#include <string>

#include "interface/file_system.h"

namespace sarnlink {

// True when the file at `path` opens with an SQLite, Jet or ACE header. A file that cannot be
// read throws a file error; a short file is no database.
bool IsDatabaseFile(FileSystem& files, const std::u16string& path);

// Throws a refusal (ErrorKind::kRefused) when an export file at `path` would write over the
// diary at `diary` or one of the files its engine keeps beside it, or, with `replacing`, would
// take the place of a database file. Nothing is touched either way.
void RefuseDestructiveOutput(FileSystem& files, const std::u16string& diary,
                             const std::u16string& path, bool replacing);

}  // namespace sarnlink
