#include "interface/ado/ado_diary.h"

// adoint.h needs the GUIDs defined here and is compiled with -fpermissive (mingw's header).
#include <windows.h>
// initguid.h first among the COM headers: adoint.h defines its GUIDs here.
#include <initguid.h>
// then the automation and ADO headers
#include <oleauto.h>

#include <adoid.h>
#include <adoint.h>

#include <cmath>

#include "common/clock.h"
#include "common/errors.h"
#include "common/win32/com_ptr.h"
#include "common/win32/wide_text.h"
#include "encoding/utf8.h"

namespace sarnlink {
namespace {

// _Connection and _Recordset of msado15 ({00000550-...} and {00000556-...}): every ADO since 2.0
// answers them, where the "backcompat" identifiers mingw names are not always there.
constexpr GUID kConnectionIid = {
    0x00000550, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};
constexpr GUID kRecordsetIid = {
    0x00000556, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};

constexpr char16_t kConnectionStart[] = u"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=";
constexpr long kOptionUnspecified = -1;  // Connection.Open's options

// How Recordset.Open takes its source. The component's statements are SQL text (adCmdText);
// only the table the import adds rows to is opened by name (adCmdTableDirect). The earlier
// component opened every source with 512, which makes ADO hand a statement to the provider as
// the name of a table: the export, the day numbers and the genre list could never run.
constexpr LONG kStatementOption = adCmdText;
constexpr LONG kTableOption = adCmdTableDirect;

// The Data Source value of the connection string, quoted when the path holds what would end
// or change it: a ";", a quote, or spaces at its ends (OLE DB's rules: double quotes, or single
// quotes around a value holding double quotes, or double quotes doubled when it holds both).
std::u16string DataSourceValue(const std::u16string& path) {
  const bool plain = path.find_first_of(u";'\"") == std::u16string::npos && !path.empty() &&
                     path.front() != u' ' && path.back() != u' ';
  if (plain) {
    return path;
  }
  if (path.find(u'"') == std::u16string::npos) {
    return u"\"" + path + u"\"";
  }
  if (path.find(u'\'') == std::u16string::npos) {
    return u"'" + path + u"'";
  }
  std::u16string doubled;
  for (const char16_t c : path) {
    doubled += c == u'"' ? u"\"\"" : std::u16string(1, c);
  }
  return u"\"" + doubled + u"\"";
}

[[noreturn]] void Fail(const std::string& what, HRESULT hr) {
  std::u16string detail = SystemMessage(static_cast<DWORD>(hr));
  IErrorInfo* info = nullptr;
  if (GetErrorInfo(0, &info) == S_OK && info) {
    BSTR description = nullptr;
    if (SUCCEEDED(info->GetDescription(&description)) && description) {
      detail = FromBstr(description) + u" (" + detail + u")";
    }
    SysFreeString(description);
    info->Release();
  }
  throw Error(ErrorKind::kDatabase, what + ": " + ToUtf8(detail));
}

void Check(HRESULT hr, const std::string& what) {
  if (FAILED(hr)) {
    Fail(what, hr);
  }
}

// A VARIANT cleared however the scope is left.
class Variant {
 public:
  Variant() { VariantInit(&v_); }
  explicit Variant(const std::u16string& text) {
    VariantInit(&v_);
    v_.vt = VT_BSTR;
    v_.bstrVal = NewBstr(text);
  }
  ~Variant() { VariantClear(&v_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  VARIANT& get() { return v_; }

  // The "missing" argument of an optional ADO parameter.
  static void Missing(VARIANT& v) {
    VariantInit(&v);
    v.vt = VT_ERROR;
    v.scode = DISP_E_PARAMNOTFOUND;
  }

 private:
  VARIANT v_;  // the value
};

// A number ADO hands over as a fraction type (a Jet Number column of size Double or Decimal,
// Currency): an integer when it is a whole one, else its text, "1.5", whatever the locale.
FieldValue FromFractionType(VARIANT& v, const std::string& what) {
  Variant real;
  Check(VariantChangeType(&real.get(), &v, 0, VT_R8), what + " cannot be read");
  const double x = real.get().dblVal;
  constexpr double kExact = 9007199254740992.0;  // 2^53: every whole double below is exact
  if (x > -kExact && x < kExact && x == std::trunc(x)) {
    return static_cast<std::int64_t>(x);
  }
  Variant text;
  Check(VariantChangeTypeEx(&text.get(), &v, LOCALE_INVARIANT, 0, VT_BSTR),
        what + " cannot be read");
  return FromBstr(text.get().bstrVal);
}

// A Date/Time column in the diary's own text form: a day for the Day column, "yyyy/mm/dd
// hh:nn:ss" for any other.
FieldValue FromDate(const VARIANT& v, std::u16string_view name, const std::string& what) {
  SYSTEMTIME time = {};
  if (!VariantTimeToSystemTime(v.date, &time)) {
    throw Error(ErrorKind::kDatabase, what + " holds a date outside the calendar");
  }
  const LocalTime moment{time.wYear, time.wMonth,  time.wDay,
                         time.wHour, time.wMinute, time.wSecond};
  const std::u16string text = DiaryTimeText(moment);
  return SameColumnName(name, u"Day") ? text.substr(0, 10) : text;
}

// A field's value as the drivers read it: Null, text, a Yes/No, an integer of any width, a
// number of a fraction type or a date as above. A value of any other type (binary data, an
// object) is an error that names it, never a guess.
FieldValue FromVariant(VARIANT& v, std::u16string_view name, const std::string& what) {
  switch (v.vt) {
    case VT_EMPTY:
    case VT_NULL:
      return std::monostate();
    case VT_BOOL:
      return v.boolVal != VARIANT_FALSE;
    case VT_BSTR:
      return FromBstr(v.bstrVal);
    case VT_I1:
    case VT_UI1:
    case VT_I2:
    case VT_UI2:
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_I8:
    case VT_UI8: {
      Variant number;
      Check(VariantChangeType(&number.get(), &v, 0, VT_I8), what + " cannot be read");
      return static_cast<std::int64_t>(number.get().llVal);
    }
    case VT_R4:
    case VT_R8:
    case VT_DECIMAL:
    case VT_CY:
      return FromFractionType(v, what);
    case VT_DATE:
      return FromDate(v, name, what);
    default:
      throw Error(
          ErrorKind::kDatabase,
          what + " holds " +
              (v.vt == (VT_ARRAY | VT_UI1) ? std::string("binary data")
                                           : "a value of variant type " + std::to_string(v.vt)) +
              ", which is neither text, a number, a Yes/No nor a date: it cannot be read");
  }
}

void ToVariant(const FieldValue& value, VARIANT& v) {
  VariantInit(&v);
  if (const std::u16string* s = std::get_if<std::u16string>(&value)) {
    v.vt = VT_BSTR;
    v.bstrVal = NewBstr(*s);
  } else if (const std::int64_t* i = std::get_if<std::int64_t>(&value)) {
    v.vt = VT_I4;
    v.lVal = static_cast<LONG>(*i);
  } else if (const bool* b = std::get_if<bool>(&value)) {
    v.vt = VT_BOOL;
    v.boolVal = *b ? VARIANT_TRUE : VARIANT_FALSE;
  } else {
    v.vt = VT_NULL;
  }
}

class AdoRecordset : public DiaryRecordset {
 public:
  AdoRecordset(_ADOConnection* connection, const std::u16string& source, LONG option,
               CursorTypeEnum cursor, LockTypeEnum lock, std::string path)
      : path_(std::move(path)) {
    Check(CoCreateInstance(CLSID_CADORecordset, nullptr, CLSCTX_INPROC_SERVER, kRecordsetIid,
                           reinterpret_cast<void**>(rs_.out())),
          "diary " + path_ + ": cannot create an ADO recordset");
    Variant text(source);
    VARIANT active;
    VariantInit(&active);
    active.vt = VT_DISPATCH;
    active.pdispVal = reinterpret_cast<IDispatch*>(connection);
    Check(rs_->Open(text.get(), active, cursor, lock, option),
          "diary " + path_ + ": cannot open " + ToUtf8(source));
  }

  // ADO declares the count an ADO_LONGPTR, eight bytes on x86_64 where mingw's header says
  // long (four): the count is read into the type ADO writes. A provider or cursor that cannot
  // count answers -1; the rows are then counted by walking them, and the recordset goes back
  // to its first row (asked before the first row is read, as the drivers do).
  std::int32_t RecordCount() override {
    ADO_LONGPTR count = 0;
    Check(rs_->get_RecordCount(reinterpret_cast<long*>(&count)),
          "diary " + path_ + ": cannot count the rows");
    if (count >= 0) {
      return static_cast<std::int32_t>(count);
    }
    std::int32_t walked = 0;
    for (; !IsEOF(); ++walked) {
      MoveNext();
    }
    if (walked > 0) {
      Check(rs_->MoveFirst(), "diary " + path_ + ": cannot go back to the first row");
    }
    return walked;
  }
  bool IsEOF() override {
    VARIANT_BOOL eof = VARIANT_TRUE;
    Check(rs_->get_EOF(&eof), "diary " + path_ + ": cannot read the rows");
    return eof != VARIANT_FALSE;
  }
  FieldValue Field(std::u16string_view name) override {
    ComPtr<ADOField> field;
    FieldNamed(name, field);
    Variant value;
    Check(field->get_Value(&value.get()), "diary " + path_ + ": cannot read " + ToUtf8(name));
    return FromVariant(value.get(), name, "diary " + path_ + ": the field " + ToUtf8(name));
  }
  void MoveNext() override { Check(rs_->MoveNext(), "diary " + path_ + ": cannot move on"); }
  void AddNew() override {
    VARIANT fields, values;
    Variant::Missing(fields);
    Variant::Missing(values);
    Check(rs_->AddNew(fields, values), "diary " + path_ + ": cannot add a row");
  }
  void Assign(std::u16string_view name, FieldValue value) override {
    ComPtr<ADOField> field;
    FieldNamed(name, field);
    Variant v;
    ToVariant(value, v.get());
    Check(field->put_Value(v.get()), "diary " + path_ + ": cannot set " + ToUtf8(name));
  }
  void Update() override {
    VARIANT fields, values;
    Variant::Missing(fields);
    Variant::Missing(values);
    Check(rs_->Update(fields, values), "diary " + path_ + ": the new row was refused");
  }
  void Close() override { rs_->Close(); }

 private:
  void FieldNamed(std::u16string_view name, ComPtr<ADOField>& field) {
    ComPtr<ADOFields> fields;
    Check(rs_->get_Fields(fields.out()), "diary " + path_ + ": cannot read the fields");
    Variant index{std::u16string(name)};
    Check(fields->get_Item(index.get(), field.out()),
          "diary " + path_ + ": no field " + ToUtf8(name));
  }

  std::string path_;          // for messages
  ComPtr<_ADORecordset> rs_;  // the recordset
};

class AdoConnection : public DiaryConnection {
 public:
  explicit AdoConnection(const std::u16string& path) : path_(ToUtf8(path)) {
    Check(CoCreateInstance(CLSID_CADOConnection, nullptr, CLSCTX_INPROC_SERVER, kConnectionIid,
                           reinterpret_cast<void**>(connection_.out())),
          "diary " + path_ + ": cannot create an ADO connection");
    BSTR text = NewBstr(kConnectionStart + DataSourceValue(path));
    BSTR empty = NewBstr(u"");
    const HRESULT hr = connection_->Open(text, empty, empty, kOptionUnspecified);
    SysFreeString(text);
    SysFreeString(empty);
    Check(hr, "diary " + path_ + ": cannot be opened");
  }
  ~AdoConnection() override { connection_->Close(); }

  std::unique_ptr<DiaryRecordset> OpenStatement(const DiaryQuery& query, CursorKind cursor,
                                                LockKind lock) override {
    return std::make_unique<AdoRecordset>(connection_.get(), StatementText(query), kStatementOption,
                                          Cursor(cursor), Lock(lock), path_);
  }
  std::unique_ptr<DiaryRecordset> OpenTable(const std::u16string& table, CursorKind cursor,
                                            LockKind lock) override {
    return std::make_unique<AdoRecordset>(connection_.get(), table, kTableOption, Cursor(cursor),
                                          Lock(lock), path_);
  }

 private:
  static CursorTypeEnum Cursor(CursorKind kind) {
    return kind == CursorKind::kKeyset ? adOpenKeyset : adOpenForwardOnly;
  }
  static LockTypeEnum Lock(LockKind kind) {
    return kind == LockKind::kOptimistic ? adLockOptimistic : adLockReadOnly;
  }

  std::string path_;                   // for messages
  ComPtr<_ADOConnection> connection_;  // the connection
};

}  // namespace

std::unique_ptr<DiaryConnection> AdoDiaryDatabase::Connect(const std::u16string& path) {
  if (path.empty()) {
    throw Error(ErrorKind::kDatabase, "no diary path was given");
  }
  return std::make_unique<AdoConnection>(path);
}

}  // namespace sarnlink
