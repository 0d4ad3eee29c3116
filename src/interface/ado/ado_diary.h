// The diary port on Windows: ADO with the Jet 4.0 OLE DB provider, through msado15's COM
// interfaces. Each call maps to the ADO call the port mirrors: Connection.Open with the Jet
// connection string; Recordset.Open with the cursor type, lock type and option 512; Fields by
// name; AddNew and Update.
#pragma once

#include "interface/diary_database.h"

namespace sarnlink {

class AdoDiaryDatabase : public DiaryDatabase {
 public:
  // "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" followed by the path, empty user name and
  // password, options -1 (unspecified). A refusal throws a database error with ADO's message.
  std::unique_ptr<DiaryConnection> Connect(const std::u16string& path) override;
};

}  // namespace sarnlink
