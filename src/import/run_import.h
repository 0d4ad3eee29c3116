// RunImport: the import driver. Reads one MovableType file whole, decides its encoding, cuts it
// into lines and stores each entry as a new diary row, reporting in the progress display.
#pragma once

#include "interface/cls_mt_export.h"

namespace sarnlink {

// Reads the converter's state, never changes it. A file that cannot be read whole (a bad byte
// for its encoding, a bad DATE, an unclosed section) stops the run before any row is written. A
// failure while storing is thrown on, naming the file, the line (counted from 1) and what was
// kept: with state.OneTransaction nothing (the transaction is rolled back), else the rows
// stored before it, each committed whole. `report` receives, as far as the run gets, what the
// file held beyond the stored rows. A dry run (state.DryRun) reads the diary but writes no row.
void RunImport(const ConverterState& state, const ConverterPorts& ports, ImportReport& report);

}  // namespace sarnlink
