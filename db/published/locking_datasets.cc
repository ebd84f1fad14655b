#include "db/locking/query.h"
#include "db/locking/table.h"
#include "db/published/classes.h"

namespace {

// RefreshOptions with the program's default {roBeforeEdit}: the generic set
// entry only knows the empty set as its default.
template <class C>
void AddRefreshOptions(TClassBuilder<C>& AClass) {
  const auto codec = property_kinds::SetCodec<TRefreshOptions, TRefreshOption>(
      {"roAfterInsert", "roAfterUpdate", "roBeforeEdit"});
  const TStoredValue by_default = codec.Encode({roBeforeEdit});
  AClass.Defined(
      "RefreshOptions",
      [codec](C& ADataSet, const TStoredValue& AValue) {
        ADataSet.SetRefreshOptions(codec.Decode(AValue));
      },
      [codec, by_default](const C& ADataSet) -> std::optional<TStoredValue> {
        TStoredValue value = codec.Encode(ADataSet.RefreshOptions());
        if (value == by_default) return std::nullopt;
        return value;
      });
}

// What the program's table and query datasets add to their base classes.
template <class C>
void AddLockingEntries(TClassBuilder<C>& AClass) {
  AClass.template Reference<TMSConnection>("Connection", &C::Connection, &C::SetConnection)
      .Boolean("RecordLocksMake", &C::RecordLocksMake, &C::SetRecordLocksMake, true)
      .Boolean("RecordLocksCheck", &C::RecordLocksCheck, &C::SetRecordLocksCheck, true)
      .ReadOnly("VtVersion");
  AddRefreshOptions(AClass);
}

}  // namespace

void RegisterVtDataSetClasses(TClassRegistry& AClasses) {
  using Options = TVtMSDataSetOptions;
  AClasses.Persistent<Options>("TVtMSDataSetOptions", "TMSDataSetOptions")
      .Boolean("TrimVarChar", &Options::TrimVarChar, &Options::SetTrimVarChar, true)
      .Boolean("QuoteNames", &Options::QuoteNames, &Options::SetQuoteNames, true);

  auto table = AClasses.Component<TVtMSTable>("TVtMSTable", "TMSTable");
  AddLockingEntries(table);

  auto custom_query = AClasses.Component<TVtCustomMSQuery>("TVtCustomMSQuery", "TMSQuery");
  AddLockingEntries(custom_query);

  auto query = AClasses.Component<TVtMSQuery>("TVtMSQuery", "TVtCustomMSQuery");
  AddLockingEntries(query);
  query.String("IndexName", &TVtMSQuery::IndexName, &TVtMSQuery::SetIndexName)
      .String("TableName", &TVtMSQuery::TableName, &TVtMSQuery::SetTableName)
      .Boolean("AutoLoadIndexDefs", &TVtMSQuery::AutoLoadIndexDefs,
               &TVtMSQuery::SetAutoLoadIndexDefs, true);
}
