// Whether a file is a database (an SQLite diary, a Jet or ACE database) rather than a text
// file, told from its first bytes: the export refuses to delete such a file to make room.
#pragma once

#include <string>

#include "interface/file_system.h"

namespace sarnlink {

// True when the file at `path` opens with an SQLite, Jet or ACE header. A file that cannot be
// read throws a file error; a short file is no database.
bool IsDatabaseFile(FileSystem& files, const std::u16string& path);

}  // namespace sarnlink
