// Parameters and statement texts without a server: the rebuild rule of a text
// change, name lookup, the typed setters, and the list of lines.
#include "db/access/params.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/access/param_markers.h"
#include "db/access/sql_lines.h"
#include "db/errors/database_error.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ThrowsMessage;

std::vector<std::string> Names(const TParams& AParams) {
  std::vector<std::string> names;
  for (int i = 0; i < AParams.Count(); ++i) names.push_back(AParams.Items(i).Name());
  return names;
}

TEST(ParamsTest, ATextChangeKeepsTypesAndValuesInTheOrderOfTheText) {
  TMSParams params;
  params.CreateParam(ftInteger, "A", ptInput).SetValue(std::int32_t{5});
  params.CreateParam(ftString, "B", ptInputOutput);
  params.CreateParam(ftBoolean, "C", ptInput);
  params.Rebuild(ParseParamMarkers("SELECT * FROM T WHERE x = :b AND y = :A").Names);
  EXPECT_THAT(Names(params), ElementsAre("b", "A"));
  EXPECT_EQ(params.Items(0).DataType(), ftString);
  EXPECT_EQ(params.Items(0).ParamType(), ptInputOutput);
  EXPECT_TRUE(params.Items(0).IsNull());
  EXPECT_EQ(params.Items(1).DataType(), ftInteger);
  EXPECT_EQ(params.Items(1).AsInteger(), 5);
  EXPECT_THAT([&] { params.ParamByName("C"); },
              ThrowsMessage<EDatabaseError>("Parameter 'C' not found"));
}

TEST(ParamsTest, NewNamesAreUnknownAndEveryMarkerGetsOne) {
  TDAParams params;
  params.Rebuild(ParseParamMarkers("SELECT :X, :x, '12:30', [a:b] -- :y\n").Names);
  EXPECT_THAT(Names(params), ElementsAre("X", "x"));
  EXPECT_EQ(params.Items(0).DataType(), ftUnknown);
  EXPECT_EQ(params.Items(0).ParamType(), ptUnknown);
  params.Rebuild(ParseParamMarkers("SELECT 1").Names);
  EXPECT_EQ(params.Count(), 0);
}

TEST(ParamsTest, LookupIgnoresCaseAndOneLeadingAt) {
  TMSParams params;
  TParam& lockey = params.CreateParam(ftInteger, "LocKey", ptInput);
  EXPECT_EQ(&params.ParamByName("LOCKEY"), &lockey);
  EXPECT_EQ(&params.ParamByName("@lockey"), &lockey);
  EXPECT_EQ(params.FindParam("@@lockey"), nullptr);
  EXPECT_THAT([&] { params.ParamByName("@@lockey"); },
              ThrowsMessage<EDatabaseError>("Parameter '@@lockey' not found"));
}

TEST(ParamTest, TypedSettersSetTheType) {
  TMSParam param("P", ftUnknown, ptUnknown);
  EXPECT_TRUE(param.IsNull());
  param.SetAsString("x");
  EXPECT_EQ(param.DataType(), ftString);
  param.SetAsInteger(3);
  EXPECT_EQ(param.DataType(), ftInteger);
  param.SetAsBoolean(true);
  EXPECT_EQ(param.DataType(), ftBoolean);
  param.SetAsLargeInt(1LL << 40);
  EXPECT_EQ(param.DataType(), ftLargeint);
  EXPECT_EQ(param.AsLargeInt(), 1LL << 40);
}

TEST(ParamTest, AValueGivesATypeOnlyToAnUnknownParameter) {
  TMSParam unknown("P", ftUnknown, ptInput);
  unknown.SetValue(std::int64_t{9});
  EXPECT_EQ(unknown.DataType(), ftLargeint);
  TMSParam typed("P", ftString, ptInput);
  typed.SetValue(std::int32_t{9});
  EXPECT_EQ(typed.DataType(), ftString);
  EXPECT_EQ(typed.AsString(), "9");
}

TEST(StringsTest, ChangesAndText) {
  TStrings sql;
  int changes = 0;
  sql.SetOnChange([&] { ++changes; });
  sql.Clear();
  EXPECT_EQ(changes, 0);
  sql.Add("SELECT *");
  sql.Add("FROM T");
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(sql.Text(), "SELECT *\r\nFROM T\r\n");
  sql.SetText("A\r\nB\nC\rD");
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(sql.Count(), 4);
  EXPECT_EQ(sql.Strings(3), "D");
  sql.Clear();
  EXPECT_EQ(changes, 4);
  EXPECT_EQ(sql.Text(), "");
}

}  // namespace
