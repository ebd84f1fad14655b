// The program's connection: where its connect string comes from in each
// combination of program name and link, what the stored description keeps,
// and the lookup made again at every opening, against a private stand-in.
#include "db/site/sql_database.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/description_reader.h"
#include "core/description_writer.h"
#include "core/exception.h"
#include "db/connect_string/settings.h"
#include "db/errors/database_error.h"
#include "db/locking/query.h"
#include "db/published/classes.h"
#include "standin_server.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

// A site configuration that answers from a table and notes every question.
class FakeLookup : public TComponent, public IVtConfigLookup {
 public:
  explicit FakeLookup(TComponent* AOwner) : TComponent(AOwner) {}

  std::string GetConnectString(const std::string& AProgramID) override {
    Asked.push_back(AProgramID);
    const auto found = Answers.find(AProgramID);
    return found == Answers.end() ? std::string() : found->second;
  }
  std::string GetHelpPath(const std::string& AProgramID) override { return AProgramID + ".hlp"; }
  std::string GetLogPath(const std::string& AProgramID) override { return AProgramID + ".log"; }
  TComponent& LookupComponent() override { return *this; }

  std::map<std::string, std::string> Answers = {
      {"JAIL", "Data Source=site;Initial Catalog=JAILDB"},
      {"BAD", "Bogus Key=1"},
  };
  std::vector<std::string> Asked;
};

constexpr const char* kDesigned = "Data Source=design;Initial Catalog=JAIL";
constexpr const char* kSiteAnswer = "Data Source=site;Initial Catalog=JAILDB";

// How ConnectString renders `AEntries` with the prompt switched as given:
// the prompt is a setting of the string too.
std::string Rendered(const std::string& AEntries, bool ALoginPrompt) {
  if (ALoginPrompt) return AEntries;
  return "Login Prompt=False" + (AEntries.empty() ? "" : ";" + AEntries);
}

TEST(VtSQLDatabaseTest, ConnectStringFollowsProgramNameAndLink) {
  using Steps = std::function<void(TVtSQLDatabase&, FakeLookup&)>;
  struct Case {
    const char* Name;
    Steps Run;
    std::vector<std::string> Asked;
    std::string ConnectString;
    bool LoginPrompt;  // the test sets it true before the steps
  } cases[] = {
      {"name without link changes nothing",
       [](TVtSQLDatabase& c, FakeLookup&) { c.SetProgramName("JAIL"); },
       {},
       kDesigned,
       true},
      {"emptying the name without link clears",
       [](TVtSQLDatabase& c, FakeLookup&) {
         c.SetProgramName("JAIL");
         c.SetProgramName("");
       },
       {},
       "",
       false},
      {"empty to empty changes nothing",
       [](TVtSQLDatabase& c, FakeLookup&) { c.SetProgramName(""); },
       {},
       kDesigned,
       true},
      {"link without name makes no lookup",
       [](TVtSQLDatabase& c, FakeLookup& l) { c.SetVtConfigInfo(&l); },
       {},
       kDesigned,
       true},
      {"name then link looks up",
       [](TVtSQLDatabase& c, FakeLookup& l) {
         c.SetProgramName("JAIL");
         c.SetVtConfigInfo(&l);
       },
       {"JAIL"},
       kSiteAnswer,
       false},
      {"link then name looks up",
       [](TVtSQLDatabase& c, FakeLookup& l) {
         c.SetVtConfigInfo(&l);
         c.SetProgramName("JAIL");
       },
       {"JAIL"},
       kSiteAnswer,
       false},
      {"renaming looks up again",
       [](TVtSQLDatabase& c, FakeLookup& l) {
         c.SetVtConfigInfo(&l);
         c.SetProgramName("JAIL");
         c.SetProgramName("OTHER");
       },
       {"JAIL", "OTHER"},
       "",
       false},
      {"removing the link with a name clears",
       [](TVtSQLDatabase& c, FakeLookup& l) {
         c.SetVtConfigInfo(&l);
         c.SetProgramName("JAIL");
         c.SetVtConfigInfo(nullptr);
       },
       {"JAIL"},
       "",
       false},
      {"removing the link without a name changes nothing",
       [](TVtSQLDatabase& c, FakeLookup& l) {
         c.SetVtConfigInfo(&l);
         c.SetVtConfigInfo(nullptr);
       },
       {},
       kDesigned,
       true},
      {"emptying the name with a link clears without a lookup",
       [](TVtSQLDatabase& c, FakeLookup& l) {
         c.SetVtConfigInfo(&l);
         c.SetProgramName("JAIL");
         c.SetProgramName("");
       },
       {"JAIL"},
       "",
       false},
      {"a refused answer keeps the previous string and passes on",
       [](TVtSQLDatabase& c, FakeLookup& l) {
         c.SetVtConfigInfo(&l);
         EXPECT_THROW(c.SetProgramName("BAD"), Exception);
       },
       {"BAD"},
       kDesigned,
       true},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.Name);
    FakeLookup lookup(nullptr);
    TVtSQLDatabase connection(nullptr);
    connection.SetConnectString(kDesigned);
    connection.SetLoginPrompt(true);
    test.Run(connection, lookup);
    EXPECT_THAT(lookup.Asked, ElementsAreArray(test.Asked));
    EXPECT_EQ(connection.ConnectString(), Rendered(test.ConnectString, test.LoginPrompt));
    EXPECT_EQ(connection.LoginPrompt(), test.LoginPrompt);
  }
}

