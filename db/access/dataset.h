// TCustomDADataSet: a dataset that runs a statement text with named
// parameters on its connection's session and holds the whole result.
//
// Every change of SQL is a text change: it closes the dataset, drops the
// preparation and (with ParamCheck) rebuilds Params from the text's markers,
// keeping the type, value and direction of parameters whose names remain.
// Opening, Execute, Refresh and a detail's re-query pass the parameters'
// current types and values. A detail's statement carries the link
// condition; its link parameters take the master's current values when it
// opens or prepares and whenever the master changes, and it runs again at
// once, on the caller's thread, when one of them differs (a closed master
// empties it). Its own Refresh and Execute keep the values it has. Changes
// made through the dataset go to its table by key through one auxiliary
// dataset obtained from the connection's CreateDataSet. A derived class
// that overrides a step closes in its own destructor.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "db/access/connection_client.h"
#include "db/access/dataset_options.h"
#include "db/access/params.h"
#include "db/access/sql_lines.h"
#include "db/dataset/mem_dataset.h"
#include "db/odbc/command.h"

class TCustomDAConnection;
struct TGeneratedStatement;

class TCustomDADataSet : public TMemDataSet, public TConnectionClient {
 public:
  // Closes (cancelling an edit) and leaves its connection.
  ~TCustomDADataSet() override;

  // The connection the dataset runs on; null when none. Setting it closes
  // the dataset and drops its preparation.
  TCustomDAConnection* Connection() const { return FConnection; }
  void SetConnection(TCustomDAConnection* AValue);

  // The statement text; every change is a text change (see above).
  TStrings& SQL() { return FSQL; }
  const TStrings& SQL() const { return FSQL; }
  TDAParams& Params() const { return *FParams; }
  // Whether a text change rebuilds Params. Default true.
  bool ParamCheck() const { return FParamCheck; }
  void SetParamCheck(bool AValue) { FParamCheck = AValue; }

  // Has the server prepare the statement (connecting first, taking a
  // detail's link values); nothing when prepared or open. The preparation
  // lasts until UnPrepare, a text change or a disconnect.
  void Prepare();
  // Releases the preparation; nothing without one. Never throws.
  void UnPrepare();
  bool Prepared() const { return FPrepared; }
  // Closes, connects when needed, prepares when Options().AutoPrepare(), and
  // runs the statement once; a statement that yields rows opens the dataset
  // on them (as Open does), any other leaves it closed.
  void Execute();

