// RunImport: the import driver. Reads one MovableType file whole, decides its encoding, cuts it
// into lines and stores each entry as a new diary row, reporting in the progress display.
#pragma once

#include <string>
#include <vector>

#include "interface/cls_mt_export.h"

namespace sarnlink {

// Reads the converter's state, never changes it. A failure ends the run where it happens and is
// thrown on, naming the file, the line (counted from 1) and how many entries were stored before
// it; those rows stay, each committed whole. `report` receives, as far as the run gets, what the
// file held beyond the stored rows. A dry run (state.DryRun) reads the diary but writes no row.
void RunImport(const ConverterState& state, const ConverterPorts& ports, ImportReport& report);

// The text cut into lines: at LF once every CR LF has become LF, when the text has a CR LF; else
// at LF when it has one; else at CR. Empty pieces count, so n separators give n + 1 lines.
std::vector<std::u16string> CutIntoLines(std::u16string text);

// The stamp written into ImportMark: the local date and time, then " byPontivo.dll".
std::u16string RunStamp(Clock& clock);

}  // namespace sarnlink
