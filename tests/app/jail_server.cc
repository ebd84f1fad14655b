#include "jail_server.h"

#include "jail_sample.h"
#include "jail_script.h"
#include "odbc_test_connection.h"
#include "script_loader.h"

namespace app_test {

JailServer::JailServer() {
  {
    standin_test::OdbcTestConnection setup(server_.port());
    standin_test::LoadScript(setup, jailgen::MakeScript(jailgen::MakeSample({}), {}));
  }
  standin_test::RegisterJail(server_.port());
}

}  // namespace app_test
