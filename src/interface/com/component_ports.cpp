#include "interface/com/component_ports.h"

#include <map>

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

// The progress window of the calling thread. A window belongs to the thread that made it (only
// that thread may destroy it or run its procedure), so each thread of the host has its own,
// reused by every run on that thread until its OK closes it. Kept for the life of the process:
// a thread's window may outlive every object, and a thread that ended leaves a few bytes.
frmProgress& ThreadProgressWindow() {
  static SRWLOCK lock = SRWLOCK_INIT;
  static auto* windows = new std::map<DWORD, std::unique_ptr<frmProgress>>();
  struct Exclusive {
    Exclusive() { AcquireSRWLockExclusive(&lock); }
    ~Exclusive() { ReleaseSRWLockExclusive(&lock); }
  } held;
  std::unique_ptr<frmProgress>& window = (*windows)[GetCurrentThreadId()];
  if (!window) {
    window = std::make_unique<frmProgress>([](bool hold) {
      // The window holds the module while it is up, and once one has been shown the module
      // stays for good (PinModule).
      if (hold) {
        PinModule();
      }
      LockModule(hold);
    });
  }
  return *window;
}

}  // namespace

struct ComponentPorts::Owned {
  Win32FileSystem files;
  DiaryBackend diary;
  Win32Clock clock;
  Win32OptionsForm options_form{diary, clock};
  Win32AuthorPrompt author_prompt;
  MultiByteCodePage932 code_page;
  ConverterPorts ports{files, diary,    ThreadProgressWindow(), options_form, author_prompt,
                       clock, code_page};
};

ComponentPorts::ComponentPorts() : owned_(std::make_unique<Owned>()) {}
ComponentPorts::~ComponentPorts() = default;

const ConverterPorts& ComponentPorts::get() const {
  return owned_->ports;
}

}  // namespace sarnlink::com
