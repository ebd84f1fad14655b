// The ODBC environment: the driver manager, set up for ODBC 3.
#pragma once

#include <string>
#include <vector>

#include "db/odbc/handle.h"
#include "db/odbc/sql_api.h"

namespace odbc {

class Environment {
 public:
  // Throws EOLEDBError when the driver manager refuses an environment.
  Environment();

  SQLHENV get() const { return FHandle.get(); }

  // The names of the drivers registered with the driver manager, in its order.
  std::vector<std::string> RegisteredDrivers() const;

 private:
  Handle<SQL_HANDLE_ENV> FHandle;
};

}  // namespace odbc
