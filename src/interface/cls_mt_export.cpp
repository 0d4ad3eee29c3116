#include "interface/cls_mt_export.h"

#include "common/errors.h"
#include "common/path_text.h"
#include "export/run_export.h"
#include "import/run_import.h"
#include "interface/database_file.h"

namespace sarnlink {

namespace {
constexpr char16_t kDefaultAuthor[] = u"Default";
}  // namespace

bool clsMTExport::Initialize(const std::u16string& stDiaryMdbPath) {
  state_.DiaryMdbPath = stDiaryMdbPath;
  state_.AuthorOnly = false;
  state_.Setting = DefaultExportSetting();
  return !stDiaryMdbPath.empty() && ports_.files.FileExists(stDiaryMdbPath, true);
}

void clsMTExport::SetImport() {
  state_.ImportMode = true;
}

void clsMTExport::SetExport() {
  state_.ImportMode = false;
}

void clsMTExport::SetAuthor(const std::u16string& stAuthor) {
  if (stAuthor.empty()) {
    state_.Author = kDefaultAuthor;
    state_.AuthorOnly = false;
  } else {
    state_.Author = stAuthor;
    state_.AuthorOnly = true;
  }
}

bool clsMTExport::SetAuthorMySelf() {
  switch (ports_.author_prompt.AskOneAuthorOnly()) {
    case AuthorQuestionAnswer::kCancel:
      return false;
    case AuthorQuestionAnswer::kNo:
      SetAuthor(u"");
      return true;
    case AuthorQuestionAnswer::kYes: {
      // An empty answer, or Cancel in the input box, means every author, not a cancellation.
      const std::optional<std::u16string> name = ports_.author_prompt.AskAuthorName();
      if (!name) {
        return false;
      }
      SetAuthor(*name);
      return true;
    }
  }
  return false;
}

void clsMTExport::setExportSetting(const ExportSetting& eExpSet) {
  state_.Setting = eExpSet;
}

bool clsMTExport::SetExportSettingMySelf() {
  const frmOptionMembers form = ports_.options_form.ShowModal(state_.DiaryMdbPath, state_.Author);
  if (!form.IsOK) {
    return false;
  }
  ExportSetting& setting = state_.Setting;
  setting.stGenre = form.bGenre ? form.stGenre : std::u16string();
  setting.stStartDay = form.bPeriod ? form.stStart : std::u16string();
  setting.stEndDay = form.bPeriod ? form.stEnd : std::u16string();
  setting.intPublish = form.bPublish ? form.intPublish : std::int16_t{0};
  setting.intScroll = 0;
  setting.intBR = form.intBR;
  setting.intHyphen = form.intHyphen;
  setting.intPublishDay = form.intPublishDay;
  setting.intAllowPing = form.intAllowPing;
  setting.intAllowComment = form.intAllowComment;
  // Exactly as typed: an empty field gives an empty author, and AuthorOnly is not touched.
  state_.Author = form.stAuthor;
  return true;
}

bool clsMTExport::SetPath(const std::u16string& stFilePath, bool OverWrite) {
  state_.FilePath = stFilePath;
  state_.ReplaceExisting = false;
  bool ok = false;
  if (state_.ImportMode) {
    ok = !stFilePath.empty() && ports_.files.FileExists(stFilePath, true);
  } else {
    try {
      RefuseDestructiveOutput(ports_.files, state_.DiaryMdbPath, stFilePath, OverWrite);
      if (ports_.files.KindOf(stFilePath) == PathKind::kOther) {
        throw Error(ErrorKind::kRefused, NotAFileMessage(PathBytes(stFilePath)));
      }
    } catch (const Error&) {
      state_.FilePath.clear();
      throw;
    }
    if (state_.WholeFiles) {
      // Nothing is deleted now: the finished file replaces the old one in one step.
      state_.ReplaceExisting = OverWrite;
      ok = stFilePath.empty() || OverWrite || !ports_.files.FileExists(stFilePath, true);
    } else {
      if (OverWrite && ports_.files.FileExists(stFilePath, false)) {
        ports_.files.RemoveFile(stFilePath);
      }
      ok = stFilePath.empty() || !ports_.files.FileExists(stFilePath, false);
    }
  }
  if (!ok) {
    state_.FilePath.clear();
  }
  return ok;
}

bool clsMTExport::Execute() {
  if (state_.FilePath.empty() || state_.DiaryMdbPath.empty()) {
    return false;
  }
  try {
    if (state_.ImportMode) {
      import_report_ = ImportReport();
      RunImport(state_, ports_, import_report_);
    } else {
      export_report_ = ExportReport();
      RunExport(state_, ports_, export_report_);
    }
  } catch (...) {
    // The error goes on to the caller; the progress window must not stay locked meanwhile.
    ports_.progress.UnlockAfterFailure();
    throw;
  }
  return false;
}

}  // namespace sarnlink