TEST(VtSQLDatabaseTest, EmptyAnswerResetsEverySetting) {
  FakeLookup lookup(nullptr);
  TVtSQLDatabase connection(nullptr);
  const TMSConnectionSettings fresh = SettingsOf(connection);
  connection.SetConnectString("Data Source=x;Initial Catalog=y;User ID=u;Password=p;Port=1500");
  connection.SetAuthentication(auWindows);
  connection.Options().SetProvider(prNativeClient);
  connection.SetVtConfigInfo(&lookup);
  connection.SetProgramName("NOT REGISTERED");
  EXPECT_EQ(SettingsOf(connection), fresh);
}

TEST(VtSQLDatabaseTest, ConstructedWithoutPromptLinkOrDesignTimeDefaults) {
  TVtSQLDatabase connection(nullptr);
  EXPECT_FALSE(connection.LoginPrompt());
  EXPECT_EQ(connection.ConnectString(), Rendered("", false));
  EXPECT_EQ(connection.VtConfigInfo(), nullptr);
  EXPECT_FALSE(connection.Options().KeepDesignConnected());
  EXPECT_EQ(connection.Options().DefaultLockTimeout(), -1);
  EXPECT_EQ(connection.VtVersion(), "2.1");
  EXPECT_EQ(connection.HelpFilePath(), "");
  EXPECT_EQ(connection.LogFilePath(), "");
  FakeLookup lookup(nullptr);
  connection.SetVtConfigInfo(&lookup);
  connection.SetProgramName("JAIL");
  EXPECT_EQ(connection.HelpFilePath(), "JAIL.hlp");
  EXPECT_EQ(connection.LogFilePath(), "JAIL.log");
}

TEST(VtSQLDatabaseTest, CreateDataSetGivesAnUnownedLockingQueryBoundToIt) {
  TVtSQLDatabase connection(nullptr);
  std::unique_ptr<TCustomDADataSet> dataset(connection.CreateDataSet(nullptr));
  auto* query = dynamic_cast<TVtMSQuery*>(dataset.get());
  ASSERT_NE(query, nullptr);
  EXPECT_EQ(query->Owner(), nullptr);
  EXPECT_EQ(query->Connection(), &connection);
  EXPECT_TRUE(query->RecordLocksMake());
  EXPECT_FALSE(query->ComponentState().Contains(csDesigning));
}

TEST(VtSQLDatabaseTest, DesignerLinksTheOwnersConfiguration) {
  TComponent form(nullptr);
  form.SetDesigning(true);
  new TComponent(&form);
  auto* lookup = new FakeLookup(&form);
  auto* connection = new TVtSQLDatabase(&form);
  EXPECT_EQ(connection->VtConfigInfo(), lookup);
}

