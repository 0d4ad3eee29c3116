// The export's selection statement, built from the settings' genre, day bounds and publish
// filter. It asks for no order: entries come as the database returns them.
#pragma once

#include <string>

#include "interface/export_setting.h"

namespace sarnlink {

// Genre matched exactly (empty: every non-Null genre); days strictly between the bounds (empty
// bounds: 0000/00/00 and 9999/99/99); publish 0 all, 1 public, 2 private, other values leave the
// privacy clause as the bare column. An apostrophe inside a genre or bound is doubled, so no
// setting can change the statement's structure.
std::u16string BuildSelectionStatement(const ExportSetting& setting);

}  // namespace sarnlink
