// Reading a whole file on a POSIX host: every byte as it is, and the open
// errors the settings component reports, also for what is no file of
// settings.
#include "platform/whole_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <ostream>
#include <stop_token>
#include <string>
#include <thread>

#include "platform/file_open_error.h"
#include "scratch_dir.h"

namespace {

using platform_test::ScratchDir;

TEST(WholeFileTest, ReadsEveryByte) {
  const ScratchDir dir;
  std::string bytes(200000, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7);
  dir.AddFile("big.bin", bytes);
  EXPECT_EQ(platform::ReadWholeFile((dir.Path() / "big.bin").string()), bytes);
  dir.AddFile("empty.ini");
  EXPECT_EQ(platform::ReadWholeFile((dir.Path() / "empty.ini").string()), "");
}

TEST(WholeFileTest, AMissingFileNamesItsFullPathAndTheReason) {
  const ScratchDir dir;
  const platform_test::CurrentDirectory inside(dir.Path());
  try {
    platform::ReadWholeFile("sub/../missing.ini");
    FAIL() << "no error";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), "Cannot open file \"" + (dir.Path() / "missing.ini").string() +
                               "\". No such file or directory");
  }
}

// Keeps writing to the named pipe `APipe` until it goes, as a program that
// never stops producing output would.
class EndlessWriter {
 public:
  explicit EndlessWriter(const std::string& APipe)
      : FDescriptor(open(APipe.c_str(), O_RDWR | O_NONBLOCK)),
        FWriter([this](std::stop_token AStop) {
          const std::string line = "[DataProvider]\nKey=value\n";
          while (!AStop.stop_requested()) {
            if (write(FDescriptor, line.data(), line.size()) < 0) std::this_thread::yield();
          }
        }) {}
  ~EndlessWriter() {
    FWriter.request_stop();
    FWriter.join();
    close(FDescriptor);
  }

 private:
  int FDescriptor;
  std::jthread FWriter;
};

struct RefusalCase {
  const char* name;
  // Makes the thing to read in `ADir` (or names one elsewhere); gives its name.
  std::string (*make)(const ScratchDir& ADir);
  bool endless_writer;
  const char* reason;
};

void PrintTo(const RefusalCase& c, std::ostream* os) {
  *os << c.name;
}

std::string NewPipe(const ScratchDir& ADir) {
  const std::string pipe = (ADir.Path() / "Vantor.ini").string();
  if (mkfifo(pipe.c_str(), 0600) != 0) ADD_FAILURE() << "no pipe";
  return pipe;
}

class WholeFileRefusalTest : public ::testing::TestWithParam<RefusalCase> {};

// What is not a file of settings is refused at once, not read until memory
// runs out, and not waited for.
TEST_P(WholeFileRefusalTest, NamesTheFileAndWhyNot) {
  const RefusalCase& c = GetParam();
  const ScratchDir dir;
  const std::string name = c.make(dir);
  std::optional<EndlessWriter> writer;
  if (c.endless_writer) writer.emplace(name);
  try {
    platform::ReadWholeFile(name);
    FAIL() << "no error";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), "Cannot open file \"" + name + "\". " + c.reason);
  }
}

INSTANTIATE_TEST_SUITE_P(
    NotSettings, WholeFileRefusalTest,
    ::testing::Values(
        RefusalCase{"EndlessDevice", [](const ScratchDir&) { return std::string("/dev/zero"); },
                    false, "Not a regular file"},
        RefusalCase{"PipeWithoutAWriter", NewPipe, false, "Not a regular file"},
        RefusalCase{"PipeWithAnEndlessWriter", NewPipe, true, "Not a regular file"},
        RefusalCase{"Folder", [](const ScratchDir& ADir) { return ADir.Path().string(); }, false,
                    "Not a regular file"},
        RefusalCase{"LargerThanTheLimit",
                    [](const ScratchDir& ADir) {
                      ADir.AddFile("Vantor.ini");
                      const std::filesystem::path file = ADir.Path() / "Vantor.ini";
                      std::filesystem::resize_file(file, platform::kWholeFileLimit + 1);
                      return file.string();
                    },
                    false, "File larger than 16 MiB"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WholeFileTest, AFileOfTheLimitsSizeIsReadWhole) {
  const ScratchDir dir;
  dir.AddFile("Vantor.ini");
  const std::filesystem::path file = dir.Path() / "Vantor.ini";
  std::filesystem::resize_file(file, platform::kWholeFileLimit);
  EXPECT_EQ(platform::ReadWholeFile(file.string()).size(), platform::kWholeFileLimit);
}

}  // namespace