// Removing the linked configuration drops the link, and the connect string
// with it, in a designer only; whether the configuration has the
// connection's owner or another makes no difference.
TEST(VtSQLDatabaseTest, RemovingTheLinkedConfigurationDropsTheLinkInADesigner) {
  const struct {
    const char* Name;
    bool SameOwner;
    bool Designing;
  } cases[] = {
      {"same owner, designer", true, true},
      {"other owner, designer", false, true},
      {"same owner, run time", true, false},
      {"other owner, run time", false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TComponent form(nullptr);
    TComponent other(nullptr);
    auto* connection = new TVtSQLDatabase(&form);
    auto* lookup = new FakeLookup(c.SameOwner ? &form : &other);
    connection->SetDesigning(c.Designing);
    connection->SetProgramName("JAIL");
    connection->SetVtConfigInfo(lookup);
    ASSERT_EQ(connection->ConnectString(), Rendered(kSiteAnswer, false));
    delete lookup;
    if (c.Designing) {
      EXPECT_EQ(connection->VtConfigInfo(), nullptr);
      EXPECT_EQ(connection->ConnectString(), Rendered("", false));
    } else {
      EXPECT_NE(connection->VtConfigInfo(), nullptr);
      EXPECT_EQ(connection->ConnectString(), Rendered(kSiteAnswer, false));
    }
  }
}

TClassRegistry Classes() {
  TClassRegistry classes;
  RegisterConnectionClasses(classes);
  RegisterDataSetClasses(classes);
  RegisterVtDatabaseClasses(classes);
  classes.Component<FakeLookup>("TFakeLookup");
  return classes;
}

TEST(VtSQLDatabaseTest, StoredProviderKeepsItsFormAndVersionIsNeverStored) {
  struct Case {
    const char* Stored;  // the Options.Provider line, or empty for none
    TOLEDBProvider Provider;
    TNativeClientVersion NativeClientVersion;
    const char* Written;
  } cases[] = {
      {"'SQLOLEDB.1'", prSQL, ncAuto, "'SQLOLEDB.1'"},
      {"'sqlncli.1'", prNativeClient, ncAuto, "'SQLNCLI.1'"},
      {"prSQL", prSQL, ncAuto, "prSQL"},
      {"prNativeClient", prNativeClient, ncAuto, "prNativeClient"},
      {"prAuto", prAuto, ncAuto, ""},
      {"", prAuto, ncAuto, ""},
  };
  const TClassRegistry classes = Classes();
  for (const Case& test : cases) {
    SCOPED_TRACE(test.Stored);
    std::string text = "object dbJail: TVtSQLDatabase\n  Database = 'JAIL'\n";
    if (*test.Stored) text += std::string("  Options.Provider = ") + test.Stored + "\n";
    text += "end\n";
    TComponent owner(nullptr);
    const std::vector<TComponent*> read = ReadComponents(text, owner, classes);
    auto& connection = dynamic_cast<TVtSQLDatabase&>(*read.at(0));
    EXPECT_EQ(connection.Options().Provider(), test.Provider);
    EXPECT_EQ(connection.Options().NativeClientVersion(), test.NativeClientVersion);
    std::string expected = "object dbJail: TVtSQLDatabase\n  Database = 'JAIL'\n";
    if (*test.Written) expected += std::string("  Options.Provider = ") + test.Written + "\n";
    expected += "  LoginPrompt = False\nend\n";
    EXPECT_EQ(WriteComponent(connection, classes), expected);
  }
}

TEST(VtSQLDatabaseTest, WritingOptionsCopiesTheValuesButNotTheProvidersStoredForm) {
  const TClassRegistry classes = Classes();
  TComponent owner(nullptr);
  const std::vector<TComponent*> read = ReadComponents(
      "object dbJail: TVtSQLDatabase\n  Options.Provider = 'SQLOLEDB.1'\nend\n", owner, classes);
  auto& connection = dynamic_cast<TVtSQLDatabase&>(*read.at(0));
  TMSConnection source(nullptr);
  source.Options().SetProvider(prSQL);
  source.Options().SetKeepDesignConnected(true);
  source.Options().SetDefaultLockTimeout(5000);
  source.Options().SetApplicationName("nightly");
  source.Options().SetApplicationIntent(aiReadOnly);

  connection.SetOptions(source.Options());

  EXPECT_TRUE(connection.Options().KeepDesignConnected());
  EXPECT_EQ(connection.Options().DefaultLockTimeout(), 5000);
  EXPECT_EQ(connection.Options().ApplicationName(), "nightly");
  EXPECT_EQ(connection.Options().ApplicationIntent(), aiReadOnly);
  EXPECT_THAT(WriteComponent(connection, classes),
              ::testing::HasSubstr("  Options.Provider = 'SQLOLEDB.1'\n"));
}

TEST(VtSQLDatabaseTest, StoredProviderRefusesWhatNoProviderIs) {
  const TClassRegistry classes = Classes();
  for (const char* stored : {"prOther", "'MSDASQL.1'", "1"}) {
    SCOPED_TRACE(stored);
    TComponent owner(nullptr);
    const std::string text =
        std::string("object dbJail: TVtSQLDatabase\n  Options.Provider = ") + stored + "\nend\n";
    EXPECT_THROW(ReadComponents(text, owner, classes), Exception);
  }
}

TEST(VtSQLDatabaseTest, StoredConnectedStateIsDroppedWithTheActiveDataSet) {
  const TClassRegistry classes = Classes();
  TComponent owner(nullptr);
  const std::vector<TComponent*> read = ReadComponents(
      "object dbJail: TVtSQLDatabase\n"
      "  Server = 'nowhere'\n"
      "  Connected = True\n"
      "  LoginPrompt = False\n"
      "  ProgramName = 'JAIL'\n"
      "  VtConfigInfo = VtConfigInfo\n"
      "end\n"
      "object tbl: TVtMSTable\n"
      "  Connection = dbJail\n"
      "  TableName = 'CFGPROPL'\n"
      "  Active = True\n"
      "end\n"
      "object VtConfigInfo: TFakeLookup\n"
      "end\n",
      owner, classes);
  auto& connection = dynamic_cast<TVtSQLDatabase&>(*read.at(0));
  EXPECT_FALSE(connection.Connected());
  EXPECT_FALSE(dynamic_cast<TDataSet&>(*read.at(1)).Active());
  EXPECT_THAT(dynamic_cast<FakeLookup&>(*read.at(2)).Asked, ElementsAre("JAIL"));
  EXPECT_EQ(connection.ConnectString(), Rendered(kSiteAnswer, false));
  EXPECT_THAT(WriteComponent(connection, classes), ::testing::Not(HasSubstr("VtVersion")));
  EXPECT_THAT(WriteComponent(connection, classes), HasSubstr("  VtConfigInfo = VtConfigInfo\n"));
}

// Every opening asks the configuration again; without a link nobody is asked.
TEST(VtSQLDatabaseTest, EveryOpeningLooksUpAgain) {
  standin_test::StandinServer server;
  const std::string site =
      "Data Source=127.0.0.1;Port=" + std::to_string(server.port()) + ";User ID=sa";
  FakeLookup lookup(nullptr);
  lookup.Answers["JAIL"] = site;

  TVtSQLDatabase unlinked(nullptr);
  unlinked.SetConnectString(site);
  unlinked.SetProgramName("JAIL");
  unlinked.Connect();
  EXPECT_TRUE(unlinked.Connected());
  EXPECT_THAT(lookup.Asked, IsEmpty());

  TVtSQLDatabase connection(nullptr);
  connection.SetVtConfigInfo(&lookup);
  connection.SetProgramName("JAIL");
  connection.Connect();
  connection.Disconnect();
  std::unique_ptr<TCustomDADataSet> query(connection.CreateDataSet(nullptr));
  query->SQL().SetText("SELECT 1");
  query->Open();
  EXPECT_TRUE(connection.Connected());
  EXPECT_THAT(lookup.Asked, ElementsAre("JAIL", "JAIL", "JAIL"));

  // A name never set: the opening asks for the empty identifier, which has
  // no answer, and goes no further.
  TVtSQLDatabase nameless(nullptr);
  nameless.SetConnectString(site);
  nameless.SetVtConfigInfo(&lookup);
  EXPECT_THROW(nameless.Connect(), EDatabaseError);
  EXPECT_EQ(nameless.ConnectString(), Rendered("", false));
  EXPECT_EQ(lookup.Asked.back(), "");
}

// Linked to a configuration that has no connect string for the program, an
// opening fails naming the program and the registry, instead of trying the
// defaults (the local server as sa). Nothing is connected, through Connect
// or through a dataset.
TEST(VtSQLDatabaseTest, OpeningAnUnregisteredProgramNamesItAndTheRegistry) {
  struct Case {
    const char* program;
    const char* message;
  };
  const Case cases[] = {
      {"NOT REGISTERED", "No connection is registered for program NOT REGISTERED in ConnectLib"},
      {"EMPTY", "No connection is registered for program EMPTY in ConnectLib"},
      {"", "No connection is registered for program  in ConnectLib"},
  };
  FakeLookup lookup(nullptr);
  lookup.Answers["EMPTY"] = "";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.program);
    TVtSQLDatabase connection(nullptr);
    connection.SetVtConfigInfo(&lookup);
    connection.SetProgramName(c.program);
    const std::unique_ptr<TCustomDADataSet> query(connection.CreateDataSet(nullptr));
    query->SQL().SetText("SELECT 1");
    for (const std::function<void()>& open : std::vector<std::function<void()>>{
             [&] { connection.Connect(); }, [&] { query->Open(); }}) {
      try {
        open();
        ADD_FAILURE() << "connected";
      } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), c.message);
      }
      EXPECT_FALSE(connection.Connected());
    }
  }
}

}  // namespace
