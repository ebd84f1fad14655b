// Writing components back: only values that differ from their declared
// defaults (a derived class's own default included), references by name,
// never a read-only property, a class-defined entry in the form it was
// read, and every text reading back as it was written.
#include "core/description_writer.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/description_reader.h"
#include "recording_component.h"

namespace core_test {
namespace {

class DescriptionWriterTest : public ::testing::Test {
 protected:
  ~DescriptionWriterTest() override { FOwner.DestroyComponents(); }

  std::string Write(const TComponent& AComponent) { return WriteComponent(AComponent, FClasses); }

  TClassRegistry FClasses = RecorderClasses();
  TComponent FOwner{nullptr};
};

struct StoredCase {
  const char* Case;
  std::function<void(TRecorder&)> Change;
  const char* Line;  // "" when nothing is stored
};

class StoredValueTest : public DescriptionWriterTest,
                        public ::testing::WithParamInterface<StoredCase> {};

TEST_P(StoredValueTest, OnlyAValueOtherThanTheDefaultIsWritten) {
  auto* recorder = new TRecorder(&FOwner);
  recorder->SetName("R");
  GetParam().Change(*recorder);
  const std::string line = GetParam().Line;
  EXPECT_EQ(Write(*recorder),
            "object R: TRecorder\n" + (line.empty() ? "" : line + "\n") + "end\n");
}

TTags Tags(std::initializer_list<TTag> ATags) {
  TTags tags;
  for (TTag tag : ATags) tags.Include(tag);
  return tags;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StoredValueTest,
    ::testing::Values(
        StoredCase{"NothingChanged", [](TRecorder&) {}, ""},
        StoredCase{"EmptyText", [](TRecorder& r) { r.SetText(""); }, ""},
        StoredCase{"Text", [](TRecorder& r) { r.SetText("a'b"); }, "  Text = 'a''b'"},
        StoredCase{"CountAtDefault", [](TRecorder& r) { r.SetCount(7); }, ""},
        StoredCase{"Count", [](TRecorder& r) { r.SetCount(0); }, "  Count = 0"},
        StoredCase{"FlagAtDefault", [](TRecorder& r) { r.SetFlag(true); }, ""},
        StoredCase{"Flag", [](TRecorder& r) { r.SetFlag(false); }, "  Flag = False"},
        StoredCase{"ColorAtDefault", [](TRecorder& r) { r.SetColor(ckGreen); }, ""},
        StoredCase{"Color", [](TRecorder& r) { r.SetColor(ckRed); }, "  Color = ckRed"},
        StoredCase{"EmptyTags", [](TRecorder& r) { r.SetTags({}); }, ""},
        StoredCase{"Tags",
                   [](TRecorder& r) {
                     r.SetTags(Tags({tgC, tgA}));
                   },
                   "  Tags = [tgA, tgC]"},
        StoredCase{"NestedAtDefault", [](TRecorder& r) { r.Options().SetLevel(1); }, ""},
        StoredCase{"Nested", [](TRecorder& r) { r.Options().SetLevel(3); }, "  Options.Level = 3"},
        StoredCase{"ProviderAtDefault", [](TRecorder& r) { r.Options().SetProvider(pkAuto); }, ""},
        StoredCase{"ProviderSetInCode", [](TRecorder& r) { r.Options().SetProvider(pkSQL); },
                   "  Options.Provider = pkSQL"},
        StoredCase{"LinkToItself", [](TRecorder& r) { r.SetLink(&r); }, "  Link = R"}),
    [](const auto& AInfo) { return std::string(AInfo.param.Case); });

TEST_F(DescriptionWriterTest, AReferenceToAComponentWithoutANameIsNotWritten) {
  auto* recorder = new TRecorder(&FOwner);
  recorder->SetName("R");
  recorder->SetLink(new TRecorder(&FOwner));
  EXPECT_EQ(Write(*recorder), "object R: TRecorder\nend\n");
}

TEST_F(DescriptionWriterTest, ADerivedClassStoresAgainstItsOwnDefaultAndNeverItsVersion) {
  auto* vt = new TVtRecorder(&FOwner);
  vt->SetName("V");
  EXPECT_EQ(vt->VtVersion(), "2.1");
  EXPECT_EQ(Write(*vt), "object V: TVtRecorder\nend\n");  // Level 0 is its default
  vt->Options().SetLevel(1);
  EXPECT_EQ(Write(*vt), "object V: TVtRecorder\n  Options.Level = 1\nend\n");
}

// Reading these texts and writing the components back gives them unchanged.
struct RoundTrip {
  const char* Case;
  const char* Text;
};

class RoundTripTest : public DescriptionWriterTest,
                      public ::testing::WithParamInterface<RoundTrip> {};

TEST_P(RoundTripTest, WritesBackWhatItRead) {
  const std::vector<TComponent*> created = ReadComponents(GetParam().Text, FOwner, FClasses);
  EXPECT_EQ(WriteComponents(created, FClasses), GetParam().Text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RoundTripTest,
    ::testing::Values(
        RoundTrip{"ProviderAsIdentifier", "object A: TRecorder\n  Options.Provider = pkSQL\nend\n"},
        RoundTrip{"ProviderAsString",
                  "object A: TRecorder\n  Options.Provider = 'SQLOLEDB.1'\nend\n"},
        RoundTrip{"ProviderAsStringInADerivedClass",
                  "object A: TVtRecorder\n  Options.Level = 2\n  Options.Provider = 'SQLNCLI11'\n"
                  "end\n"},
        RoundTrip{"EveryKind",
                  "object A: TRecorder\n  Text = 'x'\n  Count = -1\n  Flag = False\n"
                  "  Color = ckBlue\n  Tags = [tgB]\n  Link = B\n  Options.Level = 9\nend\n"
                  "object B: TRecorder\n  Link = A\nend\n"},
        RoundTrip{"TextWithQuotesAndControlCharacters",
                  "object A: TRecorder\n  Text = #9'it''s'#13#10'x'#0\nend\n"},
        RoundTrip{"TextThatIsOnlyAQuote", "object A: TRecorder\n  Text = ''''\nend\n"},
        RoundTrip{"TextOutsideASCII", "object A: TRecorder\n  Text = 'Größe'\nend\n"}),
    [](const auto& AInfo) { return std::string(AInfo.param.Case); });

}  // namespace
}  // namespace core_test
