// What the settings component reads from configuration files of every shape
// a site may hand it: encodings, line ends, comments, repeated keys and
// sections, missing values and the integer rule of the paging switch.
#include <gtest/gtest.h>
#include <locale.h>

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

#include <cstring>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>

#include "config/ini_file_exception.h"
#include "config/ini_text.h"
#include "config/vantor_ini.h"
#include "platform/file_open_error.h"
#include "scratch_dir.h"
#include "site_disk.h"

#if defined(_WIN32)
#include "platform/win32_text.h"
#include "win32_host.h"
#endif

namespace {

using config_test::ConfigFileOf;
using config_test::SiteDisk;
using platform_test::ScratchDir;

// Every key set, none to the values the cases expect.
constexpr std::string_view kFirstFile =
    "[Paths]\r\nHelpPath=first help\r\nLogPath=first log\r\nLibPath=first lib\r\n"
    "[Paging]\r\nEnabled=1\r\n[Server]\r\nServerKey=first key\r\n"
    "[DataProvider]\r\nConnStr=First=1\r\n";

std::string Utf16(std::u16string_view AText, bool ABigEndian) {
  std::string bytes = ABigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t unit : AText) {
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    bytes += ABigEndian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

constexpr std::u16string_view kUtf16Text =
    u"[Paths]\r\nHelpPath=C:\\Café\r\n[Server]\r\nServerKey=\U0001D11E key\r\n"
    u"[DataProvider]\r\nConnStr=Data Source=Zürich\r\n";

// [Paths] given twice with a hundred thousand other sections between.
std::string ManySectionsBetweenRepeats() {
  std::string text = "[Paths]\nHelpPath=h1\n";
  for (int i = 0; i < 100000; ++i) text += "[Section" + std::to_string(i) + "]\nKey=v\n";
  return text + "[PATHS]\nHelpPath=h2\nLogPath=l2\n[DataProvider]\nConnStr=A=1\n";
}

// The settings a file gives; a `conn_error` file raises the ConnStr error
// after assigning the rest.
struct FileCase {
  const char* name;
  std::string bytes;
  const char* help;
  const char* log;
  bool paging;
  const char* server_key;
  const char* lib;
  const char* conn;
  bool conn_error;
};

void PrintTo(const FileCase& c, std::ostream* os) {
  *os << c.name;
}

// A component that has read kFirstFile and may be pointed at other files.
class IniFileTest : public ::testing::TestWithParam<FileCase> {
 protected:
  IniFileTest() {
    FSite.AddFile("Vantor.Cfg/Vantor.ini", std::string(kFirstFile));
    FIni = std::make_unique<TVantorIni>(nullptr, FDisk);
    FIni->SetOverrideIniFileName(true);
  }

  // Writes `ABytes` to a file of the site and points the component at it.
  std::string Read(const std::string& ABytes) {
    FSite.AddFile("cases/Case.ini", ABytes);
    const std::string file = (FSite.Path() / "cases" / "Case.ini").string();
    FIni->SetVantorIni(file);
    return file;
  }

  ScratchDir FSite;
  SiteDisk FDisk{FSite.Path()};
  std::unique_ptr<TVantorIni> FIni;
};

TEST_P(IniFileTest, AssignsWhatTheFileHolds) {
  const FileCase& c = GetParam();
  if (c.conn_error) {
    const std::string file = (FSite.Path() / "cases" / "Case.ini").string();
    try {
      Read(c.bytes);
      FAIL() << "no error";
    } catch (const EIniFileException& e) {
      EXPECT_EQ(e.Message(),
                "Database connection information not found in " + file + " (DataProvider.ConnStr)");
    }
  } else {
    Read(c.bytes);
  }
  EXPECT_EQ(FIni->HelpFilePath(), c.help);
  EXPECT_EQ(FIni->LogFilePath(), c.log);
  EXPECT_EQ(FIni->PagingEnabled(), c.paging);
  EXPECT_EQ(FIni->ServerKey(), c.server_key);
  EXPECT_EQ(FIni->LibPathUnexpanded(), c.lib);
  EXPECT_EQ(FIni->ConnectionString(), c.conn);
}

INSTANTIATE_TEST_SUITE_P(
    Files, IniFileTest,
    ::testing::Values(
        FileCase{"NoMarkCrLf",
                 "[Paths]\r\nHelpPath=h\r\nLogPath=l\r\nLibPath=..\\Lib\r\n[Paging]\r\n"
                 "Enabled=0\r\n[Server]\r\nServerKey=k\r\n[DataProvider]\r\nConnStr=A=1\r\n",
                 "h", "l", false, "k", "..\\Lib", "A=1", false},
        FileCase{"Utf8Mark",
                 "\xEF\xBB\xBF[Paths]\nHelpPath=C:\\Café\n[DataProvider]\nConnStr=Data "
                 "Source=Zürich\n",
                 "C:\\Café", "", false, "", "", "Data Source=Zürich", false},
        FileCase{"Utf16LittleEndianMark", Utf16(kUtf16Text, false), "C:\\Café", "", false,
                 "\U0001D11E key", "", "Data Source=Zürich", false},
        FileCase{"Utf16BigEndianMark", Utf16(kUtf16Text, true), "C:\\Café", "", false,
                 "\U0001D11E key", "", "Data Source=Zürich", false},
        FileCase{"CrLineEnds", "[Paths]\rHelpPath=h\r[DataProvider]\rConnStr=A=1", "h", "", false,
                 "", "", "A=1", false},
        FileCase{"LfLineEnds", "[Paths]\nHelpPath=h\n\n[DataProvider]\nConnStr=A=1\n", "h", "",
                 false, "", "", "A=1", false},
        FileCase{"ConnStrMissing",
                 "[Paths]\nHelpPath=h\nLogPath=l\nLibPath=b\n[Paging]\nEnabled=1\n[Server]\n"
                 "ServerKey=k\n",
                 "h", "l", true, "k", "b", "", true},
        FileCase{"ConnStrEmpty",
                 "[Paths]\nHelpPath=h\nLogPath=l\nLibPath=b\n[Paging]\nEnabled=1\n[Server]\n"
                 "ServerKey=k\n[DataProvider]\nConnStr=\n",
                 "h", "l", true, "k", "b", "", true},
        FileCase{"ConnStrBlank",
                 "[Paths]\nHelpPath=h\nLogPath=l\nLibPath=b\n[Paging]\nEnabled=1\n[Server]\n"
                 "ServerKey=k\n[DataProvider]\nConnStr= \t  \n",
                 "h", "l", true, "k", "b", "", true},
        FileCase{"EmptyFile", "", "", "", false, "", "", "", true},
        FileCase{"Comments",
                 "; [DataProvider]\n[DataProvider]\n;ConnStr=commented\n  ; ConnStr=indented\n"
                 "ConnStr=A=1\n",
                 "", "", false, "", "", "A=1", false},
        FileCase{"LinesBeforeTheFirstSectionIgnored",
                 "HelpPath=early\nConnStr=early\n[DataProvider]\nConnStr=A=1\n", "", "", false, "",
                 "", "A=1", false},
        FileCase{"KeyGivenTwiceFirstCounts", "[DataProvider]\nConnStr=A=1\nConnStr=B=2\n", "", "",
                 false, "", "", "A=1", false},
        FileCase{"SectionGivenTwiceReadAsOne",
                 "[Paths]\nHelpPath=h1\n[DataProvider]\nConnStr=A=1\n[PATHS]\nHelpPath=h2\n"
                 "LogPath=l2\n",
                 "h1", "l2", false, "", "", "A=1", false},
        FileCase{"ManySectionsBetweenRepeats", ManySectionsBetweenRepeats(), "h1", "l2", false, "",
                 "", "A=1", false},
        FileCase{"EqualsInValue",
                 "[DataProvider]\nConnStr=Provider=SQLOLEDB;Data Source=S;Extra=a=b\n", "", "",
                 false, "", "", "Provider=SQLOLEDB;Data Source=S;Extra=a=b", false},
        FileCase{"NamesIgnoreCaseAndEverythingIsTrimmed",
                 "  [ dataprovider ]  \n \t CONNSTR   =   A=1  \n[PATHS]\nhelppath = h \n", "h", "",
                 false, "", "", "A=1", false},
        FileCase{"LinesThatAreNeitherIgnored",
                 "[Paths\nHelpPath=outside\n[DataProvider]\nConnStr\nConnStr=A=1\n", "", "", false,
                 "", "", "A=1", false}),
    [](const auto& info) { return std::string(info.param.name); });

struct EnabledCase {
  const char* name;
  const char* line;  // in [Paging]
  bool expected;
};

void PrintTo(const EnabledCase& c, std::ostream* os) {
  *os << c.name;
}

class EnabledTest : public ::testing::TestWithParam<EnabledCase> {};

TEST_P(EnabledTest, IsAnIntegerReadAsBoolean) {
  // The first file says Enabled=1, so False shows the file was read.
  ScratchDir site;
  site.AddFile("Vantor.Cfg/Vantor.ini", std::string(kFirstFile));
  const SiteDisk disk(site.Path());
  TVantorIni ini(nullptr, disk);
  ASSERT_TRUE(ini.PagingEnabled());
  site.AddFile("Vantor.Cfg/Vantor.ini",
               std::string("[Paging]\n") + GetParam().line + "\n[DataProvider]\nConnStr=A=1\n");
  ini.SetOverrideSettings(true);
  ini.SetOverrideSettings(false);
  EXPECT_EQ(ini.PagingEnabled(), GetParam().expected) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Values, EnabledTest,
    ::testing::Values(
        EnabledCase{"One", "Enabled=1", true}, EnabledCase{"MinusOne", "Enabled=-1", true},
        EnabledCase{"HexWithZeroX", "Enabled=0x10", true},
        EnabledCase{"HexWithDollar", "Enabled=$10", true},
        EnabledCase{"PlusSign", "Enabled=+7", true},
        EnabledCase{"UpperCaseHex", "Enabled=0XfF", true},
        EnabledCase{"AllBitsHex", "Enabled=$FFFFFFFF", true},
        EnabledCase{"Zero", "Enabled=0", false}, EnabledCase{"HexZero", "Enabled=$0", false},
        EnabledCase{"WordTrue", "Enabled=True", false},
        EnabledCase{"WordYes", "Enabled=yes", false}, EnabledCase{"Empty", "Enabled=", false},
        EnabledCase{"Missing", "Other=1", false}, EnabledCase{"SignAlone", "Enabled=-", false},
        EnabledCase{"PrefixAlone", "Enabled=0x", false},
        EnabledCase{"Fraction", "Enabled=1.5", false},
        EnabledCase{"BlankInside", "Enabled=1 0", false},
        EnabledCase{"Beyond32Bits", "Enabled=4294967296", false},
        EnabledCase{"HexBeyond32Bits", "Enabled=$100000000", false}),
    [](const auto& info) { return std::string(info.param.name); });

#if defined(_WIN32)
// GetACP names the code page; a program cannot change it.
TEST(IniTextTest, WithoutAMarkTheBytesAreInTheAnsiCodePage) {
  switch (GetACP()) {
    case 1252:
      EXPECT_EQ(IniTextFromBytes("Caf\xE9=\x80"), "Café=€");
      break;
    case 932:
      EXPECT_EQ(IniTextFromBytes("\x83\xB6=\x92\x86 \xB1"), "Ω=中 ｱ");
      break;
    case CP_UTF8:
      EXPECT_EQ(IniTextFromBytes("Café=1"), "Café=1");
      EXPECT_EQ(IniTextFromBytes("Caf\xE9=1"), "Caf\uFFFD=1");
      break;
    default:
      GTEST_SKIP() << "the ANSI code page is " << GetACP();
  }
}
#else
// Runs with LC_CTYPE set to `ALocale`, restoring the former one afterwards.
class CodePage {
 public:
  explicit CodePage(const char* ALocale) : FFormer(setlocale(LC_CTYPE, nullptr)) {
    FSet = setlocale(LC_CTYPE, ALocale) != nullptr;
  }
  ~CodePage() { setlocale(LC_CTYPE, FFormer.c_str()); }
  bool Set() const { return FSet; }

 private:
  std::string FFormer;
  bool FSet = false;
};

TEST(IniTextTest, WithoutAMarkTheBytesAreInTheAnsiCodePage) {
  {
    const CodePage ascii("C");
    ASSERT_TRUE(ascii.Set());
    EXPECT_EQ(IniTextFromBytes("Caf\xE9=1"), "Caf\uFFFD=1");
  }
  const CodePage utf8("C.UTF-8");
  if (!utf8.Set()) GTEST_SKIP() << "no C.UTF-8 locale";
  EXPECT_EQ(IniTextFromBytes("Café=1"), "Café=1");
}
#endif

TEST(IniTextTest, MarksAreDroppedAndOddBytesTolerated) {
  EXPECT_EQ(IniTextFromBytes("\xEF\xBB\xBF"), "");
  EXPECT_EQ(IniTextFromBytes(std::string("\xFF\xFE"
                                         "A\0B",
                                         5)),
            "A");  // the odd last byte goes
  // A lone surrogate cannot be told in UTF-8.
  EXPECT_EQ(IniTextFromBytes(std::string("\xFF\xFE\x00\xD8"
                                         "A\0",
                                         6)),
            "\uFFFDA");
  EXPECT_EQ(IniTextFromBytes(std::string("\xFE\xFF\xDC\x00\x00"
                                         "B",
                                         6)),
            "\uFFFDB");
}

#if defined(_WIN32)
// A file another program is writing exists, but the settings are not read
// from under a writer.
class UnopenableFile {
 public:
  explicit UnopenableFile(const std::string& AName)
      : FName(AName),
        FWriter(CreateFileW(platform::WideFromUtf8(AName).c_str(), GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_NEW, 0, nullptr)) {
    if (FWriter == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create " + AName);
  }
  ~UnopenableFile() { CloseHandle(FWriter); }
  UnopenableFile(const UnopenableFile&) = delete;
  UnopenableFile& operator=(const UnopenableFile&) = delete;

  static std::string Reason() { return platform_test::SystemText(ERROR_SHARING_VIOLATION); }

 private:
  std::string FName;
  HANDLE FWriter;
};
#else
// A socket exists as a file but cannot be opened, even by root.
class UnopenableFile {
 public:
  explicit UnopenableFile(const std::string& AName) : FSocket(socket(AF_UNIX, SOCK_STREAM, 0)) {
    if (FSocket < 0) throw std::runtime_error("no socket");
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, AName.c_str(), sizeof address.sun_path - 1);
    if (bind(FSocket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
      close(FSocket);
      throw std::runtime_error("cannot bind " + AName);
    }
  }
  ~UnopenableFile() { close(FSocket); }
  UnopenableFile(const UnopenableFile&) = delete;
  UnopenableFile& operator=(const UnopenableFile&) = delete;

  static std::string Reason() { return "No such device or address"; }

 private:
  int FSocket;
};
#endif

TEST(IniFileOpenTest, AnExistingFileThatCannotBeOpenedFailsKeepingTheValues) {
  ScratchDir site;
  site.AddFile("Vantor.Cfg/Vantor.ini", std::string(kFirstFile));
  const SiteDisk disk(site.Path());
  TVantorIni ini(nullptr, disk);
  const std::string unopenable = (site.Path() / "Unopenable.ini").string();
  const UnopenableFile file(unopenable);

  ini.SetOverrideIniFileName(true);
  try {
    ini.SetVantorIni(unopenable);
    FAIL() << "no error";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), "Cannot open file \"" + unopenable + "\". " + UnopenableFile::Reason());
  }
  EXPECT_EQ(ini.HelpFilePath(), "first help");
  EXPECT_EQ(ini.ConnectionString(), "First=1");
  EXPECT_TRUE(ini.PagingEnabled());
}

}  // namespace
