#include "interface/com/component_ports.h"

#include "common/errors.h"
#include "common/win32/win32_clock.h"
#include "encoding/win32/multibyte_code_page_932.h"
#include "interface/com/module.h"
#include "interface/win32/win32_file_system.h"
#include "ui/win32/frm_progress.h"
#include "ui/win32/win32_forms.h"

// The diary backend: ADO in the shipping builds; the host's SQLite in the Winelib test build,
// chosen by this one switch.
#ifdef SARNLINK_WINELIB_SQLITE_DIARY
#include "interface/wine/wine_path_sqlite_diary.h"
using DiaryBackend = sarnlink::WinePathSqliteDiary;
#else
#include "interface/ado/ado_diary.h"
using DiaryBackend = sarnlink::AdoDiaryDatabase;
#endif

namespace sarnlink::com {

namespace {

frmProgress& Progress() {
  // The window holds the module while it is up; the last object's release closes it.
  static frmProgress progress([](bool hold) { LockModule(hold); });
  return progress;
}

}  // namespace

const ConverterPorts& ComponentPorts() {
  static Win32FileSystem files;
  static DiaryBackend diary;
  static frmProgress& progress = Progress();
  static const bool closes = (SetOnLastRelease([] { Progress().Close(); }), true);
  (void)closes;
  static Win32OptionsForm options_form{diary};
  static Win32AuthorPrompt author_prompt;
  static Win32Clock clock;
  static MultiByteCodePage932 code_page;
  static const ConverterPorts ports{files,         diary, progress, options_form,
                                    author_prompt, clock, code_page};
  return ports;
}

}  // namespace sarnlink::com
