// Running requests: batches statement by statement, with SQL Server's rules
// for which errors end a batch, and the statements that only change the
// session (SET, USE, KILL, transactions, IF, EXEC).
#include <algorithm>
#include <chrono>
#include <thread>
#include <variant>

#include "execute/session_impl.h"
#include "parse/parser.h"
#include "storage/storage.h"
#include "values/collation.h"
#include "values/convert.h"
#include "values/datetime.h"
#include "values/sql_types.h"

namespace standin {

using namespace engine;

namespace {

// Unwinds the statements of a batch after an error that ends it.
struct BatchAborted {};

bool IsAcceptedOption(const std::string& option) {
  static constexpr const char* kOptions[] = {"TEXTSIZE",
                                             "ANSI_NULLS",
                                             "ANSI_WARNINGS",
                                             "ANSI_PADDING",
                                             "ANSI_NULL_DFLT_ON",
                                             "ANSI_NULL_DFLT_OFF",
                                             "ANSI_DEFAULTS",
                                             "CONCAT_NULL_YIELDS_NULL",
                                             "ARITHABORT",
                                             "ARITHIGNORE",
                                             "NUMERIC_ROUNDABORT",
                                             "CURSOR_CLOSE_ON_COMMIT",
                                             "IMPLICIT_TRANSACTIONS",
                                             "XACT_ABORT",
                                             "DATEFIRST",
                                             "ROWCOUNT",
                                             "DEADLOCK_PRIORITY",
                                             "NO_BROWSETABLE",
                                             "FMTONLY",
                                             "STATISTICS",
                                             "SHOWPLAN_TEXT",
                                             "SHOWPLAN_ALL",
                                             "SHOWPLAN_XML",
                                             "QUERY_GOVERNOR_COST_LIMIT",
                                             "REMOTE_PROC_TRANSACTIONS",
                                             "FORCEPLAN",
                                             "NOEXEC",
                                             "PARSEONLY",
                                             "OFFSETS",
                                             "TRANSACTION",
                                             "CONTEXT_INFO"};
  for (const char* o : kOptions)
    if (option == o) return true;
  return false;
}

// Statements whose terminating errors SQL Server follows with 3621: those
// that change data, which it undoes; a failed query has nothing to undo.
bool ChangesData(const Statement& statement) {
  if (const auto* select = std::get_if<std::shared_ptr<engine::Select>>(&statement.body))
    return (*select)->into.has_value();
  return std::holds_alternative<InsertStmt>(statement.body) ||
         std::holds_alternative<UpdateStmt>(statement.body) ||
         std::holds_alternative<DeleteStmt>(statement.body) ||
         std::holds_alternative<CreateIndexStmt>(statement.body);
}

}  // namespace

void SessionImpl::Request(ResultSink& sink, const std::function<void()>& run) {
  {
    std::lock_guard lock(cancel_mutex_);
    running_ = true;
    cancel_ = false;
  }
  try {
    CheckCancel();
    DropDeferredTempTables(0);
    run();
    DropDeferredTempTables(0);
  } catch (const RequestCancelled&) {
    sink.Done(StatementDone{false, 0, false, true});
  } catch (const SessionKilled&) {
    // The connection is being closed: nobody reads the rest.
  }
  std::lock_guard lock(cancel_mutex_);
  running_ = false;
  cancel_ = false;
}

void SessionImpl::Batch(std::string_view sql, ResultSink& sink) {
  Request(sink, [&] { RunBatch(sql, {}, sink); });
}

void SessionImpl::Rpc(std::string_view procedure, std::vector<Param> params, ResultSink& sink) {
  Request(sink, [&] {
    try {
      CallProcedure(std::string(procedure), std::move(params), sink);
    } catch (const SqlError& e) {
      ReportError(e, 1, sink);
      sink.Done(StatementDone{false, 0, true, false});
    } catch (const std::exception& e) {
      ReportError(
          SqlError({Msg(50000, 16, 1, std::string("The stand-in server failed: ") + e.what())},
                   true),
          1, sink);
      sink.Done(StatementDone{false, 0, true, false});
    }
  });
}

std::vector<Param> SessionImpl::RunBatch(std::string_view sql, std::vector<Param> variables,
                                         ResultSink& sink) {
  std::vector<Param> saved = std::move(variables_);
  variables_ = std::move(variables);
  struct Restore {
    std::vector<Param>& target;
    std::vector<Param>& saved;
    ~Restore() { target = std::move(saved); }
  } restore{variables_, saved};
  std::vector<Statement> statements;
  try {
    statements = ParseBatch(sql, quoted_identifier_);
  } catch (const SqlError& e) {
    ReportError(e, 1, sink);
    sink.Done(StatementDone{false, 0, true, false});
    return variables_;
  } catch (const std::exception&) {
    // Numbers too large for any type, and the like.
    ReportError(SyntaxErrorAtEnd(), 1, sink);
    sink.Done(StatementDone{false, 0, true, false});
    return variables_;
  }
  RunStatements(statements, sink);
  return variables_;
}

bool SessionImpl::RunStatements(const std::vector<Statement>& statements, ResultSink& sink) {
  for (const Statement& s : statements) {
    CheckCancel();
    try {
      RunStatement(s, sink);
      last_error_ = 0;
    } catch (const SqlError& e) {
      ReportError(e, s.line, sink);
      if (e.terminates_statement() && ChangesData(s))
        ReportError(StatementTerminated(), s.line, sink);
      sink.Done(StatementDone{false, 0, true, false});
      if (e.aborts_batch()) return false;
    } catch (const BatchAborted&) {
      return false;
    } catch (const std::exception& e) {
      // A fault of the stand-in itself: report it like a server error, end the batch.
      ReportError(
          SqlError({Msg(50000, 16, 1, std::string("The stand-in server failed: ") + e.what())},
                   true),
          s.line, sink);
      sink.Done(StatementDone{false, 0, true, false});
      return false;
    }
  }
  return true;
}

void SessionImpl::ReportError(const SqlError& error, int line, ResultSink& sink) {
  bool first = true;
  for (ServerMessage m : error.messages()) {
    if (m.line == 0) m.line = line;
    if (first && m.IsError()) {
      last_error_ = m.number;
      first = false;
    }
    sink.Message(m);
  }
}

void SessionImpl::RunStatement(const Statement& statement, ResultSink& sink) {
  // Under IMPLICIT_TRANSACTIONS a statement that changes data opens a transaction.
  if (implicit_transactions_ && trancount_ == 0 &&
      (std::holds_alternative<InsertStmt>(statement.body) ||
       std::holds_alternative<UpdateStmt>(statement.body) ||
       std::holds_alternative<DeleteStmt>(statement.body) ||
       std::holds_alternative<CreateTableStmt>(statement.body) ||
       std::holds_alternative<DropTableStmt>(statement.body))) {
    try {
      db_.Exec("BEGIN");
    } catch (const SqliteFailure& f) {
      Rethrow(f);
    }
    trancount_ = 1;
  }
  std::visit(
      [&](const auto& body) {
        using T = std::decay_t<decltype(body)>;
        if constexpr (std::is_same_v<T, std::shared_ptr<engine::Select>>) {
          Select(*body, sink);
        } else if constexpr (std::is_same_v<T, InsertStmt>) {
          Insert(body, sink);
        } else if constexpr (std::is_same_v<T, UpdateStmt>) {
          Update(body, sink);
        } else if constexpr (std::is_same_v<T, DeleteStmt>) {
          Delete(body, sink);
        } else if constexpr (std::is_same_v<T, CreateTableStmt>) {
          CreateTable(body);
          sink.Done(StatementDone{});
        } else if constexpr (std::is_same_v<T, DropTableStmt>) {
          DropTable(body, sink);
        } else if constexpr (std::is_same_v<T, CreateIndexStmt>) {
          CreateIndex(body, sink);
        } else if constexpr (std::is_same_v<T, DropIndexStmt>) {
          DropIndex(body, sink);
        } else if constexpr (std::is_same_v<T, CreateDatabaseStmt>) {
          engine_.CreateDatabase(body.name);
          sink.Done(StatementDone{});
        } else if constexpr (std::is_same_v<T, DropDatabaseStmt>) {
          if (body.if_exists && !engine_.FindDatabase(body.name)) {
            sink.Done(StatementDone{});
            return;
          }
          if (CompareCi(Database(), body.name) == 0) throw DatabaseInUse(Database());
          engine_.DropDatabase(body.name);
          auto it = attached_.find(DatabaseStem(body.name));
          if (it != attached_.end()) {
            try {
              db_.Exec("DETACH DATABASE " + QuoteName(it->second));
            } catch (const SqliteFailure&) {
              // Still in use by an open transaction: it goes with the session.
            }
            attached_.erase(it);
          }
          sink.Done(StatementDone{});
        } else if constexpr (std::is_same_v<T, UseStmt>) {
          Use(body.name, sink);
        } else if constexpr (std::is_same_v<T, SetStmt>) {
          Set(body, sink);
        } else if constexpr (std::is_same_v<T, ExecStmt>) {
          Exec(body, sink);
        } else if constexpr (std::is_same_v<T, KillStmt>) {
          Kill(body, sink);
        } else if constexpr (std::is_same_v<T, MessageStmt>) {
          Print(body, statement.line, sink);
        } else if constexpr (std::is_same_v<T, WaitStmt>) {
          Wait(body);
          sink.Done(StatementDone{});
        } else if constexpr (std::is_same_v<T, AlterTableStmt>) {
          AddColumns(body, sink);
        } else if constexpr (std::is_same_v<T, DeclareStmt>) {
          Declare(body, sink);
        } else if constexpr (std::is_same_v<T, AssignStmt>) {
          Assign(body.name, *body.value);
          sink.Done(StatementDone{});
        } else if constexpr (std::is_same_v<T, TransactionStmt>) {
          Transaction(body, sink);
        } else if constexpr (std::is_same_v<T, std::shared_ptr<IfStmt>>) {
          bool ok = Evaluate(*body->condition) ? RunStatements(body->then_branch, sink)
                                               : RunStatements(body->else_branch, sink);
          if (!ok) throw BatchAborted{};
        }
      },
      statement.body);
}

void SessionImpl::Set(const SetStmt& s, ResultSink& sink) {
  std::string value = UpperCase(s.value);
  bool on = value == "ON";
  for (const std::string& option : s.options) {
    if (option == "LOCK_TIMEOUT") {
      if (s.expr) {
        Param p = Variable(s.expr->text);
        lock_timeout_ms_ = IsNull(p.value) ? -1 : static_cast<int>(std::get<std::int64_t>(p.value));
      } else {
        try {
          lock_timeout_ms_ = std::stoi(s.value);
        } catch (const std::exception&) {
          throw SyntaxError(s.value);
        }
      }
    } else if (option == "QUOTED_IDENTIFIER") {
      quoted_identifier_ = on;
    } else if (option == "IMPLICIT_TRANSACTIONS") {
      implicit_transactions_ = on;
    } else if (option == "NOCOUNT") {
      nocount_ = on;
    } else if (option == "DATEFORMAT") {
      std::optional<DateOrder> order = DateOrderFromName(s.value);
      if (!order)
        throw StatementOnly(
            Msg(2741, 16, 1, "SET DATEFORMAT date order '" + s.value + "' is invalid."));
      functions_.date_order = *order;
    } else if (option == "IDENTITY_INSERT") {
      SetIdentityInsert(s.table, on);
    } else if (option == "LANGUAGE") {
      language_ = s.value;
      functions_.date_order = DateOrder::Mdy;
    } else if (!IsAcceptedOption(option)) {
      throw BatchAbort(Msg(195, 15, 1, "'" + option + "' is not a recognized SET option."));
    }
  }
  sink.Done(StatementDone{});
}

void SessionImpl::SetIdentityInsert(const ObjectName& name, bool on) {
  TableInfo table = Table(name);
  bool has_identity = false;
  for (const ColumnInfo& c : table.columns) has_identity = has_identity || c.identity;
  if (!has_identity) throw NoIdentityColumn(table.name);
  std::string key = table.schema + "." + table.stored_name;
  if (!on) {
    if (identity_insert_ == key) identity_insert_.clear();
    return;
  }
  if (!identity_insert_.empty() && identity_insert_ != key)
    throw IdentityInsertElsewhere(identity_insert_name_, table.name);
  identity_insert_ = key;
  identity_insert_name_ = table.QualifiedName();
}

void SessionImpl::Use(const std::string& name, ResultSink& sink) {
  std::optional<DatabaseFile> db = engine_.FindDatabase(name);
  if (!db) throw DatabaseMissing(name);
  Attach(*db);
  std::string old;
  {
    std::lock_guard lock(state_mutex_);
    old = database_.name;
    database_ = *db;
  }
  sink.DatabaseChanged(old, db->name);
  sink.Done(StatementDone{});
}

void SessionImpl::Kill(const KillStmt& s, ResultSink& sink) {
  const Expr& e = *s.spid;
  std::int64_t spid;
  if (e.kind == ExprKind::Literal && e.token.kind == TokenKind::Number &&
      e.token.text.find_first_not_of("0123456789") == std::string::npos) {
    spid = std::stoll(e.token.text);
  } else if (e.kind == ExprKind::Variable) {
    Param p = Variable(e.text);
    if (!std::holds_alternative<std::int64_t>(p.value)) throw SyntaxError(e.text);
    spid = std::get<std::int64_t>(p.value);
  } else {
    throw SyntaxError(e.token.text.empty() ? e.text : e.token.text);
  }
  engine_.Kill(static_cast<std::int32_t>(spid), spid_);
  sink.Done(StatementDone{});
}

void SessionImpl::Wait(const WaitStmt& s) {
  Translator t(*this);
  Scope scope;
  Typed delay = t.Expression(*s.delay, scope);
  if (!IsCharacter(delay.type.id)) delay = t.ConvertTo(delay, MakeType(TypeId::VarChar, 30));
  Value text = Fetch("SELECT " + delay.sql, t.binds()).at(0).at(0);
  DateTimeParts parts;
  if (!std::holds_alternative<std::string>(text) ||
      ParseDateTime(std::get<std::string>(text), DateOrder::Ymd, false, parts) != DateParse::Ok)
    throw BatchAbort(Msg(148, 15, 1, "Incorrect time syntax in time string used with WAITFOR."));
  auto until =
      std::chrono::steady_clock::now() +
      std::chrono::milliseconds(((parts.hour * 60 + parts.minute) * 60 + parts.second) * 1000 +
                                parts.nanos / 1000000);
  // Sleeps in short steps so that ATTENTION and KILL end the wait at once.
  while (std::chrono::steady_clock::now() < until) {
    CheckCancel();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

void SessionImpl::Declare(const DeclareStmt& s, ResultSink& sink) {
  for (const DeclareStmt::Variable& v : s.variables) {
    for (const Param& p : variables_)
      if (CompareCi(p.name, v.name) == 0)
        throw BatchAbort(Msg(134, 15, 1,
                             "The variable name '" + v.name +
                                 "' has already been declared. Variable names must be unique "
                                 "within a query batch or stored procedure."));
    SqlType type = v.type;
    type.nullable = true;
    variables_.push_back(Param{v.name, type, Value{}, false});
    if (v.initial) Assign(v.name, *v.initial);
  }
  sink.Done(StatementDone{});
}

void SessionImpl::Assign(const std::string& name, const Expr& value) {
  Param* target = nullptr;
  for (Param& p : variables_)
    if (CompareCi(p.name, name) == 0 && p.name.size() == name.size()) target = &p;
  if (!target) throw UndeclaredVariable(name);
  Translator t(*this);
  Scope scope;
  Typed v = t.Expression(value, scope);
  Value stored = Fetch("SELECT " + v.sql, t.binds()).at(0).at(0);
  target->value = Convert(FromStorage(stored, v.type), v.type, target->type, ConvertMode::Explicit,
                          functions_.date_order);
}

void SessionImpl::Print(const MessageStmt& s, int line, ResultSink& sink) {
  Translator t(*this);
  Scope scope;
  std::string sql;
  std::vector<SqlType> types;
  for (const ExprPtr& e : s.args) {
    Typed v = t.Expression(*e, scope);
    sql += (sql.empty() ? "SELECT " : ", ") + v.sql;
    types.push_back(v.type);
  }
  std::vector<Value> values = Fetch(sql, t.binds()).at(0);
  auto text = [&](std::size_t i) {
    Value v = FromStorage(values[i], types[i]);
    return IsNull(v) ? std::string() : ValueText(v, types[i]);
  };
  if (!s.raise) {
    ServerMessage m{0, 1, 0, text(0), "", line};
    sink.Message(m);
    sink.Done(StatementDone{});
    return;
  }
  // RAISERROR: %s and %d take the arguments in turn.
  std::string format = text(0), message;
  std::size_t next = 3;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size() &&
        std::string("sdiu").find(format[i + 1]) != std::string::npos) {
      message += next < values.size() ? text(next++) : "(null)";
      ++i;
    } else {
      message += format[i];
    }
  }
  int severity = static_cast<int>(std::strtol(text(1).c_str(), nullptr, 10));
  int state = static_cast<int>(std::strtol(text(2).c_str(), nullptr, 10));
  ServerMessage m{50000,
                  static_cast<std::uint8_t>(state),
                  static_cast<std::uint8_t>(std::clamp(severity, 0, 18)),
                  message,
                  "",
                  line};
  if (m.IsError()) throw SqlError({m}, false);
  sink.Message(m);
  sink.Done(StatementDone{});
}

void SessionImpl::Transaction(const TransactionStmt& s, ResultSink& sink) {
  try {
    switch (s.kind) {
      case TransactionStmt::Begin:
        if (trancount_ == 0) db_.Exec("BEGIN");
        ++trancount_;
        break;
      case TransactionStmt::Commit:
        if (trancount_ == 0) throw CommitWithoutBegin();
        if (trancount_ == 1) db_.Exec("COMMIT");
        --trancount_;
        break;
      case TransactionStmt::Rollback:
        if (trancount_ == 0) throw RollbackWithoutBegin();
        trancount_ = 0;
        db_.Exec("ROLLBACK");
        break;
    }
  } catch (const SqliteFailure& f) {
    Rethrow(f);
  }
  sink.Done(StatementDone{});
}

bool SessionImpl::Evaluate(const Expr& condition) {
  Translator t(*this);
  Scope scope;
  std::string sql = "SELECT CASE WHEN " + t.Condition(condition, scope) + " THEN 1 ELSE 0 END";
  std::vector<std::vector<Value>> rows = Fetch(sql, t.binds());
  return !rows.empty() && rows[0][0] == Value{std::int64_t{1}};
}

void SessionImpl::Exec(const ExecStmt& s, ResultSink& sink) {
  std::vector<Param> params;
  Translator t(*this);
  Scope scope;
  std::string sql;
  std::vector<SqlType> types;
  for (const ExecArg& a : s.args) {
    if (!a.value) continue;
    Typed v = t.Expression(*a.value, scope);
    sql += (sql.empty() ? "SELECT " : ", ") + v.sql;
    types.push_back(v.type);
    params.push_back(Param{a.name, v.type, Value{}, a.output});
  }
  if (!sql.empty()) {
    std::vector<std::vector<Value>> rows = Fetch(sql, t.binds());
    for (std::size_t i = 0; i < params.size(); ++i)
      params[i].value = FromStorage(rows.at(0).at(i), types[i]);
  }
  std::string name = s.procedure.object;
  CallProcedure(name, std::move(params), sink);
  sink.Done(StatementDone{});
}

void SessionImpl::Rethrow(const SqliteFailure& failure) {
  if (functions_.pending_error) {
    SqlError e = *functions_.pending_error;
    functions_.pending_error.reset();
    throw e;
  }
  int primary = failure.code() & 0xff;
  if (killed_) throw SessionKilled{};
  if (cancel_ && (primary == SQLITE_INTERRUPT || primary == SQLITE_BUSY)) throw RequestCancelled{};
  if (failure.code() == SQLITE_BUSY_SNAPSHOT) throw Deadlock(spid_);
  if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED) throw LockTimeout();
  throw BatchAbort(
      Msg(50000, 16, 1,
          std::string("The stand-in server could not run the statement: ") + failure.what()));
}

bool SessionImpl::Step(SqliteStatement& statement) {
  try {
    return statement.Step();
  } catch (const SqliteFailure& f) {
    Rethrow(f);
  }
}

void SessionImpl::CountDone(ResultSink& sink, std::int64_t count) {
  rowcount_ = count;
  sink.Done(StatementDone{!nocount_, count, false, false});
}

}  // namespace standin
