// Session lifetime, name resolution and the plumbing for ATTENTION and KILL.
#include <chrono>
#include <thread>

#include "catalog/catalog.h"
#include "catalog/system_views.h"
#include "execute/session_impl.h"
#include "values/collation.h"
#include "values/convert.h"
#include "values/datetime.h"
#include "values/sql_types.h"

namespace standin {

using namespace engine;

namespace {

Param Named(const std::string& name, SqlType type, Value value) {
  type.nullable = IsNull(value);
  return Param{name, type, std::move(value), false};
}

}  // namespace

SessionImpl::SessionImpl(EngineImpl& engine, const LoginRequest& login,
                         const DatabaseFile& database)
    : engine_(engine),
      spid_(0),
      session_id_(engine.NextSessionId()),
      user_(login.user),
      host_(login.host_name),
      app_(login.app_name),
      db_(":memory:"),
      database_(database) {
  if (!login.language.empty()) language_ = login.language;
  RegisterFunctions(db_.get(), &functions_);
  sqlite3_busy_handler(db_.get(), BusyHandler, this);
  Attach(*engine_.FindDatabase("master"));
  Attach(*engine_.FindDatabase("tempdb"));
  Attach(database_);
  spid_ = engine_.Register(this);
}

SessionImpl::~SessionImpl() {
  engine_.Unregister(spid_);
  killed_ = false;
  cancel_ = false;
  if (trancount_ > 0) {
    trancount_ = 0;
    try {
      db_.Exec("ROLLBACK");
    } catch (const SqliteFailure&) {
      // SQLite has already rolled the transaction back.
    }
  }
  try {
    DropOwnTempTables();
  } catch (...) {
    // Unreadable catalog: the temp tables go with the next engine run's tempdb.
  }
}

std::string SessionImpl::Database() const {
  std::lock_guard lock(state_mutex_);
  return database_.name;
}

void SessionImpl::Interrupt() {
  std::lock_guard lock(cancel_mutex_);
  if (!running_) return;
  cancel_ = true;
  sqlite3_interrupt(db_.get());
}

void SessionImpl::SetKillHandler(std::function<void()> handler) {
  std::lock_guard lock(cancel_mutex_);
  kill_handler_ = std::move(handler);
}

std::function<void()> SessionImpl::Kill() {
  std::lock_guard lock(cancel_mutex_);
  if (killed_.exchange(true)) return nullptr;
  sqlite3_interrupt(db_.get());
  std::function<void()> handler = std::move(kill_handler_);
  kill_handler_ = nullptr;
  return handler;
}

void SessionImpl::CheckCancel() const {
  if (killed_) throw SessionKilled{};
  if (cancel_) throw RequestCancelled{};
}

int SessionImpl::BusyHandler(void* self, int count) {
  auto* s = static_cast<SessionImpl*>(self);
  if (s->killed_ || s->cancel_) return 0;
  // LOCK_TIMEOUT 0 means not to wait at all, -1 (or less) to wait for ever.
  if (s->lock_timeout_ms_ == 0) return 0;
  auto now = std::chrono::steady_clock::now();
  if (count == 0) s->busy_since_ = now;
  if (s->lock_timeout_ms_ > 0 &&
      now - s->busy_since_ >= std::chrono::milliseconds(s->lock_timeout_ms_))
    return 0;
  std::this_thread::sleep_for(std::chrono::milliseconds(count < 10 ? 1 : 5));
  return 1;
}

std::string SessionImpl::Attach(const DatabaseFile& database) {
  std::string key = DatabaseStem(database.name);
  last_used_[key] = ++use_clock_;
  auto it = attached_.find(key);
  if (it != attached_.end()) return it->second;
  // SQLite attaches only so many files to a connection: make room by letting
  // go of the database used longest ago (never master, tempdb or the current one).
  if (static_cast<int>(attached_.size()) >= sqlite3_limit(db_.get(), SQLITE_LIMIT_ATTACHED, -1) &&
      trancount_ == 0) {
    std::string current = DatabaseStem(Database());
    std::string victim;
    for (const auto& [name, schema] : attached_) {
      if (name == "master" || name == "tempdb" || name == current) continue;
      if (victim.empty() || last_used_[name] < last_used_[victim]) victim = name;
    }
    if (!victim.empty()) {
      db_.Exec("DETACH DATABASE " + QuoteName(attached_[victim]));
      attached_.erase(victim);
    }
  }
  SqliteStatement attach(db_.get(), "ATTACH DATABASE ?1 AS " + QuoteName(database.schema));
  attach.Bind(1, database.path.string());
  try {
    attach.Step();
  } catch (const SqliteFailure& f) {
    Rethrow(f);
  }
  db_.Exec("PRAGMA " + QuoteName(database.schema) + ".synchronous=NORMAL");
  attached_[key] = database.schema;
  return database.schema;
}

DatabaseFile SessionImpl::DatabaseFor(const ObjectName& name) const {
  if (name.database.empty()) {
    std::lock_guard lock(state_mutex_);
    return database_;
  }
  std::optional<DatabaseFile> db = engine_.FindDatabase(name.database);
  if (!db) throw InvalidObject(name.Written());
  return *db;
}

std::optional<TableInfo> SessionImpl::FindTable(const ObjectName& name) {
  const std::string& object = name.object;
  std::string stored = object;
  DatabaseFile db;
  if (!object.empty() && object[0] == '#') {
    db = *engine_.FindDatabase("tempdb");
    if (object.rfind("##", 0) != 0) {
      auto it = local_temp_.find(UpperCase(object));
      if (it == local_temp_.end()) return std::nullopt;
      stored = it->second;
    }
  } else {
    if (!name.database.empty() && !engine_.FindDatabase(name.database)) return std::nullopt;
    bool sys = CompareCi(name.schema, "sys") == 0;
    if (!name.schema.empty() && !sys && CompareCi(name.schema, "dbo") != 0) return std::nullopt;
    db = DatabaseFor(name);
    std::string lower = LowerCase(object);
    if (sys || lower == "sysdatabases" || lower == "sysobjects") {
      std::string master = Attach(*engine_.FindDatabase("master"));
      std::optional<TableInfo> view = SystemView(object, Attach(db), master, db.name);
      if (view || sys) return view;
    }
  }
  std::string schema = Attach(db);
  std::optional<TableInfo> table;
  try {
    table = catalog::Find(db_.get(), schema, db.name, stored);
  } catch (const SqliteFailure& f) {
    Rethrow(f);
  }
  // A global one whose session has ended is no one's to use any more.
  if (table && object.rfind("##", 0) == 0 &&
      engine_.IsDeferredDrop(table->stored_name, table->owner))
    return std::nullopt;
  if (table) table->name = object[0] == '#' && object.rfind("##", 0) != 0 ? object : table->name;
  return table;
}

std::string SessionImpl::DatabaseList() {
  std::string master = Attach(*engine_.FindDatabase("master"));
  return SystemView("databases", master, master, "master")->SqliteName();
}

TableInfo SessionImpl::Table(const ObjectName& name) {
  std::optional<TableInfo> table = FindTable(name);
  if (!table) throw InvalidObject(name.Written());
  return *table;
}

Param SessionImpl::Variable(const std::string& name) {
  if (name.rfind("@@", 0) == 0) {
    std::string v = UpperCase(name);
    auto nvarchar = [](std::int32_t n) { return MakeType(TypeId::NVarChar, n); };
    if (v == "@@SPID") return Named(name, MakeType(TypeId::SmallInt), std::int64_t{spid_});
    if (v == "@@VERSION")
      return Named(name, nvarchar(300),
                   std::string("Microsoft SQL Server 2019 (RTM) - 15.0.2000.5 (X64) \n"
                               "\tStand-in server for tests, data kept by SQLite ") +
                       sqlite3_libversion() + "\n");
    if (v == "@@SERVERNAME") return Named(name, nvarchar(128), engine_.options().server_name);
    if (v == "@@SERVICENAME") return Named(name, nvarchar(128), std::string("MSSQLSERVER"));
    if (v == "@@TRANCOUNT") return Named(name, MakeType(TypeId::Int), std::int64_t{trancount_});
    if (v == "@@ROWCOUNT") return Named(name, MakeType(TypeId::Int), rowcount_);
    if (v == "@@ERROR") return Named(name, MakeType(TypeId::Int), std::int64_t{last_error_});
    if (v == "@@IDENTITY") {
      Value id = last_identity_ ? Value{std::to_string(*last_identity_)} : Value{};
      return Named(name, MakeType(TypeId::Decimal, 0, 38, 0), id);
    }
    if (v == "@@LANGUAGE") return Named(name, nvarchar(128), language_);
    if (v == "@@LOCK_TIMEOUT")
      return Named(name, MakeType(TypeId::Int), std::int64_t{lock_timeout_ms_});
    if (v == "@@TEXTSIZE") return Named(name, MakeType(TypeId::Int), std::int64_t{2147483647});
    if (v == "@@MAX_PRECISION") return Named(name, MakeType(TypeId::TinyInt), std::int64_t{38});
    if (v == "@@DATEFIRST") return Named(name, MakeType(TypeId::TinyInt), std::int64_t{7});
    if (v == "@@OPTIONS") return Named(name, MakeType(TypeId::Int), std::int64_t{5496});
    if (v == "@@MICROSOFTVERSION")
      return Named(name, MakeType(TypeId::Int), std::int64_t{251660240});
    if (v == "@@NESTLEVEL" || v == "@@PROCID")
      return Named(name, MakeType(TypeId::Int), std::int64_t{0});
    throw UndeclaredVariable(name);
  }
  for (const Param& p : variables_)
    if (CompareCi(p.name, name) == 0 && p.name.size() == name.size()) return p;
  throw UndeclaredVariable(name);
}

std::optional<Param> SessionImpl::SessionFunction(const std::string& f) {
  auto nvarchar = MakeType(TypeId::NVarChar, 128);
  if (f == "GETDATE") {
    SqlType t = MakeType(TypeId::DateTime);
    return Named("", t, *FormatCanonical(Now(), t));
  }
  if (f == "DB_NAME") return Named("", nvarchar, Database());
  if (f == "SCOPE_IDENTITY") return Variable("@@IDENTITY");
  if (f == "USER_NAME") return Named("", nvarchar, std::string("dbo"));
  if (f == "SUSER_SNAME") return Named("", nvarchar, user_);
  if (f == "HOST_NAME") return Named("", nvarchar, host_);
  if (f == "APP_NAME") return Named("", nvarchar, app_);
  if (f == "@@SPID") return Variable("@@SPID");
  return std::nullopt;
}

WriteScope::WriteScope(SessionImpl& session, const std::vector<std::string>& schemas)
    : session_(session), nested_(session.trancount_ > 0) {
  try {
    session_.db_.Exec(nested_ ? "SAVEPOINT standin_statement" : "BEGIN");
  } catch (const SqliteFailure& f) {
    session_.Rethrow(f);
  }
  try {
    for (const std::string& schema : schemas)
      session_.db_.Exec("UPDATE " + QuoteName(schema) +
                        ".__standin_tables SET owner = owner WHERE 0");
  } catch (const SqliteFailure& f) {
    Rollback();
    session_.Rethrow(f);
  }
}

void WriteScope::Rollback() {
  if (done_) return;
  done_ = true;
  try {
    session_.db_.Exec(nested_ ? "ROLLBACK TO standin_statement; RELEASE standin_statement"
                              : "ROLLBACK");
  } catch (const SqliteFailure&) {
    // SQLite has already rolled the transaction back.
  }
}

WriteScope::~WriteScope() {
  Rollback();
}

void WriteScope::Commit() {
  try {
    session_.db_.Exec(nested_ ? "RELEASE standin_statement" : "COMMIT");
  } catch (const SqliteFailure& f) {
    Rollback();
    session_.Rethrow(f);
  }
  done_ = true;
}

// ---- the public face ----

Session::Session(std::unique_ptr<SessionImpl> impl) : impl_(std::move(impl)) {}
Session::~Session() = default;
std::int32_t Session::Spid() const {
  return impl_->Spid();
}
std::string Session::Database() const {
  return impl_->Database();
}
std::string Session::Language() const {
  return impl_->Language();
}
void Session::Batch(std::string_view sql, ResultSink& sink) {
  impl_->Batch(sql, sink);
}
void Session::Rpc(std::string_view procedure, std::vector<Param> params, ResultSink& sink) {
  impl_->Rpc(procedure, std::move(params), sink);
}
void Session::Interrupt() {
  impl_->Interrupt();
}
void Session::SetKillHandler(std::function<void()> handler) {
  impl_->SetKillHandler(std::move(handler));
}

}  // namespace standin
