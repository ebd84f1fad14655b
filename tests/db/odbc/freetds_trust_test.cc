// The FreeTDS configuration an encrypting connection gets: where FreeTDS
// finds it, what it says for each kind of address, and the values it refuses
// to write because FreeTDS would read them otherwise.
#include "db/odbc/freetds_trust.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "core/exception.h"
#include "db/odbc/connect_settings.h"

namespace {

using odbc::FreeTdsAddress;
using odbc::FreeTdsTrustScope;

std::string ConfigurationInForce() {
  const char* file = std::getenv("FREETDSCONF");
  if (file == nullptr) return "(unset)";
  std::ifstream in(file);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

struct AddressCase {
  const char* server;
  int port;
  FreeTdsAddress address;
};

TEST(FreeTdsTrustTest, AddressesAsFreeTdsReachesThem) {
  const AddressCase cases[] = {
      {"", 1433, {"127.0.0.1", "", "1433"}},
      {"(local)", 1500, {"127.0.0.1", "", "1500"}},
      {"db.county.example", 1433, {"db.county.example", "", "1433"}},
      {"db.county.example,1600", 1500, {"db.county.example", "", "1600"}},
      {".\\JAIL", 1433, {"127.0.0.1", "JAIL", "1433"}},
  };
  for (const AddressCase& c : cases) {
    odbc::ConnectSettings settings;
    settings.Server = c.server;
    settings.Port = c.port;
    const FreeTdsAddress address = odbc::FreeTdsAddressOf(settings);
    EXPECT_EQ(address.Host, c.address.Host) << c.server;
    EXPECT_EQ(address.Instance, c.address.Instance) << c.server;
    EXPECT_EQ(address.Port, c.address.Port) << c.server;
  }
}

TEST(FreeTdsTrustTest, NamesTheServerAndWhatToVerifyWhileItLasts) {
  ::setenv("FREETDSCONF", "/etc/site-freetds.conf", 1);
  ::setenv("SSL_CERT_FILE", "/etc/county/authorities.pem", 1);
  std::string file;
  {
    FreeTdsTrustScope verifying({"db.county.example", "", "1600"}, true);
    file = std::getenv("FREETDSCONF");
    EXPECT_EQ(ConfigurationInForce(),
              "[encrypted-session]\n"
              "\thost = db.county.example\n"
              "\tport = 1600\n"
              "\tca file = /etc/county/authorities.pem\n"
              "\tcheck certificate hostname = yes\n");
  }
  EXPECT_EQ(std::getenv("FREETDSCONF"), std::string("/etc/site-freetds.conf"));
  EXPECT_FALSE(std::filesystem::exists(file));

  ::unsetenv("FREETDSCONF");
  ::unsetenv("SSL_CERT_FILE");
  {
    FreeTdsTrustScope trusting({"127.0.0.1", "JAIL", "1433"}, false);
    EXPECT_EQ(ConfigurationInForce(),
              "[encrypted-session]\n"
              "\thost = 127.0.0.1\n"
              "\tinstance = JAIL\n"
              "\tca file = \n"
              "\tcheck certificate hostname = yes\n");
  }
  EXPECT_EQ(ConfigurationInForce(), "(unset)");
  EXPECT_EQ(odbc::TrustedAuthorities(), "system");
}

// The file tells FreeTDS what to trust: no other user may replace it, or even
// find it, while it lasts. It lies in the service's own runtime directory when
// there is one, else in a directory made for it and removed with it.
TEST(FreeTdsTrustTest, KeepsItsFileWhereNoOneElseCanReachIt) {
  namespace fs = std::filesystem;
  const FreeTdsAddress address{"db.county.example", "", "1433"};
  fs::path file;
  {
    FreeTdsTrustScope trust(address, true);
    file = std::getenv("FREETDSCONF");
    EXPECT_EQ(fs::status(file.parent_path()).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
  }
  EXPECT_FALSE(fs::exists(file.parent_path()));

  const fs::path runtime = fs::temp_directory_path() / ("runtime-" + std::to_string(::getpid()));
  fs::create_directory(runtime);
  ::setenv("RUNTIME_DIRECTORY", (runtime.string() + ":/run/other").c_str(), 1);
  {
    FreeTdsTrustScope trust(address, true);
    EXPECT_EQ(fs::path(std::getenv("FREETDSCONF")).parent_path(), runtime);
  }
  EXPECT_TRUE(fs::is_empty(runtime));
  ::unsetenv("RUNTIME_DIRECTORY");
  fs::remove(runtime);
}

TEST(FreeTdsTrustTest, RefusesValuesFreeTdsWouldReadOtherwise) {
  const FreeTdsAddress refused[] = {
      {"db;ca file = /dev/null", "", "1433"},  // ";" starts a comment
      {"db#1", "", "1433"},
      {"db\n\tca file =", "", "1433"},
      {"db", "", "1433 "},
      {std::string(250, 'h'), "", "1433"},
  };
  for (const FreeTdsAddress& address : refused) {
    EXPECT_THROW(FreeTdsTrustScope(address, true), Exception) << address.Host;
    EXPECT_EQ(ConfigurationInForce(), "(unset)");
  }
}

}  // namespace
