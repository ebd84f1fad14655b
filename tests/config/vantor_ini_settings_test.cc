// Writing the settings component's properties: the guards and their exact
// messages, and what each write makes the component detect, locate and read.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

#include "config/ini_file_exception.h"
#include "config/vantor_ini.h"
#include "core/exception.h"
#include "scratch_dir.h"
#include "site_disk.h"

namespace {

using config_test::ConfigFileOf;
using config_test::MobileFileOf;
using config_test::SiteDisk;
using platform_test::ScratchDir;

constexpr const char* kSiteFile =
    "[Paths]\nHelpPath=site help\nLogPath=site log\nLibPath=site lib\n[Paging]\nEnabled=1\n"
    "[Server]\nServerKey=site key\n[DataProvider]\nConnStr=Site=1\n";

class VantorIniTest : public ::testing::Test {
 protected:
  VantorIniTest() { FSite.AddFile("Vantor.Cfg/Vantor.ini", kSiteFile); }

  ScratchDir FSite;
  SiteDisk FDisk{FSite.Path()};
};

struct GuardCase {
  const char* property;
  std::function<void(TVantorIni&)> write;
  std::function<std::string(const TVantorIni&)> read;  // the value, as text
};

void PrintTo(const GuardCase& c, std::ostream* os) {
  *os << c.property;
}

class SettingGuardTest : public VantorIniTest, public ::testing::WithParamInterface<GuardCase> {};

TEST_P(SettingGuardTest, RefusedWhileSettingsAreNotOverriddenAndKeepsTheValue) {
  const GuardCase& c = GetParam();
  TVantorIni ini(nullptr, FDisk);
  const std::string before = c.read(ini);
  try {
    c.write(ini);
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(),
              std::string("Cannot set ") + c.property + " when OverrideSettings is False");
  }
  EXPECT_EQ(c.read(ini), before);

  ini.SetOverrideSettings(true);
  c.write(ini);
  EXPECT_NE(c.read(ini), before);
}

std::string Text(bool AValue) {
  return AValue ? "True" : "False";
}

INSTANTIATE_TEST_SUITE_P(
    Settings, SettingGuardTest,
    ::testing::Values(GuardCase{"ConnectionString",
                                [](TVantorIni& A) { A.SetConnectionString("New=1"); },
                                [](const TVantorIni& A) { return A.ConnectionString(); }},
                      GuardCase{"HelpFilePath", [](TVantorIni& A) { A.SetHelpFilePath("new"); },
                                [](const TVantorIni& A) { return A.HelpFilePath(); }},
                      GuardCase{"IsMobile", [](TVantorIni& A) { A.SetIsMobile(true); },
                                [](const TVantorIni& A) { return Text(A.IsMobile()); }},
                      GuardCase{"LibPathUnexpanded",
                                [](TVantorIni& A) { A.SetLibPathUnexpanded("new"); },
                                [](const TVantorIni& A) { return A.LibPathUnexpanded(); }},
                      GuardCase{"LogFilePath", [](TVantorIni& A) { A.SetLogFilePath("new"); },
                                [](const TVantorIni& A) { return A.LogFilePath(); }},
                      GuardCase{"PagingEnabled", [](TVantorIni& A) { A.SetPagingEnabled(false); },
                                [](const TVantorIni& A) { return Text(A.PagingEnabled()); }},
                      GuardCase{"ServerKey", [](TVantorIni& A) { A.SetServerKey("new"); },
                                [](const TVantorIni& A) { return A.ServerKey(); }}),
    [](const auto& info) { return std::string(info.param.property); });

TEST_F(VantorIniTest, VantorIniIsRefusedWhileTheFileNameIsNotOverridden) {
  TVantorIni ini(nullptr, FDisk);
  FSite.AddFile("Other.ini", "[DataProvider]\nConnStr=Other=1\n");
  try {
    ini.SetVantorIni((FSite.Path() / "Other.ini").string());
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Cannot set VantorIni when OverrideIniFileName is False");
  }
  EXPECT_EQ(ini.VantorIni(), ConfigFileOf(FSite));
  EXPECT_EQ(ini.ConnectionString(), "Site=1");
}

TEST_F(VantorIniTest, VantorIniMustNameAFileAndIsShownQuoted) {
  TVantorIni ini(nullptr, FDisk);
  ini.SetOverrideIniFileName(true);
  const std::string missing = (FSite.Path() / "it's 'here'.ini").string();
  try {
    ini.SetVantorIni(missing);
    FAIL() << "no error";
  } catch (const EIniFileException& e) {
    const std::string doubled = (FSite.Path() / "it''s ''here''.ini").string();
    EXPECT_EQ(e.Message(), "File not found: '" + doubled + "'");
  }
  // A folder is no file.
  EXPECT_THROW(ini.SetVantorIni(FSite.Path().string()), EIniFileException);
  EXPECT_EQ(ini.VantorIni(), ConfigFileOf(FSite));
  EXPECT_EQ(ini.HelpFilePath(), "site help");
}

