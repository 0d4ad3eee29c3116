#include "export/selection_query.h"

#include "interface/diary_database.h"
#include "interface/diary_statements.h"

namespace sarnlink {
namespace {

std::u16string PrivacyCondition(std::int16_t publish) {
  switch (publish) {
    case 0:
      return u"Like '%'";
    case 1:
      return u"= FALSE";
    case 2:
      return u"= TRUE";
    default:
      return u"";
  }
}

}  // namespace

std::u16string BuildSelectionStatement(const ExportSetting& setting) {
  const std::u16string genre =
      setting.stGenre.empty() ? std::u16string(u"Like '%'") : u"= " + SqlText(setting.stGenre);
  const std::u16string lower =
      setting.stStartDay.empty() ? std::u16string(u"'0000/00/00'") : SqlText(setting.stStartDay);
  const std::u16string upper =
      setting.stEndDay.empty() ? std::u16string(u"'9999/99/99'") : SqlText(setting.stEndDay);
  return std::u16string(kSelectionStatementStart) + u"WHERE (((Contents.Genre)" + genre +
         u") AND ((Contents.Private)" + PrivacyCondition(setting.intPublish) +
         u") AND ((Contents.Day)>" + lower + u" And (Contents.Day)<" + upper + u"));";
}

}  // namespace sarnlink
