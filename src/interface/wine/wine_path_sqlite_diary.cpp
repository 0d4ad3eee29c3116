#include "interface/wine/wine_path_sqlite_diary.h"

#include <windows.h>

#include "common/errors.h"
#include "encoding/utf8.h"

extern "C" char* CDECL wine_get_unix_file_name(const WCHAR* dos);

namespace sarnlink {

std::unique_ptr<DiaryConnection> WinePathSqliteDiary::Connect(const std::u16string& path) {
  if (path.empty()) {
    throw Error(ErrorKind::kDatabase, "no diary path was given");
  }
  char* unix_path = wine_get_unix_file_name(reinterpret_cast<const WCHAR*>(path.c_str()));
  if (!unix_path) {
    throw Error(ErrorKind::kDatabase, "diary " + ToUtf8(path) + ": no such folder");
  }
  const std::u16string host_path = FromUtf8(unix_path);
  HeapFree(GetProcessHeap(), 0, unix_path);
  return sqlite_.Connect(host_path);
}

}  // namespace sarnlink
