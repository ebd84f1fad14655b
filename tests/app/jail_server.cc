#include "jail_server.h"

#include "jail_sample.h"
#include "jail_script.h"
#include "odbc_test_connection.h"
#include "script_loader.h"

namespace app_test {

JailServer::JailServer() {
  standin_test::OdbcTestConnection setup(server_.port());
  standin_test::LoadScript(setup, jailgen::MakeScript(jailgen::MakeSample({}), {}));
}

TConfigureConnection JailServer::Configure() const {
  const int port = server_.port();
  return [port](TMSConnection& AdbJail) {
    AdbJail.SetServer("127.0.0.1");
    AdbJail.SetPort(port);
    AdbJail.SetAuthentication(auServer);
    AdbJail.SetUsername("sa");
  };
}

}  // namespace app_test
