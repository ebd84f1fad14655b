// The engine's shared state: where databases live and which sessions run.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "engine.h"
#include "storage/sql_functions.h"
#include "storage/sqlite_db.h"

namespace standin {

class SessionImpl;

// A database and the file that keeps it.
struct DatabaseFile {
  std::string name;  // as created
  std::filesystem::path path;
  std::string schema;  // the SQLite schema name sessions attach it as
};

class EngineImpl {
 public:
  explicit EngineImpl(EngineOptions options);

  const EngineOptions& options() const { return options_; }

  // The database named `name` (case-insensitive), if it exists.
  std::optional<DatabaseFile> FindDatabase(const std::string& name);
  // Creates an empty database; 1801 when it exists.
  void CreateDatabase(const std::string& name);
  // Deletes a database; 3701 when missing, 3702 while a session uses it.
  void DropDatabase(const std::string& name);
  std::vector<std::string> DatabaseNames();

  // Checks a login's name and password; throws 18456 when they do not match.
  void CheckLogin(const LoginRequest& login) const;

  // Adds a session and returns its spid (51 and up, the lowest free one).
  std::int32_t Register(SessionImpl* session);
  void Unregister(std::int32_t spid);
  // A number no other session of this engine run has had.
  std::int64_t NextSessionId();
  // Ends session `spid` on behalf of session `by` (KILL); 6104 / 6106.
  void Kill(std::int32_t spid, std::int32_t by);

  // Temporary tables whose session has ended, each a stored name in tempdb and
  // the session that created it (a later table of the same name is another
  // one): no session sees them any more, and whichever session next gets
  // tempdb's write lock drops them, so a busy tempdb never leaves one behind.
  using TempTable = std::pair<std::string, std::int64_t>;
  void DeferDrop(std::int64_t owner, const std::vector<std::string>& stored_names);
  std::vector<TempTable> DeferredDrops();
  bool IsDeferredDrop(const std::string& stored_name, std::int64_t owner);
  void Dropped(const std::vector<TempTable>& tables);

 private:
  // Makes sure `path` is a database file in WAL mode with the catalog tables.
  void Prepare(const std::filesystem::path& path);

  EngineOptions options_;
  std::mutex mutex_;
  std::map<std::int32_t, SessionImpl*> sessions_;
  std::int64_t next_session_id_ = 1;
  std::set<TempTable> deferred_drops_;  // names in upper case
  engine::FunctionContext registry_functions_;
  std::unique_ptr<engine::SqliteConnection> registry_;  // master, for the database list
};

// The SQLite schema name and file stem for a database name.
std::string DatabaseStem(const std::string& name);

}  // namespace standin
