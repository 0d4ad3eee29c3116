// Stand-ins for ADO's Connection and Recordset, registered in the test process, and what the
// component's calls gave them.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

HRESULT RegisterAdoFakes();
std::u16string FakeConnectionString();
std::size_t FakeOpens();
std::u16string FakeSource(std::size_t k);
LONG FakeOption(std::size_t k);
void SetFakeRecordCount(LONGLONG count);
// The rows the next recordsets deliver: one value each, which every field name reads.
void SetFakeRows(const std::vector<VARIANT>& rows);
// How often Recordset.MoveFirst was called.
std::size_t FakeMoveFirsts();
