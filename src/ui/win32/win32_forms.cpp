#include "ui/win32/win32_forms.h"

#include "common/errors.h"

namespace sarnlink {

// The Win32 dialogs of the options form and of the author's name are not part of this build
// yet; calling them is reported as a failed call rather than guessed at.
frmOptionMembers Win32OptionsForm::ShowModal(const std::u16string& path_diary_mdb,
                                             const std::u16string&) {
  LoadOptionControls(diary_, path_diary_mdb);  // a diary that cannot be read fails first
  throw Error(ErrorKind::kUsage, "the options form is not available in this build");
}

AuthorQuestionAnswer Win32AuthorPrompt::AskOneAuthorOnly() {
  throw Error(ErrorKind::kUsage, "the author prompt is not available in this build");
}

std::u16string Win32AuthorPrompt::AskAuthorName() {
  throw Error(ErrorKind::kUsage, "the author prompt is not available in this build");
}

}  // namespace sarnlink
