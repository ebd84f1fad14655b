// The settings component's two ways into being: created in code, it has
// read its file when the constructor returns; restored from a stored
// description, it reads once in its constructor and again when loading
// ends, so a failure in the first read already ends the load. And what a
// description stores of it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/ini_file_exception.h"
#include "config/published_config.h"
#include "config/vantor_ini.h"
#include "core/description_reader.h"
#include "core/description_writer.h"
#include "scratch_dir.h"
#include "site_disk.h"

namespace {

using config_test::ConfigFileOf;
using config_test::SiteDisk;
using platform_test::ScratchDir;

constexpr const char* kSiteFile =
    "[Paths]\nHelpPath=site help\n[DataProvider]\nConnStr=Data Source=JAILSRV\n";

// The disk the restored components see; set by the fixture.
const SiteDisk* gDisk = nullptr;

// TVantorIni on the test's site.
class TSiteIni : public TVantorIni {
 public:
  explicit TSiteIni(TComponent* AOwner) : TVantorIni(AOwner, *gDisk) {}
};

class VantorIniLoadingTest : public ::testing::Test {
 protected:
  VantorIniLoadingTest() {
    RegisterConfigClasses(FClasses);
    FClasses.Component<TSiteIni>("TSiteIni", "TVantorIni");
    gDisk = &FDisk;
  }
  ~VantorIniLoadingTest() override {
    FOwner.DestroyComponents();
    gDisk = nullptr;
  }

  // Restores the one component `ABody` describes ("  Entry = value" lines).
  TSiteIni& Restore(const std::string& ABody) {
    const std::vector<TComponent*> created =
        ReadComponents("object VtConfigInfo: TSiteIni\n" + ABody + "end\n", FOwner, FClasses);
    return dynamic_cast<TSiteIni&>(*created.at(0));
  }

  // How often the site's file was read.
  int Reads() const { return FDisk.TimesLookedFor(ConfigFileOf(FSite)); }

