// The import runs a diary holds, told apart by the stamp every run writes into ImportMark, and
// the undoing of one run: its rows and no others.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "interface/diary_database.h"

namespace sarnlink {

struct ImportRun {
  std::u16string stamp;      // the run's ImportMark
  std::int64_t rows = 0;     // rows that carry it
  std::u16string first_day;  // the lowest and highest Day among them
  std::u16string last_day;
};

// Every stamp in the diary with its rows, in the order of the stamps' text (which is the order
// of time for the stamps the command-line tool writes). Rows without a stamp are no run.
std::vector<ImportRun> ListImportRuns(DiaryConnection& connection);

// The run stamped exactly `stamp`; rows 0 when no row carries it.
ImportRun FindImportRun(DiaryConnection& connection, const std::u16string& stamp);

}  // namespace sarnlink
