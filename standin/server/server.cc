#include "server.h"

#include <iostream>
#include <system_error>

namespace standin::server {

Server::~Server() {
  Stop();
}

void Server::Run() {
  while (true) {
    int fd = listener_.Accept();
    if (fd < 0) return;
    Reap();
    std::lock_guard lock(mutex_);
    if (stopping_) {
      tds::Socket refused(fd);
      return;
    }
    Running& entry = running_.emplace_back();
    entry.connection = std::make_unique<Connection>(fd, engine_, trace_, faults_, tls_,
                                                    reply_delay_, highest_version_);
    try {
      entry.thread = std::thread([this, &entry] {
        entry.connection->Run();
        // Under the lock, so that Stop never shuts down a socket closed here.
        std::lock_guard done(mutex_);
        entry.connection->Close();
        entry.finished = true;
      });
    } catch (const std::system_error& e) {
      // Out of threads: refuse this client (closing its socket) and keep serving the others.
      std::cerr << "cannot start a session: " << e.what() << std::endl;
      running_.pop_back();
    }
  }
}

void Server::Reap() {
  std::list<Running> ended;
  {
    std::lock_guard lock(mutex_);
    for (auto it = running_.begin(); it != running_.end();) {
      auto next = std::next(it);
      if (it->finished) ended.splice(ended.end(), running_, it);
      it = next;
    }
  }
  for (Running& r : ended) r.thread.join();
}

void Server::Stop() {
  listener_.Shutdown();
  std::list<Running> all;
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    for (Running& r : running_) {
      if (!r.finished) r.connection->Stop();
    }
    all.splice(all.end(), running_);
  }
  for (Running& r : all) r.thread.join();
}

}  // namespace standin::server
