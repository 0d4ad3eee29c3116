// Stand-ins for ADO's Connection and Recordset classes, registered in the test process under
// ADO's own class identifiers, so that the component's real ADO calls reach them. They record
// what Connection.Open and Recordset.Open were given, and deliver the rows a test sets, each
// one value that every field name reads. Their vtables are
// built slot by slot: only the methods the component calls are filled in, every other slot
// returns E_NOTIMPL (harmless on x86_64, where the caller cleans the stack).
#include <windows.h>
// after windows.h, which they need
#include <initguid.h>
#include <oleauto.h>

#include <adoid.h>
#include <adoint.h>

#include <cstring>
#include <string>
#include <vector>

#include "ado_fakes.h"

namespace {

std::u16string g_connection_string;
std::vector<std::u16string> g_sources;
std::vector<LONG> g_options;
LONGLONG g_record_count = 0;
std::vector<VARIANT> g_rows;    // what the recordsets deliver
std::size_t g_position = 0;     // the current row of the open recordset
std::size_t g_move_firsts = 0;  // Recordset.MoveFirst calls

HRESULT STDMETHODCALLTYPE NotImplemented() {
  return E_NOTIMPL;
}

// The vtable slot of a virtual method, from its member pointer (the Itanium C++ ABI that
// mingw's g++ uses keeps 1 + the slot's byte offset in it).
template <class Method>
std::size_t SlotOf(Method method) {
  std::uintptr_t words[2] = {};
  static_assert(sizeof method == sizeof words);
  std::memcpy(words, &method, sizeof words);
  return (words[0] - 1) / sizeof(void*);
}

struct FakeObject {
  void** vtable;
  LONG refs;
};

HRESULT STDMETHODCALLTYPE FakeQueryInterface(FakeObject* self, REFIID, void** out) {
  *out = self;
  InterlockedIncrement(&self->refs);
  return S_OK;
}
ULONG STDMETHODCALLTYPE FakeAddRef(FakeObject* self) {
  return static_cast<ULONG>(InterlockedIncrement(&self->refs));
}
ULONG STDMETHODCALLTYPE FakeRelease(FakeObject* self) {
  const LONG left = InterlockedDecrement(&self->refs);
  if (left == 0) {
    delete self;
  }
  return static_cast<ULONG>(left);
}

std::u16string Text(BSTR text) {
  return text ? std::u16string(reinterpret_cast<const char16_t*>(text), SysStringLen(text)) : u"";
}

HRESULT STDMETHODCALLTYPE ConnectionOpen(FakeObject*, BSTR text, BSTR, BSTR, long) {
  g_connection_string = Text(text);
  return S_OK;
}
HRESULT STDMETHODCALLTYPE Succeed(FakeObject*) {
  return S_OK;
}
HRESULT STDMETHODCALLTYPE RecordsetOpen(FakeObject*, VARIANT source, VARIANT, CursorTypeEnum,
                                        LockTypeEnum, LONG options) {
  g_sources.push_back(V_VT(&source) == VT_BSTR ? Text(V_BSTR(&source)) : u"?");
  g_options.push_back(options);
  g_position = 0;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE RecordsetRecordCount(FakeObject*, ADO_LONGPTR* count) {
  *count = static_cast<ADO_LONGPTR>(g_record_count);  // as wide as ADO writes it
  return S_OK;
}
HRESULT STDMETHODCALLTYPE RecordsetEof(FakeObject*, VARIANT_BOOL* eof) {
  *eof = g_position >= g_rows.size() ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE RecordsetMoveNext(FakeObject*) {
  if (g_position >= g_rows.size()) {
    return E_FAIL;  // past the last row, as ADO refuses it
  }
  ++g_position;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE RecordsetMoveFirst(FakeObject*) {
  ++g_move_firsts;
  if (g_rows.empty()) {
    return E_FAIL;  // no row to move to, as ADO refuses it
  }
  g_position = 0;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE FieldGetValue(FakeObject*, VARIANT* value) {
  VariantInit(value);
  return g_position < g_rows.size() ? VariantCopy(value, &g_rows[g_position]) : E_FAIL;
}

std::vector<void*>& FieldsTable();
std::vector<void*>& FieldTable();

HRESULT STDMETHODCALLTYPE RecordsetFields(FakeObject*, FakeObject** fields) {
  *fields = new FakeObject{FieldsTable().data(), 1};
  return S_OK;
}
HRESULT STDMETHODCALLTYPE FieldsItem(FakeObject*, VARIANT, FakeObject** field) {
  *field = new FakeObject{FieldTable().data(), 1};
  return S_OK;
}

template <class Method, class Function>
void Fill(std::vector<void*>& table, Method method, Function function) {
  table.at(SlotOf(method)) = reinterpret_cast<void*>(function);
}

std::vector<void*> NewTable(std::size_t slots) {
  std::vector<void*> table(slots, reinterpret_cast<void*>(&NotImplemented));
  table[0] = reinterpret_cast<void*>(&FakeQueryInterface);
  table[1] = reinterpret_cast<void*>(&FakeAddRef);
  table[2] = reinterpret_cast<void*>(&FakeRelease);
  return table;
}

std::vector<void*>& ConnectionTable() {
  static std::vector<void*> table = [] {
    std::vector<void*> t = NewTable(SlotOf(&_ADOConnection::Open) + 16);
    Fill(t, &_ADOConnection::Open, &ConnectionOpen);
    Fill(t, &_ADOConnection::Close, &Succeed);
    return t;
  }();
  return table;
}

std::vector<void*>& RecordsetTable() {
  static std::vector<void*> table = [] {
    std::vector<void*> t = NewTable(SlotOf(&_ADORecordset::Save) + 1);
    Fill(t, &_ADORecordset::Open, &RecordsetOpen);
    Fill(t, &_ADORecordset::get_RecordCount, &RecordsetRecordCount);
    Fill(t, &_ADORecordset::get_EOF, &RecordsetEof);
    Fill(t, &_ADORecordset::MoveNext, &RecordsetMoveNext);
    Fill(t, &_ADORecordset::MoveFirst, &RecordsetMoveFirst);
    Fill(t, &_ADORecordset::get_Fields, &RecordsetFields);
    Fill(t, &_ADORecordset::Close, &Succeed);
    return t;
  }();
  return table;
}

std::vector<void*>& FieldsTable() {
  static std::vector<void*> table = [] {
    std::vector<void*> t = NewTable(SlotOf(&ADOFields::get_Item) + 1);
    Fill(t, &ADOFields::get_Item, &FieldsItem);
    return t;
  }();
  return table;
}

std::vector<void*>& FieldTable() {
  static std::vector<void*> table = [] {
    std::vector<void*> t = NewTable(SlotOf(&ADOField::get_Value) + 1);
    Fill(t, &ADOField::get_Value, &FieldGetValue);
    return t;
  }();
  return table;
}

class FakeFactory : public IClassFactory {
 public:
  explicit FakeFactory(std::vector<void*>& (*table)()) : table_(table) {}
  STDMETHODIMP QueryInterface(REFIID, void** out) override {
    *out = this;
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID, void** out) override {
    if (outer) {
      return CLASS_E_NOAGGREGATION;
    }
    *out = new FakeObject{table_().data(), 1};
    return S_OK;
  }
  STDMETHODIMP LockServer(BOOL) override { return S_OK; }

 private:
  std::vector<void*>& (*table_)();
};

FakeFactory g_connection_factory(&ConnectionTable);
FakeFactory g_recordset_factory(&RecordsetTable);

}  // namespace

HRESULT RegisterAdoFakes() {
  DWORD cookie = 0;
  const HRESULT hr = CoRegisterClassObject(CLSID_CADOConnection, &g_connection_factory,
                                           CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie);
  if (FAILED(hr)) {
    return hr;
  }
  return CoRegisterClassObject(CLSID_CADORecordset, &g_recordset_factory, CLSCTX_INPROC_SERVER,
                               REGCLS_MULTIPLEUSE, &cookie);
}

std::u16string FakeConnectionString() {
  return g_connection_string;
}
std::size_t FakeOpens() {
  return g_sources.size();
}
std::u16string FakeSource(std::size_t k) {
  return g_sources.at(k);
}
LONG FakeOption(std::size_t k) {
  return g_options.at(k);
}
void SetFakeRecordCount(LONGLONG count) {
  g_record_count = count;
}
void SetFakeRows(const std::vector<VARIANT>& rows) {
  g_rows = rows;
}
std::size_t FakeMoveFirsts() {
  return g_move_firsts;
}
