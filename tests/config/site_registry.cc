#include "site_registry.h"

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "odbc_test_connection.h"

namespace config_test {

namespace {

constexpr const char* kConnectLib =
    "CREATE TABLE ConnectLib (ProgramID varchar(20), ConnString varchar(1000), "
    "HelpFile varchar(255), LogFile varchar(255), UseInitial bit)";

std::string Literal(const std::optional<std::string>& AText) {
  if (!AText) return "NULL";
  std::string literal = "'";
  for (char c : *AText) {
    literal += c;
    if (c == '\'') literal += '\'';
  }
  return literal + "'";
}

std::string Literal(const std::optional<bool>& AFlag) {
  return !AFlag ? "NULL" : *AFlag ? "1" : "0";
}

// Established connections to local port `APort` as the client's sockets in
// the kernel's table `ATable` show them (remote port `APort`, state 01).
int CountEstablished(const char* ATable, int APort) {
  std::ifstream table(ATable);
  std::string line;
  std::getline(table, line);  // the heading
  int count = 0;
  while (std::getline(table, line)) {
    std::istringstream fields(line);
    std::string slot, local, remote, state;
    fields >> slot >> local >> remote >> state;
    const int port = std::stoi(remote.substr(remote.rfind(':') + 1), nullptr, 16);
    if (port == APort && state == "01") ++count;
  }
  return count;
}

}  // namespace

SiteRegistry::SiteRegistry() {
  FSite.AddFile("Vantor.Cfg/Vantor.ini",
                std::string("[Paths]\nHelpPath=") + kSiteHelp + "\nLogPath=" + kSiteLog +
                    "\n[DataProvider]\nConnStr=" + SiteConnectString() + "\n");
  standin_test::OdbcTestConnection setup(FServer.port());
  setup.Exec("CREATE DATABASE VANTOR");
  setup.Exec("CREATE DATABASE NOREGISTRY");
  setup.Exec("USE VANTOR");
  setup.Exec(kConnectLib);
}

void SiteRegistry::AddRows(const std::vector<RegistryRow>& ARows) {
  standin_test::OdbcTestConnection setup(FServer.port(), {"sa", "", "VANTOR"});
  for (const RegistryRow& row : ARows) {
    setup.Exec("INSERT INTO ConnectLib VALUES (" + Literal(row.ProgramID) + ", " +
               Literal(row.ConnString) + ", " + Literal(row.HelpFile) + ", " +
               Literal(row.LogFile) + ", " + Literal(row.UseInitial) + ")");
  }
}

std::string SiteRegistry::SiteConnectString() const {
  return "Data Source=127.0.0.1;Port=" + std::to_string(FServer.port()) +
         ";Initial Catalog=VANTOR;User ID=sa";
}

int SiteRegistry::EstablishedConnections(int AExpected) const {
  using namespace std::chrono_literals;
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  for (;;) {
    const int count = CountEstablished("/proc/net/tcp", FServer.port()) +
                      CountEstablished("/proc/net/tcp6", FServer.port());
    if (count == AExpected || std::chrono::steady_clock::now() > deadline) return count;
    std::this_thread::sleep_for(20ms);
  }
}

int SpidOf(const std::string& ATraceLine) {
  return std::stoi(ATraceLine.substr(ATraceLine.find('=') + 1));
}

std::vector<std::string> LinesAdded(const std::vector<std::string>& ABefore,
                                    const std::vector<std::string>& AAfter) {
  return {AAfter.begin() + static_cast<std::ptrdiff_t>(ABefore.size()), AAfter.end()};
}

}  // namespace config_test
