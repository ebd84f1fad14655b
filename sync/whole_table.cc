#include "sync/whole_table.h"

#include <stdexcept>
#include <string>

#include "db/fields/numeric.h"
#include "db/fields/text.h"

namespace {

TField* MakeField(TComponent* AOwner, const TColumnDeclaration& AColumn) {
  switch (AColumn.Type) {
    case ftString: {
      auto* field = new TStringField(AOwner);
      field->SetSize(AColumn.Size);
      return field;
    }
    case ftInteger:
      return new TIntegerField(AOwner);
    case ftLargeint:
      return new TLargeintField(AOwner);
    case ftBoolean:
      return new TBooleanField(AOwner);
    default:
      throw std::invalid_argument("no whole-table field for column " + std::string(AColumn.Name));
  }
}

}  // namespace

std::unique_ptr<TMSTable> MakeWholeTable(TCustomMSConnection& AConnection,
                                         const TTableDeclaration& ADeclaration) {
  auto table = std::make_unique<TMSTable>(nullptr);
  table->SetConnection(&AConnection);
  table->SetTableName(std::string(ADeclaration.TableName));
  for (const TColumnDeclaration& column : ADeclaration.Columns) {
    TField* field = MakeField(table.get(), column);
    field->SetFieldName(std::string(column.Name));
    field->SetReadOnly(column.ReadOnly);
    field->SetDataSet(table.get());
  }
  return table;
}
