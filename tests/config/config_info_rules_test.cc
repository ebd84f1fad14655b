// What TVtCustomConfigInfo makes of a lookup's answer, with the registry
// replaced by a recording stand-in; and TVtConfigInfo restored from a stored
// description as the main window restores it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "config/published_config.h"
#include "config/vt_config_info.h"
#include "config/vt_custom_config_info.h"
#include "core/description_reader.h"
#include "core/description_writer.h"
#include "scratch_dir.h"
#include "site_disk.h"

namespace {

using config_test::SiteDisk;
using platform_test::CurrentDirectory;
using platform_test::ScratchDir;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr const char* kSiteFile =
    "[Paths]\nHelpPath=site.chm\nLogPath=site.log\n[DataProvider]\nConnStr=Data Source=site\n";

struct Lookup {
  std::string program, field, fallback;
  bool operator==(const Lookup&) const = default;
};

void PrintTo(const Lookup& l, std::ostream* os) {
  *os << "(" << l.program << ", " << l.field << ", " << l.fallback << ")";
}

// Answers every lookup as a row would: with the fallback when `UseInitial`,
// else with `Registered`; keeps the questions.
class TRecordingConfigInfo : public TVtCustomConfigInfo {
 public:
  using TVtCustomConfigInfo::TVtCustomConfigInfo;

  std::string LookupProgramValue(const std::string& AProgramID, const std::string& AFieldName,
                                 const std::string& ADefault) override {
    Asked.push_back({AProgramID, AFieldName, ADefault});
    return UseInitial ? ADefault : Registered;
  }
  void GetProgramList(TStrings&) override {}

  bool UseInitial = false;
  std::string Registered;
  std::vector<Lookup> Asked;
};

class ConfigInfoRulesTest : public ::testing::Test {
 protected:
  ConfigInfoRulesTest() { FSite.AddFile("Vantor.Cfg/Vantor.ini", kSiteFile); }

  // A component on the site whose base connection string is `ABase`.
  TRecordingConfigInfo& Info(const std::string& ABase, const std::string& AOverlay) {
    FInfo = std::make_unique<TRecordingConfigInfo>(nullptr, FDisk);
    FInfo->SetOverrideSettings(true);
    FInfo->SetConnectionString(ABase);
    FInfo->SetConnectionStringOverlay(AOverlay);
    return *FInfo;
  }

  ScratchDir FSite;
  SiteDisk FDisk{FSite.Path()};
  std::unique_ptr<TRecordingConfigInfo> FInfo;
};

struct ConnectCase {
  const char* name;
  std::string base, overlay, program;
  bool use_initial;
  std::string registered;
  std::string expected;
  bool asked;
};

void PrintTo(const ConnectCase& c, std::ostream* os) {
  *os << c.name;
}

class ConnectStringRuleTest : public ConfigInfoRulesTest,
                              public ::testing::WithParamInterface<ConnectCase> {};

TEST_P(ConnectStringRuleTest, OverlaysTheAnswerOrGivesNothing) {
  const ConnectCase& c = GetParam();
  TRecordingConfigInfo& info = Info(c.base, c.overlay);
  info.UseInitial = c.use_initial;
  info.Registered = c.registered;
  EXPECT_EQ(info.GetConnectString(c.program), c.expected);
  if (c.asked) {
    EXPECT_THAT(info.Asked, ElementsAre(Lookup{c.program, "ConnString", info.ConnectionString()}));
  } else {
    EXPECT_THAT(info.Asked, IsEmpty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ConnectStringRuleTest,
    ::testing::Values(ConnectCase{"RegisteredGetsTheOverlay", "Data Source=site", "B=2", "JAIL",
                                  false, "A=1", "A=1;B=2", true},
                      ConnectCase{"NothingRegisteredGivesNothing", "Data Source=site", "B=2",
                                  "JAIL", false, "", "", true},
                      // The site string, overlaid once already, is overlaid again: the
                      // overlay's empty X removes one X entry each time.
                      ConnectCase{"UseInitialOverlaysTheSiteStringTwice", "X=1;X=2;X=3",
                                  "X=", "JAIL", true, "", "X=3", true},
                      ConnectCase{"UseInitialWithoutOverlay", "Data Source=site", "", "JAIL", true,
                                  "", "Data Source=site", true},
                      ConnectCase{"EmptyProgramAsksNothing", "Data Source=site", "", "", false,
                                  "A=1", "", false},
                      // The overlay empties the site string.
                      ConnectCase{"EmptySiteStringAsksNothing", "Data Source=site",
                                  "Data Source=", "JAIL", false, "A=1", "", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConfigInfoRulesTest, HelpAndLogPathsFallBackToTheSitesWithoutOverlay) {
  TRecordingConfigInfo& info = Info("Data Source=site", "A=9");
  info.Registered = "A=1";
  EXPECT_EQ(info.GetHelpPath("JAIL"), "A=1");
  EXPECT_EQ(info.GetLogPath("JAIL"), "A=1");
  info.UseInitial = true;
  EXPECT_EQ(info.GetHelpPath("JAIL"), "site.chm");
  EXPECT_EQ(info.GetLogPath("JAIL"), "site.log");
  EXPECT_EQ(info.GetHelpPath(""), "");
  EXPECT_THAT(
      info.Asked,
      ElementsAre(Lookup{"JAIL", "HelpFile", "site.chm"}, Lookup{"JAIL", "LogFile", "site.log"},
                  Lookup{"JAIL", "HelpFile", "site.chm"}, Lookup{"JAIL", "LogFile", "site.log"}));

  info.SetConnectionStringOverlay("Data Source=");
  EXPECT_EQ(info.GetHelpPath("JAIL"), "");
  EXPECT_EQ(info.GetLogPath("JAIL"), "");
  EXPECT_EQ(info.Asked.size(), 4u);
}

// The window's VtConfigInfo: restored by class name with no stored values,
// it finds the site file the way the program does (here the relative
// Vantor.Cfg folder of the current directory, since the test program lies
// in no VANTOR.APP folder), and a designer's SkipLookups is never stored.
TEST(VtConfigInfoDescriptionTest, RestoredFromTheWindowsDescription) {
  ScratchDir site;
  site.AddFile("Vantor.Cfg/Vantor.ini", kSiteFile);
  const CurrentDirectory current(site.Path());
  TClassRegistry classes;
  RegisterConfigClasses(classes);
  TComponent owner(nullptr);

  const std::vector<TComponent*> restored =
      ReadComponents("object VtConfigInfo: TVtConfigInfo\nend\n", owner, classes);

  ASSERT_EQ(restored.size(), 1u);
  auto& info = dynamic_cast<TVtConfigInfo&>(*restored[0]);
  EXPECT_EQ(info.ConnectionString(), "Data Source=site");
  EXPECT_EQ(info.VtVersion(), "2.1");
  info.SetDesigning(true);
  info.SetSkipLookups(true);
  EXPECT_EQ(WriteComponent(info, classes), "object VtConfigInfo: TVtConfigInfo\nend\n");
  info.SetSkipLookups(false);
}

}  // namespace
