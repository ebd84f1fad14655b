// Table datasets: TCustomMSTable reads one table through a statement it
// generates; TMSTable is the class the program declares.
#pragma once

#include <string>

#include "db/sqlserver/dataset.h"

// The statement a table dataset runs: "SELECT * FROM " and the table name
// quoted as QuoteName(`AQuoteNames`), CR LF, then, when `AOrderFields` is
// not empty, "ORDER BY " and `AOrderFields` as written, CR LF.
std::string TableStatement(const std::string& ATableName, const std::string& AOrderFields,
                           bool AQuoteNames);

class TCustomMSTable : public TCustomMSDataSet {
 public:
  explicit TCustomMSTable(TComponent* AOwner) : TCustomMSDataSet(AOwner) {}

  // Stored trimmed, an enclosing "[" "]" or pair of double quotes removed
  // from each dot-separated part. Setting it closes the dataset and empties
  // SQL, so the statement is generated again at the next opening.
  const std::string& TableName() const { return FTableName; }
  void SetTableName(const std::string& AValue);
  // The text after "ORDER BY", trimmed. A different value empties SQL (not
  // while loading) and reopens an open dataset.
  const std::string& OrderFields() const { return FOrderFields; }
  void SetOrderFields(const std::string& AValue);

  std::string UpdatingTable() const override { return FTableName; }

 protected:
  // Generates the statement into SQL when SQL is empty. Throws
  // EDatabaseError "TableName must be defined" (bare) without a table name.
  std::string StatementText() override;

 private:
  std::string FTableName;
  std::string FOrderFields;
};

class TMSTable : public TCustomMSTable {
 public:
  explicit TMSTable(TComponent* AOwner) : TCustomMSTable(AOwner) {}
};
