#include "db/sqlserver/table.h"

#include "db/access/sql_names.h"

namespace {

std::string Trim(const std::string& AText) {
  const auto first = AText.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return "";
  return AText.substr(first, AText.find_last_not_of(" \t\r\n") - first + 1);
}

}  // namespace

std::string TableStatement(const std::string& ATableName, const std::string& AOrderFields,
                           bool AQuoteNames) {
  std::string text = "SELECT * FROM " + QuoteName(ATableName, AQuoteNames) + "\r\n";
  if (!AOrderFields.empty()) text += "ORDER BY " + AOrderFields + "\r\n";
  return text;
}

void TCustomMSTable::SetTableName(const std::string& AValue) {
  if (Active()) Close();
  FTableName = UnquoteName(AValue);
  SQL().Clear();
}

void TCustomMSTable::SetOrderFields(const std::string& AValue) {
  const std::string value = Trim(AValue);
  if (value == FOrderFields) return;
  FOrderFields = value;
  if (ComponentState().Contains(csLoading)) return;
  const bool was_active = Active();
  SQL().Clear();
  if (was_active) Open();
}

std::string TCustomMSTable::StatementText() {
  if (SQL().Count() == 0) {
    if (FTableName.empty()) throw EDatabaseError("TableName must be defined");
    SQL().SetText(TableStatement(FTableName, FOrderFields, Options().QuoteNames()));
  }
  return TCustomMSDataSet::StatementText();
}
