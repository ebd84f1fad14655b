// The fault file (--fault-file FILE): a test's way to end a session at a
// chosen request, as a DBA's KILL does, or to stop the whole server there.
// The test writes FILE (whole, e.g. by renaming a finished file onto it)
// with one line:
//
//   kill N   the N-th request from now ends its session, as KILL does
//   stop N   the N-th request from now stops the server, as SIGTERM does
//
// Requests (SQL batches, procedure calls, transaction requests; not logins
// or attentions) are counted across all sessions, the first being the one
// that finds the file. The server takes the file away when it finds it, so
// writing it again arms it again, replacing what was armed. The chosen
// request is neither run nor traced; its client sees its connection drop.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>

namespace standin::server {

class FaultControl {
 public:
  // Watches `file` (empty: never fires); `stop_server` is what "stop" runs.
  FaultControl(std::filesystem::path file, std::function<void()> stop_server);

  // Counts one request, from any session's thread. True when it must end
  // its session unrun; on "stop" the server has been told to stop too.
  bool EndsSession();

 private:
  enum class Action { kNone, kKill, kStop };

  // Arms from the file if it is there, and removes it.
  void TakeFile();

  const std::filesystem::path file_;
  const std::function<void()> stop_server_;
  std::mutex mutex_;
  Action armed_ = Action::kNone;
  std::int64_t remaining_ = 0;
};

}  // namespace standin::server
