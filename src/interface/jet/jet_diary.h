// The diary port over a Jet 4 diary file (the host's .mdb), for reading only: it runs no SQL,
// but evaluates each query the drivers ask with the meaning its statement has on the host's
// engine, comparing texts as the SQLite diary does so that both diaries give the same rows in
// the same order. Every write (a transaction, an insertion, a deletion) is refused.
#pragma once

#include <string>

#include "interface/diary_database.h"

namespace sarnlink {

// The refusal's message for a write to the Jet diary at `path`: why, and how to go on.
std::string JetDiaryIsReadOnly(const std::string& path);

class JetDiaryDatabase : public DiaryDatabase {
 public:
  // Opens the Jet 4 diary at `path`, checking its table Contents; throws a database error
  // naming the file and what is wrong with it.
  std::unique_ptr<DiaryConnection> Connect(const std::u16string& path) override;
};

}  // namespace sarnlink
