#include "db/access/param_markers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct MarkerCase {
  const char* sql;
  const char* text;
  std::vector<std::string> names;
};

class ParamMarkersTest : public ::testing::TestWithParam<MarkerCase> {};

TEST_P(ParamMarkersTest, FindsMarkersAndPlaceholders) {
  const MarkerCase& c = GetParam();
  TParamMarkers parsed = ParseParamMarkers(c.sql);
  EXPECT_EQ(parsed.Text, c.text);
  EXPECT_EQ(parsed.Names, c.names);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParamMarkersTest,
    ::testing::Values(
        MarkerCase{"SELECT 1", "SELECT 1", {}},
        MarkerCase{"UPDATE CFGPROPC SET AVAILABLE = :AVAILABLE WHERE LOCKEY = :LOCKEY AND "
                   "CONTAINERID = :CONTAINERID",
                   "UPDATE CFGPROPC SET AVAILABLE = ? WHERE LOCKEY = ? AND CONTAINERID = ?",
                   {"AVAILABLE", "LOCKEY", "CONTAINERID"}},
        MarkerCase{"WHERE [LOCKEY] = :[LOCKEY]", "WHERE [LOCKEY] = ?", {"LOCKEY"}},
        MarkerCase{"WHERE a = :[two words]", "WHERE a = ?", {"two words"}},
        MarkerCase{
            "WHERE [a]]b] = :[a]]b] AND c = :[]]]", "WHERE [a]]b] = ? AND c = ?", {"a]b", "]"}},
        MarkerCase{"WHERE a = :[x]]", "WHERE a = :[x]]", {}},
        MarkerCase{"VALUES ('12/10/2026 6:09:09 AM')", "VALUES ('12/10/2026 6:09:09 AM')", {}},
        MarkerCase{"VALUES ('it''s :x', :y)", "VALUES ('it''s :x', ?)", {"y"}},
        MarkerCase{"SELECT \"a:b\" FROM [c:d]", "SELECT \"a:b\" FROM [c:d]", {}},
        MarkerCase{"SELECT 1 -- :x\nWHERE a = :a", "SELECT 1 -- :x\nWHERE a = ?", {"a"}},
        MarkerCase{"SELECT /* :x */ :a", "SELECT /* :x */ ?", {"a"}},
        MarkerCase{
            "SELECT * FROM ::fn_x() WHERE t = :1", "SELECT * FROM ::fn_x() WHERE t = :1", {}},
        MarkerCase{"a : b, c:", "a : b, c:", {}},
        MarkerCase{"SET :select = :from", "SET ? = ?", {"select", "from"}},
        MarkerCase{"WHERE a = :a AND b = :A", "WHERE a = ? AND b = ?", {"a", "A"}},
        MarkerCase{"WHERE n = :Zoë_1", "WHERE n = ?", {"Zoë_1"}},
        MarkerCase{"WHERE a = 'unclosed :x", "WHERE a = 'unclosed :x", {}},
        MarkerCase{"WHERE a = :[unclosed", "WHERE a = :[unclosed", {}}));

}  // namespace
