#include "export/selection_query.h"

namespace sarnlink {

EntrySelection SelectionOf(const ExportSetting& setting) {
  return EntrySelection{setting.stGenre, setting.stStartDay, setting.stEndDay, setting.intPublish};
}

std::u16string BuildSelectionStatement(const ExportSetting& setting) {
  return StatementText(SelectionOf(setting));
}

}  // namespace sarnlink
