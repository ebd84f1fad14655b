// One client session: its SQLite connection, its settings and the running
// of batches and procedure calls on it.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "engine.h"
#include "errors.h"
#include "execute/engine_impl.h"
#include "parse/ast.h"
#include "storage/sql_functions.h"
#include "storage/sqlite_db.h"
#include "translate/translator.h"

namespace standin {

// Thrown to unwind a request that ATTENTION cancelled.
struct RequestCancelled {};
// Thrown to unwind a request whose session KILL ended.
struct SessionKilled {};

class SessionImpl : public engine::Resolver {
 public:
  SessionImpl(EngineImpl& engine, const LoginRequest& login, const DatabaseFile& database);
  ~SessionImpl() override;

  std::int32_t Spid() const { return spid_; }
  std::string Database() const;
  std::string Language() const { return language_; }

  void Batch(std::string_view sql, ResultSink& sink);
  void Rpc(std::string_view procedure, std::vector<Param> params, ResultSink& sink);
  void Interrupt();
  void SetKillHandler(std::function<void()> handler);
  // Ends the session on behalf of another (KILL): interrupts it and returns
  // its kill handler (empty after the first time), for the caller to run once
  // the engine's session registry lock is released.
  std::function<void()> Kill();

  // Resolver
  engine::TableInfo Table(const engine::ObjectName& name) override;
  std::optional<engine::TableInfo> FindTable(const engine::ObjectName& name) override;
  Param Variable(const std::string& name) override;
  std::optional<Param> SessionFunction(const std::string& upper_name) override;
  std::string DatabaseList() override;

 private:
  friend class WriteScope;

  // ---- requests (batch.cc) ----
  // Runs one request; `run` does the work. Handles attention, kill and errors
  // that escape it.
  void Request(ResultSink& sink, const std::function<void()>& run);
  // Parses and runs a batch with `variables` as its parameters; returns them
  // as the batch left them (for output parameters).
  std::vector<Param> RunBatch(std::string_view sql, std::vector<Param> variables, ResultSink& sink);
  // Runs statements; false when one failed in a way that ends the batch.
  bool RunStatements(const std::vector<engine::Statement>& statements, ResultSink& sink);
  void RunStatement(const engine::Statement& statement, ResultSink& sink);
  void ReportError(const engine::SqlError& error, int line, ResultSink& sink);
  void Set(const engine::SetStmt& s, ResultSink& sink);
  // SET IDENTITY_INSERT: explicit values for `name`'s identity column (8106, 8107).
  void SetIdentityInsert(const engine::ObjectName& name, bool on);
  void Use(const std::string& name, ResultSink& sink);
  void Kill(const engine::KillStmt& s, ResultSink& sink);
  void Print(const engine::MessageStmt& s, int line, ResultSink& sink);
  void Declare(const engine::DeclareStmt& s, ResultSink& sink);
  void Wait(const engine::WaitStmt& s);
  void Assign(const std::string& name, const engine::Expr& value);
  void Transaction(const engine::TransactionStmt& s, ResultSink& sink);
  bool Evaluate(const engine::Expr& condition);
  void Exec(const engine::ExecStmt& s, ResultSink& sink);
  void CheckCancel() const;

  // ---- data (dml.cc) ----
  void Select(const engine::Select& s, ResultSink& sink);
  void SelectInto(const engine::Select& s, ResultSink& sink);
  void Insert(const engine::InsertStmt& s, ResultSink& sink);
  void Update(const engine::UpdateStmt& s, ResultSink& sink);
  void Delete(const engine::DeleteStmt& s, ResultSink& sink);
  std::string TargetFrom(const engine::ObjectName& name, const std::vector<engine::FromItem>& from,
                         engine::Translator& t, engine::Scope& scope, engine::TableInfo& table,
                         std::string& sql);
  // Runs a translated query to the end, returning its rows as stored.
  std::vector<std::vector<Value>> Fetch(const std::string& sql, const std::vector<Value>& binds);
  // Prepares SQL, turning SQLite failures into SQL Server errors.
  std::unique_ptr<engine::SqliteStatement> Compile(const std::string& sql);
  // Steps a statement, turning SQLite failures into SQL Server errors.
  bool Step(engine::SqliteStatement& statement);
  [[noreturn]] void Rethrow(const engine::SqliteFailure& failure);
  void CountDone(ResultSink& sink, std::int64_t count);
  // The 2627 / 2601 error for a duplicate key of `table` with row `values`.
  [[noreturn]] void DuplicateKey(const engine::TableInfo& table, const std::string& message,
                                 const std::vector<Value>& values);

