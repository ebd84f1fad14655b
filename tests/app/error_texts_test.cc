// The texts of the application's own error boxes.
#include "app/error_texts.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "db/errors/database_error.h"

namespace app_test {
namespace {

struct FullStopCase {
  const char* name;
  std::string message;
  std::string text;
};

// Test listings show the case by its name.
void PrintTo(const FullStopCase& ACase, std::ostream* AOut) {
  *AOut << ACase.name;
}

class DefaultHandlerBoxTest : public ::testing::TestWithParam<FullStopCase> {};

// A full stop follows a message ending in a character coded above ".".
TEST_P(DefaultHandlerBoxTest, ExceptionsShowTheirMessageUnderTheTitle) {
  const TErrorBox box =
      DefaultHandlerBox(std::make_exception_ptr(EDatabaseError(GetParam().message)));
  EXPECT_EQ(box.Caption, "Synch Property Locations");
  EXPECT_EQ(box.Text, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DefaultHandlerBoxTest,
    ::testing::Values(FullStopCase{"Letter", "Connection lost", "Connection lost."},
                      FullStopCase{"FullStop", "Done.", "Done."},
                      FullStopCase{"Blank", "Ends in a blank ", "Ends in a blank "},
                      FullStopCase{"Hyphen", "a-", "a-"}, FullStopCase{"Slash", "a/", "a/."},
                      FullStopCase{"Empty", "", ""},
                      FullStopCase{"NonAscii", "Zo\xC3\xAB", "Zo\xC3\xAB."}),
    [](const auto& AInfo) { return std::string(AInfo.param.name); });

TEST(DefaultHandlerBoxTest, OtherObjectsGoToTheApplicationErrorBox) {
  const TErrorBox standard = DefaultHandlerBox(std::make_exception_ptr(std::runtime_error("boom")));
  EXPECT_EQ(standard.Caption, "Application Error");
  EXPECT_EQ(standard.Text, "std::runtime_error: boom");
  const TErrorBox other = DefaultHandlerBox(std::make_exception_ptr(42));
  EXPECT_EQ(other.Caption, "Application Error");
  EXPECT_EQ(other.Text, "Unknown error");
}

TEST(ApplicationErrorTextTest, NamesTheClassAndTheMessage) {
  EXPECT_EQ(ApplicationErrorText(std::make_exception_ptr(EDatabaseError("No site database"))),
            "EDatabaseError: No site database");
}

}  // namespace
}  // namespace app_test
