// Restoring stored descriptions: the three rounds in order, references by
// name, and every way a description can be wrong ending the load with a
// message that names the line, leaving the owner as it was.
#include "core/description_reader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/exception.h"
#include "core/read_error.h"
#include "recording_component.h"

namespace core_test {
namespace {

using ::testing::ElementsAre;

class DescriptionReaderTest : public ::testing::Test {
 protected:
  DescriptionReaderTest() { TRecorder::Log = &FLog; }
  ~DescriptionReaderTest() override {
    FOwner.DestroyComponents();
    TRecorder::Log = nullptr;
  }

  std::vector<TComponent*> Read(const std::string& AText) {
    return ReadComponents(AText, FOwner, FClasses);
  }

  TClassRegistry FClasses = RecorderClasses();
  TComponent FOwner{nullptr};
  std::vector<std::string> FLog;
};

TEST_F(DescriptionReaderTest, CreatesAndAssignsThenResolvesThenFinishesLoadingInOrder) {
  const std::vector<TComponent*> created = Read(
      "// two components that refer to each other\n"
      "object First: TRecorder\n"
      "  Link = Second\n"
      "  Text = 'one'\n"
      "end\n"
      "\n"
      "object Second: TRecorder\n"
      "  Count = 3\n"
      "  Link = First\n"
      "end\n");
  // The constructor runs before the component is marked loading; stored
  // values come in stored order, references after every component exists.
  EXPECT_THAT(FLog,
              ElementsAre("create", "First Text (loading)", "create", "Second Count (loading)",
                          "First Link -> Second (loading)", "Second Link -> First (loading)",
                          "First Loaded (loading)", "Second Loaded (loading)"));
  ASSERT_EQ(created.size(), 2u);
  EXPECT_EQ(created[0], FOwner.Components(0));
  EXPECT_EQ(created[1]->Name(), "Second");
  for (TComponent* component : created) {
    EXPECT_FALSE(component->ComponentState().Contains(csLoading)) << component->Name();
  }
  const auto& first = dynamic_cast<const TRecorder&>(*created[0]);
  EXPECT_EQ(first.Text(), "one");
  EXPECT_EQ(first.Link(), created[1]);
}

TEST_F(DescriptionReaderTest, EachKindOfValueReachesItsProperty) {
  const std::vector<TComponent*> created = Read(
      "object A: TRecorder\n"
      "  Text = 'it''s'#13#10'two lines'\n"
      "  Count = -12\n"
      "  Flag = False\n"
      "  Color = ckBlue\n"
      "  Tags = [tgA, tgC]\n"
      "  Options.Level = 5\n"
      "end\n");
  const auto& a = dynamic_cast<const TRecorder&>(*created.at(0));
  EXPECT_EQ(a.Text(), "it's\r\ntwo lines");
  EXPECT_EQ(a.Count(), -12);
  EXPECT_FALSE(a.Flag());
  EXPECT_EQ(a.Color(), ckBlue);
  EXPECT_TRUE(a.Tags().Contains(tgA));
  EXPECT_FALSE(a.Tags().Contains(tgB));
  EXPECT_TRUE(a.Tags().Contains(tgC));
  EXPECT_EQ(a.Options().Level(), 5);
}

TEST_F(DescriptionReaderTest, ProviderEntryTakesAnIdentifierOrAString) {
  const std::vector<TComponent*> created = Read(
      "object ByIdent: TRecorder\n  Options.Provider = pkNative\nend\n"
      "object ByString: TRecorder\n  Options.Provider = 'SQLOLEDB.1'\nend\n");
  EXPECT_EQ(dynamic_cast<const TRecorder&>(*created.at(0)).Options().Provider(), pkNative);
  EXPECT_EQ(dynamic_cast<const TRecorder&>(*created.at(1)).Options().Provider(), pkSQL);
}

struct BadDescription {
  const char* Case;
  const char* Text;
  const char* Message;
};

class BadDescriptionTest : public DescriptionReaderTest,
                           public ::testing::WithParamInterface<BadDescription> {};

TEST_P(BadDescriptionTest, EndsTheLoadWithTheLineAndFreesWhatItCreated) {
  const BadDescription& bad = GetParam();
  try {
    Read(bad.Text);
    FAIL() << "no error";
  } catch (const EReadError& error) {
    EXPECT_EQ(error.Message(), bad.Message);
  }
  EXPECT_EQ(FOwner.ComponentCount(), 0);
}

constexpr const char* kOk = "object Ok: TRecorder\n  Text = 'x'\nend\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, BadDescriptionTest,
    ::testing::Values(
        BadDescription{"UnknownClass", "object A: TNothing\nend\n",
                       "Line 1: Class TNothing not found"},
        BadDescription{"UnknownProperty", "object A: TRecorder\n  Colour = ckRed\nend\n",
                       "Line 2: Error reading A.Colour: Property Colour does not exist"},
        BadDescription{"UnknownNestedProperty", "object A: TRecorder\n  Options.Depth = 1\nend\n",
                       "Line 2: Error reading A.Options.Depth: Property Depth does not exist"},
        BadDescription{"ValueOfANestedObject", "object A: TRecorder\n  Options = 1\nend\n",
                       "Line 2: Error reading A.Options: Invalid property value"},
        BadDescription{"StringForInteger", "object A: TRecorder\n  Count = '3'\nend\n",
                       "Line 2: Error reading A.Count: Invalid property value"},
        BadDescription{"IntegerOutOfRange", "object A: TRecorder\n  Count = 2147483648\nend\n",
                       "Line 2: Error reading A.Count: Invalid property value"},
        BadDescription{"UnknownEnumValue", "object A: TRecorder\n  Color = ckPink\nend\n",
                       "Line 2: Error reading A.Color: Invalid property value"},
        BadDescription{"NotABoolean", "object A: TRecorder\n  Flag = Yes\nend\n",
                       "Line 2: Error reading A.Flag: Invalid property value"},
        BadDescription{"UnknownSetElement", "object A: TRecorder\n  Tags = [tgA, tgZ]\nend\n",
                       "Line 2: Error reading A.Tags: Invalid property value"},
        BadDescription{"ProviderOfNeitherForm",
                       "object A: TRecorder\n  Options.Provider = 'Jet'\nend\n",
                       "Line 2: Error reading A.Options.Provider: Invalid property value"},
        BadDescription{"ReadOnlyProperty", "object A: TVtRecorder\n  VtVersion = '2.2'\nend\n",
                       "Line 2: Error reading A.VtVersion: Property VtVersion is read-only"},
        BadDescription{"UnknownReference",
                       "object A: TRecorder\nend\nobject B: TRecorder\n  Link = C\nend\n",
                       "Line 4: Error reading B.Link: Component C not found"},
        BadDescription{"ReferenceAsString", "object A: TRecorder\n  Link = 'A'\nend\n",
                       "Line 2: Error reading A.Link: Invalid property value"},
        BadDescription{"DuplicateName", "object A: TRecorder\nend\nobject A: TVtRecorder\nend\n",
                       "Line 3: A component named A already exists"},
        BadDescription{"MissingEnd", "object A: TRecorder\n  Count = 1\n",
                       "Line 1: object A has no \"end\""},
        BadDescription{"NestedObject", "object A: TRecorder\nobject B: TRecorder\nend\nend\n",
                       "Line 2: \"end\" expected before the next object"},
        BadDescription{"ValueOutsideObject", "Count = 1\n", "Line 1: \"object\" expected"},
        BadDescription{"EndWithoutObject", "end\n", "Line 1: \"end\" without \"object\""},
        BadDescription{"MissingEquals", "object A: TRecorder\n  Count 1\nend\n",
                       "Line 2: '=' expected"},
        BadDescription{"MissingClass", "object A\nend\n", "Line 1: ':' expected"},
        BadDescription{"UnterminatedString", "object A: TRecorder\n  Text = 'abc\nend\n",
                       "Line 2: unterminated string"},
        BadDescription{"TrailingText", "object A: TRecorder\n  Count = 1 2\nend\n",
                       "Line 2: unexpected text \"2\""},
        BadDescription{"UnclosedSet", "object A: TRecorder\n  Tags = [tgA\nend\n",
                       "Line 2: ']' expected"}),
    [](const auto& AInfo) { return std::string(AInfo.param.Case); });

TEST_F(DescriptionReaderTest, ASetterErrorEndsRoundOnePassingTheErrorOn) {
  try {
    Read(std::string(kOk) +
         "object Bad: TRecorder\n  Text = 'before'\n  Failure = 'refused'\n  Count = 1\nend\n"
         "object Never: TRecorder\nend\n");
    FAIL() << "no error";
  } catch (const EReadError&) {
    FAIL() << "the setter's own error was wrapped";
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), "refused");
  }
  // Nothing after the failing value runs; what was created is freed, last first.
  EXPECT_THAT(FLog, ElementsAre("create", "Ok Text (loading)", "create", "Bad Text (loading)",
                                "Bad free (loading)", "Ok free (loading)"));
  EXPECT_EQ(FOwner.ComponentCount(), 0);
}

TEST_F(DescriptionReaderTest, AReferenceToAComponentOfAnotherClassIsRefused) {
  // Link takes a TRecorder; the owner's other component is a plain TComponent.
  auto* stranger = new TComponent(&FOwner);
  stranger->SetName("Stranger");
  try {
    Read("object A: TRecorder\n  Link = Stranger\nend\n");
    FAIL() << "no error";
  } catch (const EReadError& error) {
    EXPECT_EQ(error.Message(), "Line 2: Error reading A.Link: Invalid property value");
  }
  EXPECT_EQ(FOwner.ComponentCount(), 1);
}

}  // namespace
}  // namespace core_test
