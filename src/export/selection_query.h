// The export's selection, taken from the settings' genre, day bounds and publish filter. It
// asks for no order: entries come as the database returns them.
#pragma once

#include <string>

#include "interface/diary_query.h"
#include "interface/export_setting.h"

namespace sarnlink {

EntrySelection SelectionOf(const ExportSetting& setting);

// The selection's statement text, as the SQL backends run it.
std::u16string BuildSelectionStatement(const ExportSetting& setting);

}  // namespace sarnlink
