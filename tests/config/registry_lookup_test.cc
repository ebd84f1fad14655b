// The registry lookups against a site database on the stand-in: what each
// kind of ConnectLib row gives, the statements that reach the server, and
// that every lookup connects for itself and leaves nothing open, also when
// it fails.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "config/vt_config_info.h"
#include "core/exception.h"
#include "db/access/dataset.h"
#include "db/errors/database_error.h"
#include "db/sqlserver/connection.h"
#include "odbc_test_connection.h"
#include "site_registry.h"

namespace {

using config_test::LinesAdded;
using config_test::RegistryRow;
using config_test::SiteRegistry;
using config_test::SpidOf;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;

// Stands for the component's ConnectionString in an expected result.
constexpr const char* kSiteString = "<site>";

// The lines of `AList`.
std::vector<std::string> Lines(const TStrings& AList) {
  std::vector<std::string> lines;
  for (int i = 0; i < AList.Count(); ++i) lines.push_back(AList.Strings(i));
  return lines;
}

struct LookupCase {
  const char* name;
  std::vector<RegistryRow> rows;
  std::string program;
  std::string overlay;
  bool site_string_cleared;  // the component's ConnectionString set empty
  std::string connect_string;
  std::string help_path;
  std::string log_path;
  // The identifier as the statements carry it; empty when nothing is sent.
  std::string sent_as;
  std::vector<std::string> programs;  // GetProgramList; unasked when empty
};

void PrintTo(const LookupCase& c, std::ostream* os) {
  *os << c.name;
}

const RegistryRow kJail{"JAIL", "Data Source=jailsrv;Initial Catalog=JAIL", "jail.chm", "jail.log",
                        false};
const RegistryRow kArchive{"ARCHIVE", "Data Source=archsrv", "arch.chm", "arch.log", false};

class RegistryLookupTest : public ::testing::TestWithParam<LookupCase> {
 protected:
  SiteRegistry FSite;
};

TEST_P(RegistryLookupTest, GivesTheRowsValuesOnConnectionsOfTheirOwn) {
  const LookupCase& c = GetParam();
  FSite.AddRows(c.rows);
  TVtConfigInfo info(nullptr, FSite.Disk());
  info.SetConnectionStringOverlay(c.overlay);
  if (c.site_string_cleared) {
    info.SetOverrideSettings(true);
    info.SetConnectionString("");
  }
  const std::string site = info.ConnectionString();
  const auto expected = [&site](const std::string& AValue) {
    return AValue == kSiteString ? site : AValue;
  };

  // Each lookup connects, queries and closes again before it returns.
  const std::vector<std::string> before = FSite.Trace();
  EXPECT_EQ(info.GetConnectString(c.program), expected(c.connect_string));
  EXPECT_EQ(FSite.EstablishedConnections(), 0);
  EXPECT_EQ(info.GetHelpPath(c.program), expected(c.help_path));
  EXPECT_EQ(FSite.EstablishedConnections(), 0);
  EXPECT_EQ(info.GetLogPath(c.program), expected(c.log_path));
  EXPECT_EQ(FSite.EstablishedConnections(), 0);

  const std::vector<std::string> sent = LinesAdded(before, FSite.Trace());
  if (c.sent_as.empty()) {
    EXPECT_THAT(sent, ElementsAre());
  } else {
    const std::string where = " FROM ConnectLib (readuncommitted) WHERE ProgramID = " + c.sent_as;
    EXPECT_THAT(sent, ElementsAre(HasSubstr("batch: SELECT ConnString, UseInitial" + where),
                                  HasSubstr("batch: SELECT HelpFile, UseInitial" + where),
                                  HasSubstr("batch: SELECT LogFile, UseInitial" + where)));
  }

  if (c.programs.empty()) return;
  TStrings programs;
  programs.Add("stale");
  info.GetProgramList(programs);
  EXPECT_THAT(Lines(programs), ElementsAreArray(c.programs));
  EXPECT_EQ(FSite.EstablishedConnections(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RegistryLookupTest,
    ::testing::Values(
        LookupCase{
            "NoRowForTheProgram", {kArchive}, "JAIL", "", false, "", "", "", "'JAIL'", {"ARCHIVE"}},
        LookupCase{"OwnValues",
                   {kJail, kArchive},
                   "JAIL",
                   "",
                   false,
                   "Data Source=jailsrv;Initial Catalog=JAIL",
                   "jail.chm",
                   "jail.log",
                   "'JAIL'",
                   {"ARCHIVE", "JAIL"}},
        // The site string already carries the overlay; laid over once more
        // it stays the same. The row's own help and log files are ignored.
        LookupCase{"UseInitialGivesTheSitesValues",
                   {{"JAIL", "Data Source=jailsrv", "jail.chm", "jail.log", true}},
                   "JAIL",
                   "Application Name=Jail",
                   false,
                   kSiteString,
                   SiteRegistry::kSiteHelp,
                   SiteRegistry::kSiteLog,
                   "'JAIL'",
                   {"JAIL"}},
        LookupCase{"EmptyConnString",
                   {{"JAIL", "", "jail.chm", "jail.log", false}},
                   "JAIL",
                   "",
                   false,
                   "",
                   "jail.chm",
                   "jail.log",
                   "'JAIL'",
                   {"JAIL"}},
        LookupCase{"NullColumnsReadEmpty",
                   {{"JAIL", std::nullopt, std::nullopt, std::nullopt, false}},
                   "JAIL",
                   "Application Name=Jail",
                   false,
                   "",
                   "",
                   "",
                   "'JAIL'",
                   {"JAIL"}},
        LookupCase{"NullUseInitialReadsFalse",
                   {{"JAIL", "Data Source=jailsrv", "jail.chm", "jail.log", std::nullopt}},
                   "JAIL",
                   "",
                   false,
                   "Data Source=jailsrv",
                   "jail.chm",
                   "jail.log",
                   "'JAIL'",
                   {"JAIL"}},
        LookupCase{"EmptyProgramAsksNothing", {kJail}, "", "", false, "", "", "", "", {}},
        LookupCase{"EmptySiteStringAsksNothing", {kJail}, "JAIL", "", true, "", "", "", "", {}},
        LookupCase{"QuoteInTheProgramIsMatchedLiterally",
                   {{"O'HARE", "Data Source=ohare", "o.chm", "o.log", false},
                    {"O''HARE", "Data Source=doubled", "d.chm", "d.log", false}},
                   "O'HARE",
                   "",
                   false,
                   "Data Source=ohare",
                   "o.chm",
                   "o.log",
                   "'O''HARE'",
                   {}},
        // A=1 registered under an overlay of B=2 gives A=1;B=2.
        LookupCase{"OverlayAddsToTheRegisteredString",
                   {{"JAIL", "Data Source=jailsrv", "jail.chm", "jail.log", false}},
                   "JAIL",
                   "Application Name=Jail",
                   false,
                   "Data Source=jailsrv;Application Name=Jail",
                   "jail.chm",
                   "jail.log",
                   "'JAIL'",
                   {"JAIL"}},
        LookupCase{
            "OverlayReplacesAndRemovesEntries",
            {{"JAIL", "Data Source=jailsrv;Initial Catalog=JAIL;Packet Size=8192", "", "", false}},
            "JAIL",
            "data source=127.0.0.1;Packet Size=",
            false,
            "data source=127.0.0.1;Initial Catalog=JAIL",
            "",
            "",
            "'JAIL'",
            {"JAIL"}},
        LookupCase{"FirstRowWins",
                   {{"JAIL", "Data Source=first", "first.chm", "first.log", false},
                    {"JAIL", "Data Source=second", "second.chm", "second.log", true}},
                   "JAIL",
                   "",
                   false,
                   "Data Source=first",
                   "first.chm",
                   "first.log",
                   "'JAIL'",
                   {"JAIL", "JAIL"}},
        LookupCase{"ProgramListSorted",
                   {{"WARRANTS", "", "", "", true}, kJail, kArchive, {"BOOKING", "", "", "", true}},
                   "BOOKING",
                   "",
                   false,
                   kSiteString,
                   SiteRegistry::kSiteHelp,
                   SiteRegistry::kSiteLog,
                   "'BOOKING'",
                   {"ARCHIVE", "BOOKING", "JAIL", "WARRANTS"}}),
    [](const auto& info) { return std::string(info.param.name); });

// The program's own lookup, on the site's row for it: the statement as the
// server receives it, alone on a session that is gone when the call returns.
TEST(RegistryLookupSessionTest, JailConnStringIsOneStatementOnASessionOfItsOwn) {
  SiteRegistry site;
  site.AddRows({kJail});
  TVtConfigInfo info(nullptr, site.Disk());
  const std::vector<std::string> before = site.Trace();

  EXPECT_EQ(info.GetConnectString("JAIL"), "Data Source=jailsrv;Initial Catalog=JAIL");

  // Nothing else on the lookup's session: no lock time-out, no option.
  const std::vector<std::string> sent = LinesAdded(before, site.Trace());
  ASSERT_EQ(sent.size(), 1u);
  // The layer sends the statement text with the line break of its last line.
  EXPECT_EQ(sent[0], "spid=" + std::to_string(SpidOf(sent[0])) +
                         " batch: SELECT ConnString, UseInitial FROM ConnectLib (readuncommitted) "
                         "WHERE ProgramID = 'JAIL'\\r\\n");
  // The stand-in reuses session ids as SQL Server does, and its trace does
  // not record a session's end: the closed connection shows on the wire.
  EXPECT_EQ(site.EstablishedConnections(), 0);
  const standin_test::OdbcTestConnection open(site.Server().port());
  EXPECT_EQ(site.EstablishedConnections(1), 1);
}

TEST(RegistryLookupSessionTest, ProgramListIsOneStatementOnASessionOfItsOwn) {
  SiteRegistry site;
  site.AddRows({kJail});
  TVtConfigInfo info(nullptr, site.Disk());
  const std::vector<std::string> before = site.Trace();

  TStrings programs;
  info.GetProgramList(programs);

  EXPECT_THAT(
      LinesAdded(before, site.Trace()),
      ElementsAre(HasSubstr(
          " batch: SELECT ProgramID FROM ConnectLib (readuncommitted) ORDER BY ProgramID")));
  EXPECT_EQ(site.EstablishedConnections(), 0);
}

TEST(RegistryLookupSessionTest, ChangedSettingsTakeEffectAtTheNextLookup) {
  SiteRegistry site;
  site.AddRows({kJail});
  TVtConfigInfo info(nullptr, site.Disk());
  EXPECT_EQ(info.GetConnectString("JAIL"), "Data Source=jailsrv;Initial Catalog=JAIL");
  // The lookup itself now goes to a database without the registry.
  info.SetConnectionStringOverlay("Initial Catalog=NOREGISTRY");
  EXPECT_THROW(info.GetConnectString("JAIL"), Exception);
}

struct ErrorCase {
  const char* name;
  std::string overlay;  // laid over the site string to make the lookup fail
  std::string message_part;
};

void PrintTo(const ErrorCase& c, std::ostream* os) {
  *os << c.name;
}

class RegistryErrorTest : public ::testing::TestWithParam<ErrorCase> {
 protected:
  // What the data-access layer itself raises for a query of ConnectLib on a
  // connection made with `AConnectString`.
  static std::string LayerMessage(const std::string& AConnectString) {
    TMSConnection connection(nullptr);
    connection.SetConnectString(AConnectString);
    const std::unique_ptr<TCustomDADataSet> query(connection.CreateDataSet(nullptr));
    query->SQL().SetText("SELECT ProgramID FROM ConnectLib");
    try {
      query->Open();
    } catch (const Exception& e) {
      return e.Message();
    }
    return "no error";
  }

  SiteRegistry FSite;
};

TEST_P(RegistryErrorTest, ReachTheCallerAndLeaveNothingOpen) {
  const ErrorCase& c = GetParam();
  FSite.AddRows({kJail});
  TVtConfigInfo info(nullptr, FSite.Disk());
  info.SetConnectionStringOverlay(c.overlay);
  const std::string expected = LayerMessage(info.ConnectionString());
  ASSERT_THAT(expected, HasSubstr(c.message_part));

  using Lookup = std::string (TVtConfigInfo::*)(const std::string&);
  for (Lookup lookup : {&TVtConfigInfo::GetConnectString, &TVtConfigInfo::GetHelpPath,
                        &TVtConfigInfo::GetLogPath}) {
    try {
      (info.*lookup)("JAIL");
      ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), expected);
    }
    EXPECT_EQ(FSite.EstablishedConnections(), 0);
  }

  TStrings programs;
  programs.Add("kept");
  try {
    info.GetProgramList(programs);
    ADD_FAILURE() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), expected);
  }
  EXPECT_THAT(Lines(programs), ElementsAre("kept"));
  EXPECT_EQ(FSite.EstablishedConnections(), 0);
}