TEST_F(VantorIniTest, OverriddenConnectionStringTakesTheOverlayAndTheFileReplacesItAgain) {
  TVantorIni ini(nullptr, FDisk);
  ini.SetOverrideSettings(true);
  ini.SetConnectionString("A=1");
  ini.SetConnectionStringOverlay("B=2");
  EXPECT_EQ(ini.ConnectionString(), "A=1;B=2");
  ini.SetOverrideSettings(false);
  EXPECT_EQ(ini.ConnectionString(), "Site=1;B=2");
  EXPECT_EQ(ini.ConnectionStringOverlay(), "B=2");
  // The overlay is applied on every read, to whatever the base is then.
  ini.SetConnectionStringOverlay("Site=;C=3");
  EXPECT_EQ(ini.ConnectionString(), "C=3");
}

TEST_F(VantorIniTest, IsMobileIsOnlyAReport) {
  TVantorIni ini(nullptr, FDisk);
  ini.SetOverrideSettings(true);
  ini.SetIsMobile(true);
  ini.SetOverrideIniFileName(true);
  ini.SetOverrideIniFileName(false);  // locates again, without a look at IsMobile
  EXPECT_TRUE(ini.IsMobile());
  EXPECT_EQ(ini.VantorIni(), ConfigFileOf(FSite));
}

// One write (or read) and what it made the component do. Before it, a
// mobile file appears beside the program and the site file changes, so:
// detecting turns IsMobile on, locating finds the mobile file, and reading
// brings the help path of whichever file is in use then.
struct EventCase {
  const char* name;
  bool override_settings;       // before the event
  bool override_ini_file_name;  // before the event
  std::function<void(TVantorIni&, const std::string& ASiteFile)> event;
  bool detects;
  bool locates;
  bool reads;
};

void PrintTo(const EventCase& c, std::ostream* os) {
  *os << c.name;
}

class RereadTest : public VantorIniTest, public ::testing::WithParamInterface<EventCase> {};

TEST_P(RereadTest, DetectsLocatesAndReadsAsTheEventDemands) {
  const EventCase& c = GetParam();
  TVantorIni ini(nullptr, FDisk);
  ini.SetOverrideIniFileName(c.override_ini_file_name);
  ini.SetOverrideSettings(c.override_settings);
  ASSERT_FALSE(ini.IsMobile());
  ASSERT_EQ(ini.HelpFilePath(), "site help");

  FSite.AddFile("VANTOR.APP/Jail/Rovane.ini",
                "[Paths]\nHelpPath=mobile\n[DataProvider]\nConnStr=M=1\n");
  FSite.AddFile("Vantor.Cfg/Vantor.ini",
                "[Paths]\nHelpPath=changed\n[DataProvider]\nConnStr=C=1\n");
  c.event(ini, ConfigFileOf(FSite));

  EXPECT_EQ(ini.IsMobile(), c.detects);
  EXPECT_EQ(ini.VantorIni(), c.locates ? MobileFileOf(FSite) : ConfigFileOf(FSite));
  const char* read = c.locates ? "mobile" : "changed";
  EXPECT_EQ(ini.HelpFilePath(), c.reads ? read : "site help");
}

INSTANTIATE_TEST_SUITE_P(
    Events, RereadTest,
    ::testing::Values(
        EventCase{"Loaded", false, false, [](TVantorIni& A, auto&) { A.Loaded(); }, true, true,
                  true},
        EventCase{"LoadedWithSettingsOverridden", true, false,
                  [](TVantorIni& A, auto&) { A.Loaded(); }, false, true, false},
        EventCase{"LoadedWithFileNameOverridden", false, true,
                  [](TVantorIni& A, auto&) { A.Loaded(); }, true, false, true},
        EventCase{"FileNameOverrideOff", false, true,
                  [](TVantorIni& A, auto&) { A.SetOverrideIniFileName(false); }, true, true, true},
        EventCase{"FileNameOverrideOffWithSettingsOverridden", true, true,
                  [](TVantorIni& A, auto&) { A.SetOverrideIniFileName(false); }, false, true,
                  false},
        EventCase{"FileNameOverrideOn", false, false,
                  [](TVantorIni& A, auto&) { A.SetOverrideIniFileName(true); }, true, false, false},
        EventCase{"FileNameOverrideOnWithSettingsOverridden", true, false,
                  [](TVantorIni& A, auto&) { A.SetOverrideIniFileName(true); }, false, false,
                  false},
        EventCase{"SettingsOverrideOff", true, false,
                  [](TVantorIni& A, auto&) { A.SetOverrideSettings(false); }, false, false, true},
        EventCase{"SettingsOverrideOn", false, false,
                  [](TVantorIni& A, auto&) { A.SetOverrideSettings(true); }, false, false, false},
        EventCase{"VantorIni", false, true,
                  [](TVantorIni& A, const std::string& AFile) { A.SetVantorIni(AFile); }, false,
                  false, true},
        EventCase{"VantorIniWithSettingsOverridden", true, true,
                  [](TVantorIni& A, const std::string& AFile) { A.SetVantorIni(AFile); }, false,
                  false, false},
        EventCase{"Overlay", false, false,
                  [](TVantorIni& A, auto&) { A.SetConnectionStringOverlay("X=1"); }, false, false,
                  false},
        EventCase{"ReadingEveryProperty", false, false,
                  [](TVantorIni& A, auto&) {
                    (void)A.ConnectionString();
                    (void)A.LibPath();
                    (void)A.VantorIni();
                  },
                  false, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
