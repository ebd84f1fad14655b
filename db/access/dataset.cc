#include "db/access/dataset.h"

#include "db/access/connection.h"
#include "db/access/link_condition.h"
#include "db/access/param_markers.h"
#include "db/access/sql_names.h"
#include "db/values/same_text.h"
#include "db/values/variant_convert.h"

namespace {

// The type a parameter of `AType` is sent as.
TFieldType SentType(TFieldType AType) {
  switch (AType) {
    case ftSmallint:
    case ftWord:
    case ftAutoInc:
    case ftShortint:
    case ftByte:
      return ftInteger;
    case ftFixedChar:
    case ftGuid:
    case ftMemo:
      return ftString;
    case ftFixedWideChar:
    case ftWideMemo:
      return ftWideString;
    case ftSingle:
      return ftFloat;
    case ftVarBytes:
      return ftBytes;
    default:
      return AType;
  }
}

// `AValue` as the C++ type the command expects for `AType`.
TVariant SentValue(TFieldType AType, const TVariant& AValue) {
  if (AValue.IsNull()) return AValue;
  switch (AType) {
    case ftInteger:
      return static_cast<std::int32_t>(VariantToInt64(AValue));
    case ftLargeint:
      return VariantToInt64(AValue);
    case ftBoolean:
      return VariantToBoolean(AValue);
    case ftString:
    case ftWideString:
      return VariantToString(AValue);
    case ftFloat:
    case ftCurrency:
      return VariantToDouble(AValue);
    case ftDate:
    case ftTime:
    case ftDateTime:
      return VariantToDateTime(AValue);
    default:
      return AValue;
  }
}

bool IsTrimmable(const odbc::TColumnInfo& AColumn) {
  return AColumn.DataType == ftString || AColumn.DataType == ftWideString ||
         AColumn.DataType == ftFixedChar || AColumn.DataType == ftFixedWideChar;
}

}  // namespace

TCustomDADataSet::ConnectionUse::ConnectionUse(TCustomDADataSet& ADataSet)
    : FConnection(ADataSet.FConnection) {
  if (FConnection == nullptr) throw EDatabaseError("Connection is not defined");
  FConnection->BeginUse(&ADataSet);
}

TCustomDADataSet::ConnectionUse::~ConnectionUse() {
  FConnection->EndUse();
}

TCustomDADataSet::TCustomDADataSet(TComponent* AOwner, std::unique_ptr<TDAParams> AParams)
    : TMemDataSet(AOwner), FParams(std::move(AParams)) {
  FSQL.SetOnChange([this] { SQLChanged(); });
}

TCustomDADataSet::~TCustomDADataSet() {
  try {
    Close();
  } catch (const Exception&) {
    // Freeing goes on whatever a close event raised.
  }
  FCommand.reset();
  if (FConnection != nullptr) FConnection->UnregisterClient(this);
}

void TCustomDADataSet::SetConnection(TCustomDAConnection* AValue) {
  if (AValue == FConnection) return;
  // Only an open dataset closes: while loading, a stored open state waits.
  if (Active()) Close();
  UnPrepare();
  FCommand.reset();
  delete FUpdateDataSet;  // made by the former connection
  FUpdateDataSet = nullptr;
  if (FConnection != nullptr) FConnection->UnregisterClient(this);
  FConnection = AValue;
  if (FConnection != nullptr) FConnection->RegisterClient(this);
}

TDADataSetOptions& TCustomDADataSet::Options() const {
  if (!FOptions) FOptions = const_cast<TCustomDADataSet*>(this)->CreateOptions();
  return *FOptions;
}

std::unique_ptr<TDADataSetOptions> TCustomDADataSet::CreateOptions() {
  return std::make_unique<TDADataSetOptions>(this);
}

std::string TCustomDADataSet::UpdatingTable() const {
  return FirstTableAfterFrom(FSQL.Text());
}

void TCustomDADataSet::SQLChanged() {
  if (Active()) Close();
  UnPrepare();
  if (FParamCheck) FParams->Rebuild(ParseParamMarkers(FSQL.Text()).Names);
}

std::string TCustomDADataSet::StatementText() {
  std::string text = FSQL.Text();
  if (text.find_first_not_of(" \t\r\n") == std::string::npos) {
    throw EDatabaseError(ComponentMessage(this, "No SQL statement provided"));
  }
  return text;
}

std::string TCustomDADataSet::FinalSQL() {
  std::string text = StatementText();
  if (!IsDetail()) return text;
  return AddWhereCondition(text, LinkCondition(LinkPairs(), Options().QuoteNames()));
}