  ScratchDir FSite;
  SiteDisk FDisk{FSite.Path()};
  TClassRegistry FClasses;
  TComponent FOwner{nullptr};
};

TEST_F(VantorIniLoadingTest, CreatedInCodeItHasReadItsFileOnReturn) {
  FSite.AddFile("Vantor.Cfg/Vantor.ini", kSiteFile);
  const TVantorIni ini(nullptr, FDisk);
  EXPECT_EQ(Reads(), 1);
  EXPECT_EQ(ini.VantorIni(), ConfigFileOf(FSite));
  EXPECT_EQ(ini.ConnectionString(), "Data Source=JAILSRV");
  EXPECT_EQ(ini.HelpFilePath(), "site help");
  EXPECT_FALSE(ini.ComponentState().Contains(csLoading));
}

TEST_F(VantorIniLoadingTest, CreatedInCodeWithoutAFileItFails) {
  try {
    const TVantorIni ini(nullptr, FDisk);
    FAIL() << "no error";
  } catch (const EIniFileException& e) {
    EXPECT_EQ(e.Message(), "Vantor.ini not found.");
  }
}

TEST_F(VantorIniLoadingTest, MobileFileThatVanishesDuringTheSearchFails) {
  // Seen by the mobile test, gone when the search looks again.
  class VanishingMobileDisk : public SiteDisk {
   public:
    using SiteDisk::SiteDisk;
    std::optional<std::string> FindFile(const std::string& AFileName) const override {
      if (AFileName.ends_with("Rovane.ini") && ++FAsked > 2) return std::nullopt;
      return SiteDisk::FindFile(AFileName);
    }

   private:
    mutable int FAsked = 0;
  };
  FSite.AddFile("VANTOR.APP/Jail/Rovane.ini", kSiteFile);
  const VanishingMobileDisk disk(FSite.Path());
  try {
    const TVantorIni ini(nullptr, disk);
    FAIL() << "no error";
  } catch (const EIniFileException& e) {
    EXPECT_EQ(e.Message(), "Rovane.ini not found");
  }
}

TEST_F(VantorIniLoadingTest, RestoredItReadsInItsConstructorAndAgainWhenLoaded) {
  FSite.AddFile("Vantor.Cfg/Vantor.ini", kSiteFile);
  const TSiteIni& ini = Restore("");
  EXPECT_EQ(Reads(), 2);
  EXPECT_EQ(ini.ConnectionString(), "Data Source=JAILSRV");
  EXPECT_FALSE(ini.ComponentState().Contains(csLoading));
}

TEST_F(VantorIniLoadingTest, RestoredStoredValuesGoThroughTheSetters) {
  FSite.AddFile("Vantor.Cfg/Vantor.ini", kSiteFile);
  const TSiteIni& ini = Restore(
      "  OverrideSettings = True\n"
      "  ConnectionString = 'Data Source=DESIGN'\n"
      "  ConnectionStringOverlay = 'App=Jail'\n");
  // Read by the constructor only: Loaded reads nothing once settings are overridden.
  EXPECT_EQ(Reads(), 1);
  EXPECT_EQ(ini.ConnectionString(), "Data Source=DESIGN;App=Jail");
  EXPECT_EQ(ini.HelpFilePath(), "site help");
}

TEST_F(VantorIniLoadingTest, AFailedFirstReadEndsTheLoad) {
  EXPECT_THROW(Restore(""), EIniFileException);
  EXPECT_EQ(FOwner.ComponentCount(), 0);

  FSite.AddFile("Vantor.Cfg/Vantor.ini", "[Paths]\nHelpPath=h\n");
  try {
    Restore("  ConnectionStringOverlay = 'App=Jail'\n");
    FAIL() << "no error";
  } catch (const EIniFileException& e) {
    EXPECT_EQ(e.Message(), "Database connection information not found in " + ConfigFileOf(FSite) +
                               " (DataProvider.ConnStr)");
  }
  EXPECT_EQ(Reads(), 1);  // never got to its stored values or Loaded
  EXPECT_EQ(FOwner.ComponentCount(), 0);
}

TEST_F(VantorIniLoadingTest, AStoredSettingWithoutItsOverrideEndsTheLoad) {
  FSite.AddFile("Vantor.Cfg/Vantor.ini", kSiteFile);
  try {
    Restore("  HelpFilePath = 'designer help'\n");
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Cannot set HelpFilePath when OverrideSettings is False");
  }
  EXPECT_EQ(FOwner.ComponentCount(), 0);
}

TEST_F(VantorIniLoadingTest, SettingsAreStoredOnlyWhileOverridden) {
  FSite.AddFile("Vantor.Cfg/Vantor.ini",
                "[Paths]\nHelpPath=h\nLogPath=l\nLibPath=b\n[Paging]\nEnabled=1\n[Server]\n"
                "ServerKey=k\n[DataProvider]\nConnStr=A=1\n");
  TSiteIni& ini = Restore("  ConnectionStringOverlay = 'B=2'\n");
  // Read from the file, so not stored; LibPath never is.
  EXPECT_EQ(WriteComponent(ini, FClasses),
            "object VtConfigInfo: TSiteIni\n"
            "  ConnectionStringOverlay = 'B=2'\n"
            "end\n");

  ini.SetOverrideSettings(true);
  ini.SetServerKey("");
  EXPECT_EQ(WriteComponent(ini, FClasses),
            "object VtConfigInfo: TSiteIni\n"
            "  OverrideSettings = True\n"
            "  PagingEnabled = True\n"
            "  ConnectionString = 'A=1;B=2'\n"
            "  ConnectionStringOverlay = 'B=2'\n"
            "  HelpFilePath = 'h'\n"
            "  LogFilePath = 'l'\n"
            "  LibPathUnexpanded = 'b'\n"
            "end\n");

  ini.SetOverrideIniFileName(true);
  ini.SetOverrideSettings(false);
  EXPECT_EQ(WriteComponent(ini, FClasses),
            "object VtConfigInfo: TSiteIni\n"
            "  OverrideIniFileName = True\n"
            "  VantorIni = '" +
                ConfigFileOf(FSite) +
                "'\n"
                "  ConnectionStringOverlay = 'B=2'\n"
                "end\n");
}

TEST_F(VantorIniLoadingTest, LibPathCannotBeStored) {
  FSite.AddFile("Vantor.Cfg/Vantor.ini", kSiteFile);
  EXPECT_THROW(Restore("  LibPath = 'x'\n"), Exception);
  EXPECT_EQ(FOwner.ComponentCount(), 0);
}

}  // namespace
