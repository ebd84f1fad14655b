// Provider settings to ODBC drivers: the first registered driver of the list wins.
#include "db/sqlserver/provider.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "db/errors/database_error.h"
#include "db/odbc/environment.h"

namespace {

struct DriverCase {
  const char* name;
  TOLEDBProvider provider;
  TNativeClientVersion version;
  std::vector<std::string> registered;
  std::string chosen;  // empty: "Required provider is not installed"
};

void PrintTo(const DriverCase& c, std::ostream* os) {
  *os << c.name;
}

class ChooseDriverTest : public ::testing::TestWithParam<DriverCase> {};

TEST_P(ChooseDriverTest, TakesTheFirstRegisteredOfTheList) {
  const DriverCase& c = GetParam();
  if (c.chosen.empty()) {
    try {
      ChooseDriver(c.provider, c.version, c.registered);
      FAIL() << "a driver was chosen";
    } catch (const EDatabaseError& e) {
      EXPECT_EQ(e.Message(), "Required provider is not installed");
    }
  } else {
    EXPECT_EQ(ChooseDriver(c.provider, c.version, c.registered), c.chosen);
  }
}

const char* const kNc11 = "SQL Server Native Client 11.0";
const char* const kNc10 = "SQL Server Native Client 10.0";
const char* const kNc9 = "SQL Native Client";
const char* const kOdbc18 = "ODBC Driver 18 for SQL Server";
const char* const kOdbc17 = "ODBC Driver 17 for SQL Server";

INSTANTIATE_TEST_SUITE_P(
    Providers, ChooseDriverTest,
    ::testing::Values(
        DriverCase{"AutoOnLinux", prAuto, ncAuto, {"PostgreSQL", "FreeTDS"}, "FreeTDS"},
        DriverCase{"AutoPrefersNativeClient",
                   prAuto,
                   ncAuto,
                   {"FreeTDS", "SQL Server", kOdbc18, kNc10, kNc9},
                   kNc10},
        DriverCase{"AutoThenModernDrivers",
                   prAuto,
                   ncAuto,
                   {"FreeTDS", "SQL Server", kOdbc17, kOdbc18},
                   kOdbc18},
        DriverCase{"AutoIgnoresVersion", prAuto, nc2005, {kNc9, kNc11}, kNc11},
        DriverCase{"SqlPrefersOldDriver", prSQL, ncAuto, {"FreeTDS", "SQL Server"}, "SQL Server"},
        DriverCase{"SqlSkipsNativeClient", prSQL, ncAuto, {kNc11, kOdbc18, "FreeTDS"}, "FreeTDS"},
        DriverCase{"NativeClientAuto", prNativeClient, ncAuto, {kNc9, kNc10}, kNc10},
        DriverCase{"NativeClient2005", prNativeClient, nc2005, {kNc11, kNc9}, kNc9},
        DriverCase{"NativeClient2012Missing",
                   prNativeClient,
                   nc2012,
                   {kNc10, kOdbc17, "FreeTDS"},
                   kOdbc17},
        DriverCase{
            "NativeClientOnLinux", prNativeClient, nc2008, {"SQL Server", "FreeTDS"}, "FreeTDS"},
        DriverCase{"NamesIgnoreCase", prAuto, ncAuto, {"freetds"}, "freetds"},
        DriverCase{"NothingRegistered", prAuto, ncAuto, {}, ""},
        DriverCase{"OnlyOtherDrivers", prSQL, ncAuto, {"PostgreSQL", "SQLite3"}, ""},
        DriverCase{"CompactHasNoDriver", prCompact, ncAuto, {"FreeTDS", kNc11}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RegisteredDriversTest, TheDriverManagerListsFreeTds) {
  const odbc::Environment environment;
  const std::vector<std::string> drivers = environment.RegisteredDrivers();
  EXPECT_THAT(drivers, ::testing::Contains("FreeTDS"));
  EXPECT_EQ(ChooseDriver(prAuto, ncAuto, drivers), "FreeTDS");
}

}  // namespace
