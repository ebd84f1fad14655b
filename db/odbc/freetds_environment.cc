#include "db/odbc/freetds_environment.h"

#include <stdlib.h>

#include <cstdlib>

namespace odbc {
namespace {

constexpr const char* kVariables[] = {"TDSVER", "TDSHOST", "TDSPORT", "TDSDUMP", "TDSDUMPCONFIG"};

}  // namespace

FreeTdsEnvironmentScope::FreeTdsEnvironmentScope() {
  for (const char* name : kVariables) {
    if (const char* value = std::getenv(name)) {
      FSetAside.emplace_back(name, value);
      ::unsetenv(name);
    }
  }
}

FreeTdsEnvironmentScope::~FreeTdsEnvironmentScope() {
  for (const auto& [name, value] : FSetAside) ::setenv(name, value.c_str(), 1);
}

}  // namespace odbc
