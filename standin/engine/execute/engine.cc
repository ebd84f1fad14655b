#include "engine.h"

#include <system_error>

#include "catalog/catalog.h"
#include "errors.h"
#include "execute/engine_impl.h"
#include "execute/session_impl.h"
#include "values/collation.h"

namespace standin {

using engine::Msg;
using engine::SqliteStatement;

namespace {

// Login failures are reported on line 1, outside any batch.
ServerMessage LoginMsg(std::int32_t number, std::uint8_t severity, std::string text) {
  ServerMessage m = Msg(number, severity, 1, std::move(text));
  m.line = 1;
  return m;
}

bool IsSystemDatabase(const std::string& name) {
  return engine::CompareCi(name, "master") == 0 || engine::CompareCi(name, "tempdb") == 0;
}

std::string AsString(const Value& v) {
  if (auto* s = std::get_if<std::string>(&v)) return *s;
  return std::string();
}

}  // namespace

std::string DatabaseStem(const std::string& name) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string stem;
  for (unsigned char c : engine::LowerCase(name)) {
    if (std::isalnum(c) || c == '_' || c == '-') {
      stem += static_cast<char>(c);
    } else {
      stem += '%';
      stem += kHex[c >> 4];
      stem += kHex[c & 15];
    }
  }
  return stem;
}

EngineImpl::EngineImpl(EngineOptions options) : options_(std::move(options)) {
  std::filesystem::create_directories(options_.data_dir);
  for (const char* suffix : {"", "-wal", "-shm"}) {
    std::error_code ignored;
    std::filesystem::remove(options_.data_dir / (std::string("tempdb.sqlite") + suffix), ignored);
  }
  Prepare(options_.data_dir / "master.sqlite");
  Prepare(options_.data_dir / "tempdb.sqlite");
  registry_ =
      std::make_unique<engine::SqliteConnection>((options_.data_dir / "master.sqlite").string());
  engine::RegisterFunctions(registry_->get(), &registry_functions_);
  sqlite3_busy_timeout(registry_->get(), 10000);
  registry_->Exec(
      "CREATE TABLE IF NOT EXISTS __standin_databases(name TEXT COLLATE TSQLCI PRIMARY KEY)");
}

void EngineImpl::Prepare(const std::filesystem::path& path) {
  engine::SqliteConnection db(path.string());
  engine::FunctionContext functions;
  engine::RegisterFunctions(db.get(), &functions);
  sqlite3_busy_timeout(db.get(), 10000);
  db.Exec("PRAGMA journal_mode=WAL");
  engine::catalog::Initialize(db.get(), "main");
}

std::optional<DatabaseFile> EngineImpl::FindDatabase(const std::string& name) {
  std::string canonical;
  if (engine::CompareCi(name, "master") == 0) {
    canonical = "master";
  } else if (engine::CompareCi(name, "tempdb") == 0) {
    canonical = "tempdb";
  } else {
    std::lock_guard lock(mutex_);
    SqliteStatement s(registry_->get(), "SELECT name FROM __standin_databases WHERE name = ?1");
    s.Bind(1, name);
    if (!s.Step()) return std::nullopt;
    canonical = AsString(s.Column(0));
    if (engine::CharCount(canonical) != engine::CharCount(name)) return std::nullopt;
  }
  std::string stem = DatabaseStem(canonical);
  return DatabaseFile{canonical, options_.data_dir / (stem + ".sqlite"), "d_" + stem};
}

void EngineImpl::CreateDatabase(const std::string& name) {
  if (IsSystemDatabase(name) || FindDatabase(name)) throw engine::DatabaseExists(name);
  std::filesystem::path path = options_.data_dir / (DatabaseStem(name) + ".sqlite");
  for (const char* suffix : {"", "-wal", "-shm"}) {
    std::error_code ignored;
    std::filesystem::remove(path.string() + suffix, ignored);
  }
  Prepare(path);
  std::lock_guard lock(mutex_);
  SqliteStatement s(registry_->get(), "INSERT INTO __standin_databases(name) VALUES (?1)");
  s.Bind(1, name);
  s.Step();
}