TCustomDADataSet::StatementRun TCustomDADataSet::BuildRun(bool ATakeLinkValues) {
  TParamMarkers markers = ParseParamMarkers(FinalSQL());
  if (IsDetail()) {
    for (const std::string& name : markers.Names) {
      if (FParams->FindParam(name) == nullptr) FParams->CreateParam(ftUnknown, name, ptUnknown);
    }
    if (ATakeLinkValues) AssignLinkValues();
  }
  StatementRun run{std::move(markers.Text), {}};
  for (std::size_t i = 0; i < markers.Names.size(); ++i) {
    const bool by_position = static_cast<int>(i) < FParams->Count() &&
                             SameText(FParams->Items(static_cast<int>(i)).Name(), markers.Names[i]);
    const TParam& param =
        by_position ? FParams->Items(static_cast<int>(i)) : FParams->ParamByName(markers.Names[i]);
    const TFieldType type = SentType(param.DataType());
    run.Params.push_back({type, param.ParamType(), SentValue(type, param.Value()), param.Name()});
  }
  return run;
}

odbc::Command& TCustomDADataSet::Command() {
  if (!FCommand) FCommand = std::make_unique<odbc::Command>(FConnection->Session(), this);
  return *FCommand;
}

std::optional<odbc::TResultSet> TCustomDADataSet::RunStatement(bool ATakeLinkValues) {
  const StatementRun run = BuildRun(ATakeLinkValues);
  try {
    odbc::Command& command = Command();
    if (!command.Execute(run.Text, run.Params)) return std::nullopt;
    return command.ReadResult(FFetchRows);
  } catch (const EOLEDBError& error) {
    FConnection->CheckSessionAfterError(error);
    throw;
  }
}

void TCustomDADataSet::LoadStatementResult(bool AKeepFields, bool ATakeLinkValues) {
  std::optional<odbc::TResultSet> result = RunStatement(ATakeLinkValues);
  if (!result) result.emplace();
  TrimValues(*result);
  LoadResult(std::move(*result), AKeepFields);
}

void TCustomDADataSet::TrimValues(odbc::TResultSet& AResult) const {
  for (std::size_t column = 0; column < AResult.Columns.size(); ++column) {
    const odbc::TColumnInfo& info = AResult.Columns[column];
    if (!IsTrimmable(info)) continue;
    if (!(info.FixedLength ? Options().TrimFixedChar() : Options().TrimVarChar())) continue;
    for (std::vector<TVariant>& row : AResult.Rows) {
      TVariant& value = row[column];
      if (!value.Is<std::string>()) continue;
      const std::string& text = value.As<std::string>();
      const std::size_t end = text.find_last_not_of(' ');
      if (end + 1 != text.size()) value = text.substr(0, end + 1);
    }
  }
}

void TCustomDADataSet::Prepare() {
  if (FPrepared || Active()) return;
  ConnectionUse use(*this);
  const StatementRun run = BuildRun(true);
  try {
    Command().Prepare(run.Text, run.Params);
  } catch (const EOLEDBError& error) {
    FConnection->CheckSessionAfterError(error);
    throw;
  }
  FPrepared = true;
}

void TCustomDADataSet::UnPrepare() {
  if (!FPrepared) return;
  FPrepared = false;
  if (!FCommand) return;
  try {
    FCommand->Unprepare();
  } catch (const Exception&) {
    // The preparation is gone with the session either way.
  }
}

void TCustomDADataSet::Execute() {
  Close();
  ConnectionUse use(*this);
  if (Options().AutoPrepare()) Prepare();
  FPendingResult = RunStatement(false);
  if (!FPendingResult) return;
  TrimValues(*FPendingResult);
  try {
    Open();
  } catch (...) {
    FPendingResult.reset();
    throw;
  }
  FPendingResult.reset();
}

void TCustomDADataSet::InternalOpen() {
  if (FPendingResult) {
    odbc::TResultSet result = std::move(*FPendingResult);
    FPendingResult.reset();
    LoadResult(std::move(result), false);
    return;
  }
  ConnectionUse use(*this);
  LoadStatementResult(false, true);
}

void TCustomDADataSet::InternalClose() {
  TMemDataSet::InternalClose();
  FKeyColumns.reset();
}

void TCustomDADataSet::InternalRefresh() {
  ConnectionUse use(*this);
  std::vector<TVariant> key_values;
  std::vector<int> keys;
  if (GetRecordCount() > 0) {
    keys = KeyColumns();
    for (int key : keys) key_values.push_back(GetRow(CurrentRow()).at(key));
  }
  LoadStatementResult(true, false);
  for (int row = 0; row < GetRecordCount() && !keys.empty(); ++row) {
    bool same = true;
    for (std::size_t k = 0; k < keys.size() && same; ++k) {
      same = GetRow(row).at(keys[k]) == key_values[k];
    }
    if (same) {
      SetCurrentRow(row);
      return;
    }
  }
  SetCurrentRow(0);
}

bool TCustomDADataSet::OpensWhenLoaded() const {
  return FConnection == nullptr || FConnection->Options().KeepDesignConnected();
}

void TCustomDADataSet::ConnectionClosing() {
  try {
    Close();
  } catch (const Exception&) {
    // Disconnecting goes on whatever a close event raised.
  }
  FPrepared = false;
  FCommand.reset();
}

void TCustomDADataSet::ConnectionFreed() {
  FConnection = nullptr;
}
