// Runs FreeTDS's tsql against a stand-in with a script on its standard input.
#pragma once

#include <string>
#include <vector>

#include "odbc_test_connection.h"

namespace standin_test {

struct TsqlResult {
  std::string out;
  std::string err;
  int exit_code = 0;
};

// Runs `tsql -H 127.0.0.1 -p PORT -U user -P password [-D database]` with
// TDS 7.4, each batch followed by a "go" line. Kills tsql after 60 s.
TsqlResult RunTsql(int port, const std::vector<std::string>& batches, const Login& login = {});

}  // namespace standin_test
