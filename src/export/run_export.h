// RunExport: the export driver. Selects entries with the settings' statement, writes them as
// 23-line MovableType blocks in UTF-8 with CR LF, and reports in the progress display.
#pragma once

#include "export/export_files.h"
#include "interface/cls_mt_export.h"

namespace sarnlink {

// Reads the converter's state, never changes it. A failure or a stop ends the run where it
// happens and is thrown on, naming the entry (its Day and Number) and what the file holds: a
// file written in place keeps the entries written before it (and the message counts those on
// the disk); a whole file (state.WholeFiles) leaves the path as it was.
// `report` receives the files written (with limits per file, several pieces).
void RunExport(const ConverterState& state, const ConverterPorts& ports, ExportReport& report);

}  // namespace sarnlink
