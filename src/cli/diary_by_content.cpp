#include "cli/diary_by_content.h"

#include "cli/exit_status.h"
#include "common/path_text.h"
#include "interface/jet/jet_contents.h"

namespace sarnlink::cli {

std::unique_ptr<DiaryConnection> DiaryByContent::Connect(const std::u16string& path) {
  if (LooksLikeJetFile(PathBytes(path))) {
    return jet_.Connect(path);
  }
  return sqlite_.Connect(path);
}

void RefuseWritingJet(const std::string& db) {
  if (LooksLikeJetFile(db)) {
    throw Refusal(JetDiaryIsReadOnly(db));
  }
}

}  // namespace sarnlink::cli
