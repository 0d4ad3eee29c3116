// The tool speaks its reader's language: Japanese under a Japanese locale, English otherwise, as
// every gettext program chooses (LC_ALL, LC_MESSAGES, LANG), from the message catalogs beside a
// tool in its build tree or else those installed with it. A catalog that is missing leaves every
// text in English, never a mix.
#pragma once

namespace sarnlink::cli {

// Chooses the language once, before any text is made, and installs the catalogs as the
// translator of every text the core and the tool show.
void UseReadersLanguage();

}  // namespace sarnlink::cli
