// A private stand-in holding the sample jail, and the settings that point the
// window's connection at it (the site configuration will, once it exists).
#pragma once

#include "app/main_form_components.h"
#include "standin_server.h"

namespace app_test {

class JailServer {
 public:
  // Starts a stand-in and loads the default sample jail into database JAIL.
  JailServer();

  // Gives dbJail this server and the sa login.
  TConfigureConnection Configure() const;
  // Stops the server: a pass then fails to connect.
  void Stop() { server_.stop(); }

 private:
  standin_test::StandinServer server_;
};

}  // namespace app_test
