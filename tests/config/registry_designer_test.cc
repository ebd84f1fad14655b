// A failed lookup in a visual designer: shown in the designer's dialog
// instead of raised, with the offer to skip the lookups of every instance
// from then on. At run time none of this exists.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/lookup_error_dialog.h"
#include "config/vt_config_info.h"
#include "core/exception.h"
#include "site_registry.h"

namespace {

using config_test::LinesAdded;
using config_test::SiteRegistry;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Answers every question with `answer` and keeps the questions.
class AnsweringDialog : public TLookupErrorDialog {
 public:
  explicit AnsweringDialog(bool AAnswer) : answer(AAnswer) {}
  bool AskYesNo(const std::string& AText) override {
    asked.push_back(AText);
    return answer;
  }

  bool answer;
  std::vector<std::string> asked;
};

class RegistryDesignerTest : public ::testing::Test {
 protected:
  RegistryDesignerTest() {
    FSite.AddRows({{"JAIL", "Data Source=jailsrv", "jail.chm", "jail.log", false}});
  }
  // The flag is shared by every instance in the process.
  ~RegistryDesignerTest() override { Designed().SetSkipLookups(false); }

  // A component hosted in the designer, whose lookups go to a database
  // without the registry.
  TVtConfigInfo& Designed(TLookupErrorDialog* ADialog = nullptr) {
    auto* info = new TVtConfigInfo(&FOwner, FSite.Disk());
    info->SetDesigning(true);
    info->SetLookupErrorDialog(ADialog);
    info->SetConnectionStringOverlay("Initial Catalog=NOREGISTRY");
    return *info;
  }

  // The message of the error a lookup for JAIL raises at run time.
  std::string RunTimeError() {
    TVtConfigInfo info(nullptr, FSite.Disk());
    info.SetConnectionStringOverlay("Initial Catalog=NOREGISTRY");
    try {
      info.GetConnectString("JAIL");
    } catch (const Exception& e) {
      return e.Message();
    }
    return "no error";
  }

  SiteRegistry FSite;
  TComponent FOwner{nullptr};
};

TEST_F(RegistryDesignerTest, NoShowsTheErrorAndAsksAgainNextTime) {
  AnsweringDialog dialog(false);
  TVtConfigInfo& info = Designed(&dialog);
  TStrings programs;
  programs.Add("kept");

  EXPECT_EQ(info.GetConnectString("JAIL"), "");
  info.GetProgramList(programs);

  const std::string question =
      "Exception: " + RunTimeError() + "\r\n\r\nDo you want to skip similar lookup operations?";
  EXPECT_THAT(dialog.asked, ElementsAre(question, question));
  EXPECT_FALSE(info.SkipLookups());
  EXPECT_EQ(programs.Strings(0), "kept");
  EXPECT_EQ(FSite.EstablishedConnections(), 0);
}

TEST_F(RegistryDesignerTest, YesSilencesTheLookupsOfEveryDesignedInstance) {
  AnsweringDialog dialog(true);
  TVtConfigInfo& info = Designed(&dialog);
  EXPECT_EQ(info.GetHelpPath("JAIL"), "");
  ASSERT_EQ(dialog.asked.size(), 1u);

  AnsweringDialog other_dialog(true);
  TVtConfigInfo& other = Designed(&other_dialog);
  other.SetConnectionStringOverlay("");  // would succeed
  EXPECT_TRUE(other.SkipLookups());
  const std::vector<std::string> before = FSite.Trace();
  TStrings programs;
  programs.Add("kept");
  EXPECT_EQ(other.GetConnectString("JAIL"), "");
  other.GetProgramList(programs);
  EXPECT_THAT(LinesAdded(before, FSite.Trace()), IsEmpty());
  EXPECT_THAT(other_dialog.asked, IsEmpty());
  EXPECT_EQ(programs.Strings(0), "kept");

  // Written False again, lookups run again.
  other.SetSkipLookups(false);
  EXPECT_EQ(other.GetConnectString("JAIL"), "Data Source=jailsrv");
}

TEST_F(RegistryDesignerTest, AtRunTimeSkipLookupsReadsFalseAndErrorsPassOn) {
  AnsweringDialog dialog(true);
  Designed(&dialog).SetSkipLookups(true);

  TVtConfigInfo info(nullptr, FSite.Disk());
  info.SetLookupErrorDialog(&dialog);
  info.SetSkipLookups(true);
  EXPECT_FALSE(info.SkipLookups());
  EXPECT_EQ(info.GetConnectString("JAIL"), "Data Source=jailsrv");

  info.SetConnectionStringOverlay("Initial Catalog=NOREGISTRY");
  EXPECT_THROW(info.GetConnectString("JAIL"), Exception);
  EXPECT_THAT(dialog.asked, IsEmpty());
}

TEST_F(RegistryDesignerTest, WithoutADialogErrorsPassOnInTheDesignerToo) {
  EXPECT_THROW(Designed().GetConnectString("JAIL"), Exception);
  EXPECT_FALSE(Designed().SkipLookups());
}

}  // namespace
