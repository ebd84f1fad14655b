#include "db/dataset/data_source.h"
#include "db/published/classes.h"
#include "db/sqlserver/connection.h"
#include "db/sqlserver/query.h"
#include "db/sqlserver/table.h"

namespace {

// What table and query datasets store alike, after what says what they read.
template <class C>
void AddDataSetEntries(TClassBuilder<C>& AClass) {
  AClass.template Reference<TDataSource>("MasterSource", &C::MasterSource, &C::SetMasterSource)
      .String("MasterFields", &C::MasterFields, &C::SetMasterFields)
      .String("DetailFields", &C::DetailFields, &C::SetDetailFields)
      .Nested("Options", &C::Options)
      .Boolean("ReadOnly", &C::ReadOnly, &C::SetReadOnly, false)
      .template Set<TRefreshOptions, TRefreshOption>(
          "RefreshOptions", &C::RefreshOptions, &C::SetRefreshOptions,
          {"roAfterInsert", "roAfterUpdate", "roBeforeEdit"})
      .Boolean("ParamCheck", &C::ParamCheck, &C::SetParamCheck, true)
      .Boolean("FetchAll", &C::FetchAll, &C::SetFetchAll, true)
      .Integer("FetchRows", &C::FetchRows, &C::SetFetchRows, 25)
      .Integer("CommandTimeout", &C::CommandTimeout, &C::SetCommandTimeout, 0)
      .Boolean("Active", &C::Active, &C::SetActive, false);
}

}  // namespace

void RegisterDataSetClasses(TClassRegistry& AClasses) {
  using Options = TDADataSetOptions;
  AClasses.Persistent<Options>("TDADataSetOptions")
      .Boolean("TrimFixedChar", &Options::TrimFixedChar, &Options::SetTrimFixedChar, true)
      .Boolean("TrimVarChar", &Options::TrimVarChar, &Options::SetTrimVarChar, false)
      .Boolean("QuoteNames", &Options::QuoteNames, &Options::SetQuoteNames, false)
      .Boolean("QueryRecCount", &Options::QueryRecCount, &Options::SetQueryRecCount, false)
      .Integer("DetailDelay", &Options::DetailDelay, &Options::SetDetailDelay, 0)
      .Boolean("LocalMasterDetail", &Options::LocalMasterDetail, &Options::SetLocalMasterDetail,
               false)
      .Boolean("MasterFieldsNullable", &Options::MasterFieldsNullable,
               &Options::SetMasterFieldsNullable, false)
      .Boolean("AutoPrepare", &Options::AutoPrepare, &Options::SetAutoPrepare, false);
  AClasses.Persistent<TMSDataSetOptions>("TMSDataSetOptions", "TDADataSetOptions");

  AClasses.Component<TDataSource>("TDataSource")
      .Reference<TDataSet>("DataSet", &TDataSource::DataSet, &TDataSource::SetDataSet);

  auto table = AClasses.Component<TMSTable>("TMSTable");
  table
      .Reference<TCustomMSConnection>("Connection", &TMSTable::Connection, &TMSTable::SetConnection)
      .String("TableName", &TMSTable::TableName, &TMSTable::SetTableName)
      .String("OrderFields", &TMSTable::OrderFields, &TMSTable::SetOrderFields);
  AddDataSetEntries(table);

  auto query = AClasses.Component<TMSQuery>("TMSQuery");
  query.Reference<TCustomMSConnection>("Connection", &TMSQuery::Connection,
                                       &TMSQuery::SetConnection);
  AddDataSetEntries(query);

  RegisterVtDataSetClasses(AClasses);
}
