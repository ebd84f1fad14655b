// Accepts clients and runs each connection on its own thread until Stop.
#pragma once

#include <chrono>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

#include "connection.h"
#include "engine.h"
#include "listener.h"
#include "trace.h"

namespace standin::server {

class Server {
 public:
  // Each connection's replies wait `reply_delay`, and its session speaks at
  // most `highest_version` (see Connection).
  Server(Engine& engine, Listener& listener, Trace& trace, FaultControl& faults, TlsOffer tls,
         std::chrono::milliseconds reply_delay, tds::TdsVersion highest_version)
      : engine_(engine),
        listener_(listener),
        trace_(trace),
        faults_(faults),
        tls_(tls),
        reply_delay_(reply_delay),
        highest_version_(highest_version) {}
  // Stops first if still running.
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  // Accepts clients until Stop; returns then.
  void Run();
  // From another thread: stops accepting, ends every connection and waits
  // for their threads.
  void Stop();

 private:
  struct Running {
    std::unique_ptr<Connection> connection;
    std::thread thread;
    bool finished = false;  // guarded by Server::mutex_
  };

  // Joins the threads of connections that have ended.
  void Reap();

  Engine& engine_;
  Listener& listener_;
  Trace& trace_;
  FaultControl& faults_;
  TlsOffer tls_;
  std::chrono::milliseconds reply_delay_;
  tds::TdsVersion highest_version_;
  std::mutex mutex_;
  std::list<Running> running_;
  bool stopping_ = false;
};

}  // namespace standin::server
