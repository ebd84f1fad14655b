// The stand-in's SQL engine: databases kept in SQLite files, sessions that run
// a subset of Transact-SQL on them and report results as SQL Server does.
//
// Thread model: one thread runs each Session's requests; the Engine and
// Session::Interrupt / Engine::Kill may be called from any thread.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "result_sink.h"
#include "server_message.h"
#include "sql_value.h"

namespace standin {

struct EngineOptions {
  std::filesystem::path data_dir;  // one SQLite file per database; created if missing
  // Accepted SQL Server logins, name -> password. Names compare without regard to case.
  std::map<std::string, std::string> logins = {{"sa", ""}};
  std::string server_name = "STANDIN";
};

// What a client asked for in its login.
struct LoginRequest {
  std::string user;
  std::string password;
  std::string database;  // empty: the login's default database, master
  std::string app_name;
  std::string host_name;
  std::string language;  // empty: us_english
};

class EngineImpl;
class SessionImpl;

// One client session. Destroying it ends the session: its global temporary
// tables are dropped and its spid is released.
class Session {
 public:
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  std::int32_t Spid() const;
  // The session's current database, as its name was created.
  std::string Database() const;
  std::string Language() const;

  // Runs a SQL batch: one or more statements separated by ";" or line breaks.
  void Batch(std::string_view sql, ResultSink& sink);

  // Runs a procedure call: sp_executesql, sp_prepare, sp_prepexec, sp_execute,
  // sp_unprepare and the catalog procedures (sp_pkeys, ...). `procedure` is
  // the name as sent, or the name of the well-known procedure id.
  void Rpc(std::string_view procedure, std::vector<Param> params, ResultSink& sink);

  // Cancels the request running on this session (ATTENTION), from any thread.
  // The running request stops at its next row or statement and reports a
  // StatementDone with cancelled set; a request started later is not affected.
  // The acknowledgement is the connection's to send.
  void Interrupt();

  // Called, from the killing session's thread, when KILL names this session.
  // The owner must then close the connection; the handler runs once.
  void SetKillHandler(std::function<void()> handler);

 private:
  friend class Engine;
  explicit Session(std::unique_ptr<SessionImpl> impl);
  std::unique_ptr<SessionImpl> impl_;
};

class Engine {
 public:
  explicit Engine(EngineOptions options);
  ~Engine();
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  const std::string& ServerName() const;

  // Opens a session for a login. Fails with 18456 (bad login) or 4060
  // (database cannot be opened) as SQL Server reports them.
  std::unique_ptr<Session> Open(const LoginRequest& login);

 private:
  std::unique_ptr<EngineImpl> impl_;
};

}  // namespace standin
