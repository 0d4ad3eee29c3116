// The diary at a path, told by what the file holds: the host's Jet 4 diary, which the tool
// only reads, or the tool's own SQLite diary.
#pragma once

#include <string>

#include "interface/jet/jet_diary.h"
#include "interface/sqlite/sqlite_diary.h"

namespace sarnlink::cli {

class DiaryByContent : public DiaryDatabase {
 public:
  explicit DiaryByContent(SqliteOptions options) : sqlite_(std::move(options)) {}
  std::unique_ptr<DiaryConnection> Connect(const std::u16string& path) override;

 private:
  SqliteDiaryDatabase sqlite_;
  JetDiaryDatabase jet_;
};

// Refuses (exit 1) a command that would write the diary at `db` when it is a Jet diary, before
// anything is opened.
void RefuseWritingJet(const std::string& db);

}  // namespace sarnlink::cli
