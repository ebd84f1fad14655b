#include "sync/property_components.h"

#include <stdexcept>
#include <string>

#include "db/fields_binary.h"
#include "db/fields_date_time.h"
#include "db/fields_numeric.h"
#include "db/fields_text.h"
#include "sync/property_declarations.h"

namespace {

TField* NewField(TComponent* AOwner, TFieldType AType) {
  switch (AType) {
    case ftString:
      return new TStringField(AOwner);
    case ftInteger:
      return new TIntegerField(AOwner);
    case ftLargeint:
      return new TLargeintField(AOwner);
    case ftBoolean:
      return new TBooleanField(AOwner);
    case ftDate:
      return new TDateField(AOwner);
    case ftTime:
      return new TTimeField(AOwner);
    case ftDateTime:
      return new TDateTimeField(AOwner);
    case ftMemo:
      return new TMemoField(AOwner);
    case ftCurrency:
      return new TCurrencyField(AOwner);
    case ftFloat:
      return new TFloatField(AOwner);
    case ftBlob:
      return new TBlobField(AOwner);
    default:
      throw std::logic_error("no declared field class for type " + FieldTypeName(AType));
  }
}

// The options the program's own dataset classes will set.
void SetWindowOptions(TCustomMSDataSet& ADataSet, TCustomMSConnection* AConnection) {
  ADataSet.SetConnection(AConnection);
  ADataSet.Options().SetQuoteNames(true);
  ADataSet.Options().SetTrimVarChar(true);
  ADataSet.SetRefreshOptions({roBeforeEdit});
}

TMSTable* NewTable(TComponent* AOwner, TCustomMSConnection* AConnection, std::string_view AName) {
  const TTableDeclaration& declaration = PropertyTableDeclaration(AName);
  auto* table = new TMSTable(AOwner);
  table->SetName(std::string(AName));
  table->SetTableName(std::string(declaration.TableName));
  SetWindowOptions(*table, AConnection);
  for (const TColumnDeclaration& column : declaration.Columns) {
    TField* field = NewField(AOwner, column.Type);
    field->SetName(std::string(AName) + std::string(column.Name));
    field->SetFieldName(std::string(column.Name));
    if (column.Size > 0) field->SetSize(column.Size);
    field->SetReadOnly(column.ReadOnly);
    field->SetDataSet(table);
  }
  return table;
}

TDataSource* NewSource(TComponent* AOwner, std::string_view AName) {
  auto* source = new TDataSource(AOwner);
  source->SetName(std::string(AName));
  return source;
}

// References are resolved once every component exists, as when the window
// is restored from its description.
void LinkToMaster(TMSTable& ADetail, TDataSource& AMasterSource) {
  const TTableDeclaration& declaration = PropertyTableDeclaration(ADetail.Name());
  ADetail.SetMasterSource(&AMasterSource);
  ADetail.SetMasterFields(std::string(declaration.LinkField));
  ADetail.SetDetailFields(std::string(declaration.LinkField));
}

}  // namespace

std::vector<TComponent*> TPropertyComponents::InCreationOrder() const {
  return {tblWarderly,
          tblCFGPropertyContainers,
          qryGeneric,
          tblCFGPropertyLocation,
          dtsWarderly,
          dtsCFGPropertyLocations,
          dtsCFGPropertyContainers,
          tblInmProperty,
          dtsInmProperty,
          tblInmPropertyItems,
          dtsInmPropertyItems};
}

TPropertyComponents CreatePropertyComponents(TComponent* AOwner, TCustomMSConnection* AConnection) {
  TPropertyComponents c{};
  c.tblWarderly = NewTable(AOwner, AConnection, "tblWarderly");
  c.tblCFGPropertyContainers = NewTable(AOwner, AConnection, "tblCFGPropertyContainers");
  c.qryGeneric = new TMSQuery(AOwner);
  c.qryGeneric->SetName("qryGeneric");
  SetWindowOptions(*c.qryGeneric, AConnection);
  c.tblCFGPropertyLocation = NewTable(AOwner, AConnection, "tblCFGPropertyLocation");
  c.dtsWarderly = NewSource(AOwner, "dtsWarderly");
  c.dtsCFGPropertyLocations = NewSource(AOwner, "dtsCFGPropertyLocations");
  c.dtsCFGPropertyContainers = NewSource(AOwner, "dtsCFGPropertyContainers");
  c.tblInmProperty = NewTable(AOwner, AConnection, "tblInmProperty");
  c.dtsInmProperty = NewSource(AOwner, "dtsInmProperty");
  c.tblInmPropertyItems = NewTable(AOwner, AConnection, "tblInmPropertyItems");
  c.dtsInmPropertyItems = NewSource(AOwner, "dtsInmPropertyItems");

  c.dtsWarderly->SetDataSet(c.tblWarderly);
  c.dtsCFGPropertyLocations->SetDataSet(c.tblCFGPropertyLocation);
  c.dtsCFGPropertyContainers->SetDataSet(c.tblCFGPropertyContainers);
  c.dtsInmProperty->SetDataSet(c.tblInmProperty);
  c.dtsInmPropertyItems->SetDataSet(c.tblInmPropertyItems);
  LinkToMaster(*c.tblCFGPropertyContainers, *c.dtsCFGPropertyLocations);
  LinkToMaster(*c.tblInmProperty, *c.dtsWarderly);
  return c;
}