void EngineImpl::DropDatabase(const std::string& name) {
  std::optional<DatabaseFile> db = FindDatabase(name);
  if (!db) throw engine::CannotDropDatabase(name);
  if (IsSystemDatabase(db->name))
    throw engine::StatementOnly(
        Msg(3708, 16, 1,
            "Cannot drop the database '" + db->name + "' because it is a system database."));
  std::lock_guard lock(mutex_);
  for (const auto& [spid, session] : sessions_)
    if (engine::CompareCi(session->Database(), db->name) == 0)
      throw engine::DatabaseInUse(db->name);
  SqliteStatement s(registry_->get(), "DELETE FROM __standin_databases WHERE name = ?1");
  s.Bind(1, db->name);
  s.Step();
  for (const char* suffix : {"", "-wal", "-shm"}) {
    std::error_code ignored;
    std::filesystem::remove(db->path.string() + suffix, ignored);
  }
}

std::vector<std::string> EngineImpl::DatabaseNames() {
  std::vector<std::string> names = {"master", "tempdb"};
  std::lock_guard lock(mutex_);
  SqliteStatement s(registry_->get(), "SELECT name FROM __standin_databases ORDER BY name");
  while (s.Step()) names.push_back(AsString(s.Column(0)));
  return names;
}

void EngineImpl::CheckLogin(const LoginRequest& login) const {
  for (const auto& [user, password] : options_.logins)
    if (engine::CompareCi(user, login.user) == 0 && user.size() == login.user.size() &&
        password == login.password)
      return;
  throw engine::SqlError({LoginMsg(18456, 14, "Login failed for user '" + login.user + "'.")},
                         true);
}

std::int32_t EngineImpl::Register(SessionImpl* session) {
  std::lock_guard lock(mutex_);
  std::int32_t spid = 51;
  while (sessions_.count(spid)) ++spid;
  sessions_[spid] = session;
  return spid;
}

void EngineImpl::Unregister(std::int32_t spid) {
  std::lock_guard lock(mutex_);
  sessions_.erase(spid);
}

std::int64_t EngineImpl::NextSessionId() {
  std::lock_guard lock(mutex_);
  return next_session_id_++;
}

void EngineImpl::Kill(std::int32_t spid, std::int32_t by) {
  if (spid == by) throw engine::KillSelf();
  std::function<void()> handler;
  {
    std::lock_guard lock(mutex_);
    auto it = sessions_.find(spid);
    if (it == sessions_.end()) throw engine::KillUnknown(spid);
    handler = it->second->Kill();
  }
  // Outside the lock: the handler may well end the session it belongs to.
  if (handler) handler();
}

void EngineImpl::DeferDrop(std::int64_t owner, const std::vector<std::string>& stored_names) {
  std::lock_guard lock(mutex_);
  for (const std::string& name : stored_names)
    deferred_drops_.insert({engine::UpperCase(name), owner});
}

std::vector<EngineImpl::TempTable> EngineImpl::DeferredDrops() {
  std::lock_guard lock(mutex_);
  return {deferred_drops_.begin(), deferred_drops_.end()};
}

bool EngineImpl::IsDeferredDrop(const std::string& stored_name, std::int64_t owner) {
  std::lock_guard lock(mutex_);
  return deferred_drops_.count({engine::UpperCase(stored_name), owner}) > 0;
}

void EngineImpl::Dropped(const std::vector<TempTable>& tables) {
  std::lock_guard lock(mutex_);
  for (const TempTable& table : tables) deferred_drops_.erase(table);
}

Engine::Engine(EngineOptions options) : impl_(std::make_unique<EngineImpl>(std::move(options))) {}
Engine::~Engine() = default;

const std::string& Engine::ServerName() const {
  return impl_->options().server_name;
}

std::unique_ptr<Session> Engine::Open(const LoginRequest& login) {
  impl_->CheckLogin(login);
  std::string database = login.database.empty() ? "master" : login.database;
  std::optional<DatabaseFile> db = impl_->FindDatabase(database);
  if (!db)
    throw engine::SqlError({LoginMsg(4060, 11,
                                     "Cannot open database \"" + database +
                                         "\" requested by the login. The login failed."),
                            LoginMsg(18456, 14, "Login failed for user '" + login.user + "'.")},
                           true);
  return std::unique_ptr<Session>(new Session(std::make_unique<SessionImpl>(*impl_, login, *db)));
}

}  // namespace standin
