// A private stand-in holding the sample jail and a site registry that gives
// "JAIL" that database, and a site installed around it from which the
// window and the runner start up.
#pragma once

#include "installed_site.h"
#include "platform/disk.h"
#include "standin_server.h"

namespace app_test {

class JailServer {
 public:
  // Starts a stand-in and loads the default sample jail into database JAIL,
  // registered in the site database VANTOR.
  JailServer();

  // The disk of a program installed at the site.
  const platform::Disk& Site() const { return site_; }
  // Stops the server: a pass then fails to connect, a start-up to look up.
  void Stop() { server_.stop(); }
  // Registers "JAIL" at a port where no server listens: start-up succeeds,
  // the pass then fails to connect.
  void UnregisterJail() { standin_test::RegisterJail(server_.port(), 1); }

 private:
  standin_test::StandinServer server_;
  standin_test::InstalledSite site_{server_.port()};
};

}  // namespace app_test
