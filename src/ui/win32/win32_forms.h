// The author prompt on Windows: the Yes/No/Cancel message box and the input box.
#pragma once

#include "ui/author_prompt.h"
#include "ui/win32/frm_option.h"

namespace sarnlink {

class Win32AuthorPrompt : public AuthorPrompt {
 public:
  // A message box without an icon, Yes the default button, the component's short name as title.
  AuthorQuestionAnswer AskOneAuthorOnly() override;
  // The input box: the two-line prompt, an empty text box, OK and Cancel; Cancel gives "".
  std::optional<std::u16string> AskAuthorName() override;
};

// The input box's window class, which the tests find it by, and its text box's identifier.
inline constexpr char16_t kInputBoxClass[] = u"SarnlinkInputBox";
inline constexpr int kInputBoxText = 200;

}  // namespace sarnlink
