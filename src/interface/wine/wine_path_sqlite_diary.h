// The diary port for the Winelib test build: the host's SQLite diary, reached from the Windows
// path the host passes by asking Wine for the Unix path behind it.
#pragma once

#include "interface/sqlite/sqlite_diary.h"

namespace sarnlink {

class WinePathSqliteDiary : public DiaryDatabase {
 public:
  // A Windows path whose folder does not exist is a database error naming it.
  std::unique_ptr<DiaryConnection> Connect(const std::u16string& path) override;

 private:
  SqliteDiaryDatabase sqlite_;  // the backend behind the translated path
};

}  // namespace sarnlink