  // Stored only: every result is read whole when the dataset opens.
  bool FetchAll() const { return FFetchAll; }
  void SetFetchAll(bool AValue) { FFetchAll = AValue; }
  // Rows asked for per driver call while reading a result. Default 25.
  int FetchRows() const { return FFetchRows; }
  void SetFetchRows(int AValue) { FFetchRows = AValue; }
  // Forbids Edit and Delete ("Cannot modify a read-only dataset"). Default false.
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool AValue) { FReadOnly = AValue; }
  // roBeforeEdit: Edit reads the current row again from the server first.
  TRefreshOptions RefreshOptions() const { return FRefreshOptions; }
  void SetRefreshOptions(TRefreshOptions AValue) { FRefreshOptions = AValue; }
  // Seconds; 0 is no limit. Stored only: statements run without a limit.
  int CommandTimeout() const { return FCommandTimeout; }
  void SetCommandTimeout(int AValue) { FCommandTimeout = AValue; }

  // The options object, made by CreateOptions() at first use.
  TDADataSetOptions& Options() const;

  // The table the dataset's changes go to (and its record locks name): for
  // a query the first table after FROM in its text; "" when there is none.
  virtual std::string UpdatingTable() const;

  void ConnectionClosing() override;
  void ConnectionFreed() override;

 protected:
  // A closed dataset without connection whose parameters are `AParams`.
  TCustomDADataSet(TComponent* AOwner, std::unique_ptr<TDAParams> AParams);

  // The options object of this class of dataset; called once, at first use.
  virtual std::unique_ptr<TDADataSetOptions> CreateOptions();
  // The statement to run before any link condition: the SQL text. Throws
  // EDatabaseError "No SQL statement provided" (with the dataset's name)
  // when it is blank.
  virtual std::string StatementText();

  // Connects when needed, runs the statement and binds the fields.
  void InternalOpen() override;
  void InternalClose() override;
  // Notes the current row's key values, runs the statement again and stands
  // on the row with those keys, or on the first row when it is gone.
  void InternalRefresh() override;
  // With roBeforeEdit, reads the current row again from the server.
  void InternalEdit() override;
  // Sends the generated UPDATE (INSERT for a new row), then keeps the row.
  void InternalPost() override;
  // Sends the generated DELETE, then drops the row.
  void InternalDelete() override;
  bool CanModify() const override { return !FReadOnly; }
  // False when the connection's Options().KeepDesignConnected() is false.
  bool OpensWhenLoaded() const override;
  // Re-queries when a link value differs from its parameter or a parameter
  // has no value yet; stands on the first row and tells its own details.
  void MasterChanged() override;

 private:
  // One implicit use of the connection for the length of an operation.
  class ConnectionUse {
   public:
    // Throws EDatabaseError "Connection is not defined" (bare) without a
    // connection; connects as BeginUse() does.
    explicit ConnectionUse(TCustomDADataSet& ADataSet);
    ~ConnectionUse();
    ConnectionUse(const ConnectionUse&) = delete;
    ConnectionUse& operator=(const ConnectionUse&) = delete;

   private:
    TCustomDAConnection* FConnection;
  };
  struct StatementRun {
    std::string Text;                       // with "?" placeholders
    std::vector<odbc::TParamValue> Params;  // one per placeholder
  };

  void SQLChanged();
  // The statement text with a detail's link condition.
  std::string FinalSQL();
  // The text to send and the parameters' values; a detail's link parameters
  // are made when missing, and take the master's values when `ATakeLinkValues`.
  StatementRun BuildRun(bool ATakeLinkValues);
  void AssignLinkValues();
  bool LinkValuesChanged() const;
  odbc::Command& Command();
  // Runs the statement once; the whole result, or none for a statement
  // without rows. Errors pass CheckSessionAfterError() on their way.
  std::optional<odbc::TResultSet> RunStatement(bool ATakeLinkValues);
  // Runs the statement and takes the result as the dataset's rows.
  void LoadStatementResult(bool AKeepFields, bool ATakeLinkValues);
  // Removes trailing blanks as Options() asks for each text column.
  void TrimValues(odbc::TResultSet& AResult) const;
  // UpdatingTable(); throws EDatabaseError when there is none.
  std::string TableToUpdate() const;
  const std::vector<int>& KeyColumns();
  // Runs `AStatement` through the auxiliary dataset; opened when `AOpen`.
  TCustomDADataSet& RunGenerated(const TGeneratedStatement& AStatement, bool AOpen);
  void RereadCurrentRow();

  TCustomDAConnection* FConnection = nullptr;  // not owned
  TStrings FSQL;
  std::unique_ptr<TDAParams> FParams;
  mutable std::unique_ptr<TDADataSetOptions> FOptions;
  std::unique_ptr<odbc::Command> FCommand;         // on the connection's current session
  TCustomDADataSet* FUpdateDataSet = nullptr;      // owned as a component, from CreateDataSet
  std::optional<odbc::TResultSet> FPendingResult;  // Execute's rows, taken by InternalOpen
  std::optional<std::vector<int>> FKeyColumns;     // of the open result
  bool FParamCheck = true;
  bool FPrepared = false;
  bool FFetchAll = true;
  int FFetchRows = 25;
  bool FReadOnly = false;
  TRefreshOptions FRefreshOptions;
  int FCommandTimeout = 0;
};