  // ---- definitions (ddl.cc) ----
  void CreateTable(const engine::CreateTableStmt& s);
  void DropTable(const engine::DropTableStmt& s, ResultSink& sink);
  void CreateIndex(const engine::CreateIndexStmt& s, ResultSink& sink);
  void DropIndex(const engine::DropIndexStmt& s, ResultSink& sink);
  void AddColumns(const engine::AlterTableStmt& s, ResultSink& sink);
  // Hands this session's temporary tables to the engine's deferred drops and drops them.
  void DropOwnTempTables();
  // Drops the engine's deferred temporary tables if tempdb's write lock comes
  // within `wait_ms` and no transaction of this session would hold the drop back.
  void DropDeferredTempTables(int wait_ms);

  // ---- procedures (procedures.cc, catalog_procedures.cc) ----
  void CallProcedure(const std::string& name, std::vector<Param> params, ResultSink& sink);
  void ExecuteSql(std::vector<Param> params, ResultSink& sink);
  void Prepare(std::vector<Param> params, ResultSink& sink, bool execute);
  void Execute(std::vector<Param> params, ResultSink& sink);
  void Unprepare(std::vector<Param> params, ResultSink& sink);
  void PrimaryKeys(std::vector<Param> params, ResultSink& sink);
  void Columns(std::vector<Param> params, ResultSink& sink);
  void Tables(std::vector<Param> params, ResultSink& sink);
  void Statistics(std::vector<Param> params, ResultSink& sink);
  void SpecialColumns(std::vector<Param> params, ResultSink& sink);
  void TypeInfo(std::vector<Param> params, ResultSink& sink);
  // The table named by a catalog procedure's @table_name and @table_qualifier.
  std::optional<engine::TableInfo> ProcedureTable(const std::vector<Param>& params);
  // Binds argument values to a declaration like "@P1 int,@P2 varchar(30)".
  std::vector<Param> BindDeclared(const std::string& declaration, std::vector<Param> values);

  // ---- databases (session.cc) ----
  // Attaches the database when it is not yet, returning its schema name.
  std::string Attach(const DatabaseFile& database);
  DatabaseFile DatabaseFor(const engine::ObjectName& name) const;

  EngineImpl& engine_;
  std::int32_t spid_;
  std::int64_t session_id_;
  std::string user_;
  std::string host_;
  std::string app_;
  std::string language_ = "us_english";

  engine::FunctionContext functions_;
  engine::SqliteConnection db_;
  std::map<std::string, std::string> attached_;     // lower-case database name -> schema
  std::map<std::string, std::uint64_t> last_used_;  // lower-case database name -> use_clock_
  std::uint64_t use_clock_ = 0;

  mutable std::mutex state_mutex_;  // guards database_ for other threads
  DatabaseFile database_;

  // Settings
  int lock_timeout_ms_ = -1;
  bool quoted_identifier_ = true;
  bool nocount_ = false;
  bool implicit_transactions_ = false;
  int trancount_ = 0;
  std::int64_t rowcount_ = 0;
  std::int32_t last_error_ = 0;
  std::optional<std::int64_t> last_identity_;
  std::chrono::steady_clock::time_point busy_since_;
  bool busy_waiting_ = false;

  // The table SET IDENTITY_INSERT is ON for: "schema.stored_name", or empty.
  std::string identity_insert_;
  std::string identity_insert_name_;  // its qualified name, for messages

  // Local temporary tables: the name users write (lower case) -> stored name.
  std::map<std::string, std::string> local_temp_;

  // Parameters of the running batch (sp_executesql / sp_execute).
  std::vector<Param> variables_;

  struct Prepared {
    std::string declaration;
    std::string sql;
  };
  std::map<std::int32_t, Prepared> prepared_;
  std::int32_t next_handle_ = 1;

  // Cancellation
  mutable std::mutex cancel_mutex_;
  bool running_ = false;
  std::atomic<bool> cancel_{false};
  std::atomic<bool> killed_{false};
  std::function<void()> kill_handler_;

  static int BusyHandler(void* self, int count);
};

// A unit of writing: a transaction (or, inside BEGIN TRAN, a savepoint)
// holding the write locks of the databases a statement changes. Rolls back
// unless committed.
class WriteScope {
 public:
  WriteScope(SessionImpl& session, const std::vector<std::string>& schemas);
  ~WriteScope();
  WriteScope(const WriteScope&) = delete;
  WriteScope& operator=(const WriteScope&) = delete;
  void Commit();

 private:
  void Rollback();

  SessionImpl& session_;
  bool nested_;
  bool done_ = false;
};

}  // namespace standin