INSTANTIATE_TEST_SUITE_P(Failures, RegistryErrorTest,
                         ::testing::Values(
                             // Port 1 on this machine: nothing listens there.
                             ErrorCase{"UnreachableServer", "Port=1", "Unable to connect"},
                             ErrorCase{"RefusedLogin", "User ID=nobody;Password=wrong",
                                       "Login failed for user 'nobody'"},
                             ErrorCase{"MissingTable", "Initial Catalog=NOREGISTRY",
                                       "Invalid object name 'ConnectLib'"}),
                         [](const auto& info) { return std::string(info.param.name); });

// A registry whose identifiers the layer cannot read as text: the query
// opens, and the list fails at its first row.
TEST(RegistryProgramListTest, KeepsTheCallersLinesWhenARowCannotBeRead) {
  SiteRegistry site;
  {
    standin_test::OdbcTestConnection setup(site.Server().port());
    setup.Exec("CREATE DATABASE BINARYIDS");
    setup.Exec("USE BINARYIDS");
    setup.Exec("CREATE TABLE ConnectLib (ProgramID varbinary(20))");
    setup.Exec("INSERT INTO ConnectLib VALUES (0x4A41494C)");
  }
  TVtConfigInfo info(nullptr, site.Disk());
  info.SetConnectionStringOverlay("Initial Catalog=BINARYIDS");
  TStrings programs;
  programs.Add("kept");
  EXPECT_THROW(info.GetProgramList(programs), EDatabaseError);
  EXPECT_THAT(Lines(programs), ElementsAre("kept"));
  EXPECT_EQ(site.EstablishedConnections(), 0);
}

}  // namespace
