// Table and query datasets through the real stack against the stand-in:
// opening and reading whole results, parameters, Execute, Prepare, Close and
// Refresh, value readings and trimming, and the failures of opening.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "core/exception.h"
#include "dataset_fixture.h"
#include "db/errors/client_errors.h"
#include "db/fields/numeric.h"
#include "db/sqlserver/query.h"
#include "db/sqlserver/table.h"

namespace {

using dataset_test::DatasetFixture;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::ThrowsMessage;

class DatasetOpenTest : public ::testing::Test, protected DatasetFixture {
 protected:
  // A query named "qryGeneric" on the connection with `ASql` as its text.
  std::unique_ptr<TMSQuery> Query(const std::string& ASql) {
    auto query = std::make_unique<TMSQuery>(nullptr);
    query->SetName("qryGeneric");
    query->SetConnection(&FConnection);
    if (!ASql.empty()) query->SQL().Add(ASql);
    return query;
  }

  static int CountContaining(const std::vector<std::string>& ALines, const std::string& APart) {
    return static_cast<int>(std::count_if(ALines.begin(), ALines.end(), [&](const auto& line) {
      return line.find(APart) != std::string::npos;
    }));
  }
};

TEST_F(DatasetOpenTest, ATableOpensConnectingAndCountsItsRowsAtOnce) {
  TMSTable table(nullptr);
  table.SetConnection(&FConnection);
  table.SetTableName("CFGPROPL");
  table.Options().SetQuoteNames(true);
  EXPECT_FALSE(FConnection.Connected());
  const std::size_t before = Requests().size();
  table.Open();
  EXPECT_TRUE(FConnection.Connected());
  EXPECT_EQ(table.RecordCount(), 3);
  EXPECT_EQ(table.SQL().Text(), "SELECT * FROM [CFGPROPL]\r\n");
  EXPECT_THAT(RequestsAfter(before).back(), HasSubstr("batch: SELECT * FROM [CFGPROPL]\\r\\n"));
  EXPECT_EQ(table.FieldByName("LOCATIONCODE").AsString(), "A1");
  EXPECT_EQ(table.FieldByName("LOCKEY").DataType(), ftLargeint);
  table.Close();
  EXPECT_EQ(table.RecordCount(), 0);
  EXPECT_TRUE(FConnection.Connected());
}

TEST_F(DatasetOpenTest, TableNameIsStoredUnquotedAndOrderFieldsReopen) {
  TMSTable table(nullptr);
  table.SetConnection(&FConnection);
  table.SetTableName(" [dbo].[CFGPROPL] ");
  EXPECT_EQ(table.TableName(), "dbo.CFGPROPL");
  EXPECT_EQ(table.UpdatingTable(), "dbo.CFGPROPL");
  table.Open();
  EXPECT_EQ(table.SQL().Text(), "SELECT * FROM dbo.CFGPROPL\r\n");
  table.SetOrderFields("LOCATIONCODE DESC");
  EXPECT_TRUE(table.Active());
  EXPECT_EQ(table.SQL().Text(), "SELECT * FROM dbo.CFGPROPL\r\nORDER BY LOCATIONCODE DESC\r\n");
  EXPECT_EQ(table.FieldByName("LOCATIONCODE").AsString(), "C3");
}

TEST_F(DatasetOpenTest, ParametersFollowTheTextAndKeepTheirTypes) {
  auto query = Query("");
  query->Params().CreateParam(ftInteger, "A", ptInput);
  query->Params().CreateParam(ftString, "B", ptInput);
  query->Params().CreateParam(ftBoolean, "GONE", ptInput);
  query->SQL().Add("SELECT :B AS b, :A AS a, '12:30' AS t");
  ASSERT_EQ(query->Params().Count(), 2);
  EXPECT_EQ(query->Params().Items(0).Name(), "B");
  EXPECT_EQ(query->Params().Items(1).DataType(), ftInteger);
  EXPECT_THAT([&] { query->Params().ParamByName("GONE"); },
              ThrowsMessage<EDatabaseError>("Parameter 'GONE' not found"));
  query->Params().ParamByName("A").SetValue(std::int32_t{7});
  query->Params().ParamByName("b").SetAsString("x");
  const std::size_t before = Requests().size();
  query->Open();
  EXPECT_EQ(query->FieldByName("a").AsInteger(), 7);
  EXPECT_EQ(query->FieldByName("b").AsString(), "x");
  EXPECT_EQ(query->FieldByName("t").AsString(), "12:30");
  EXPECT_THAT(RequestsAfter(before).back(), HasSubstr("@P1 varchar"));
  EXPECT_THAT(RequestsAfter(before).back(), HasSubstr("@P2 int=7"));
}

TEST_F(DatasetOpenTest, ClearingAnEmptyTextKeepsTheParameters) {
  auto query = Query("");
  query->Params().CreateParam(ftInteger, "K", ptInput);
  query->SQL().Clear();
  EXPECT_EQ(query->Params().Count(), 1);
}

TEST_F(DatasetOpenTest, ExecuteOpensOnRowsOnly) {
  auto update = Query("UPDATE CFGPROPL SET ALLOW = 5 WHERE LOCKEY = :K");
  update->Params().ParamByName("K").SetAsInteger(2);
  update->Execute();
  EXPECT_FALSE(update->Active());
  EXPECT_EQ(update->RecordCount(), 0);
  EXPECT_EQ(FSetup.Scalar("SELECT ALLOW FROM CFGPROPL WHERE LOCKEY = 2"), "5");

  auto select = Query("SELECT ALLOW FROM CFGPROPL WHERE LOCKEY = 2");
  select->Execute();
  EXPECT_TRUE(select->Active());
  EXPECT_EQ(select->FieldByName("ALLOW").AsInteger(), 5);
}

TEST_F(DatasetOpenTest, CloseAndOpenRunAgainWithCurrentValuesWithoutPreparingAgain) {
  auto query = Query("SELECT CONTAINER FROM CFGPROPC WHERE LOCKEY = :K");
  query->Params().ParamByName("K").SetAsInteger(1);
  const std::size_t before = Requests().size();
  query->Prepare();
  EXPECT_TRUE(query->Prepared());
  query->Open();
  EXPECT_EQ(query->RecordCount(), 2);
  query->Close();
  query->Params().ParamByName("K").SetAsInteger(2);
  query->Open();
  EXPECT_EQ(query->RecordCount(), 1);
  EXPECT_EQ(query->FieldByName("CONTAINER").AsString(), "Bin 3");
  query->Execute();
  EXPECT_TRUE(query->Prepared());
  const std::vector<std::string> sent = RequestsAfter(before);
  // The driver prepares with the first execution (sp_prepexec), then reuses the handle.
  EXPECT_EQ(CountContaining(sent, "sp_prep"), 1) << ::testing::PrintToString(sent);
  EXPECT_EQ(CountContaining(sent, "rpc sp_execute:"), 2) << ::testing::PrintToString(sent);
  query->SQL().Add("-- another line");
  EXPECT_FALSE(query->Prepared());
  EXPECT_FALSE(query->Active());
}

TEST_F(DatasetOpenTest, RefreshStandsOnTheSameKeyOrOnTheFirstRow) {
  TMSTable table(nullptr);
  table.SetConnection(&FConnection);
  table.SetTableName("CFGPROPL");
  table.Open();
  table.Next();
  table.Next();
  FSetup.Exec("UPDATE CFGPROPL SET LOCATION = 'Cage D' WHERE LOCKEY = 3");
  EXPECT_EQ(table.FieldByName("LOCATION").AsString(), "Cage C");
  table.Refresh();
  EXPECT_EQ(table.FieldByName("LOCKEY").AsInteger(), 3);
  EXPECT_EQ(table.FieldByName("LOCATION").AsString(), "Cage D");
  FSetup.Exec("DELETE FROM CFGPROPL WHERE LOCKEY = 3");
  table.Refresh();
  EXPECT_EQ(table.RecordCount(), 2);
  EXPECT_EQ(table.FieldByName("LOCKEY").AsInteger(), 1);
  EXPECT_FALSE(table.Eof());
}

TEST_F(DatasetOpenTest, ReadingsOfBigValuesAndNulls) {
  FSetup.Exec("CREATE TABLE big (k bigint)");
  FSetup.Exec("INSERT INTO big VALUES (4294967301)");
  auto big = Query("SELECT k FROM big");
  big->Open();
  EXPECT_EQ(big->FieldByName("k").AsInteger(), 5);
  EXPECT_EQ(big->FieldByName("k").AsString(), "4294967301");

  auto nulls = Query(
      "SELECT CAST(NULL AS varchar(5)) AS s, CAST(NULL AS int) AS i, CAST(NULL AS bit) AS b, "
      "CAST(NULL AS bigint) AS k");
  nulls->Open();
  EXPECT_EQ(nulls->FieldByName("s").AsString(), "");
  EXPECT_EQ(nulls->FieldByName("i").AsInteger(), 0);
  EXPECT_FALSE(nulls->FieldByName("b").AsBoolean());
  EXPECT_EQ(nulls->FieldByName("k").AsInteger(), 0);
  EXPECT_TRUE(nulls->FieldByName("s").IsNull());
}

struct TrimCase {
  const char* Name;
  bool TrimFixedChar;
  bool TrimVarChar;
  std::string Fixed, NFixed, Var, NVar, Tab, Text;

  friend void PrintTo(const TrimCase& ACase, std::ostream* AOut) { *AOut << ACase.Name; }
};

class TrimTest : public DatasetOpenTest, public ::testing::WithParamInterface<TrimCase> {};

TEST_P(TrimTest, TrailingBlanksGoAsTheOptionsSay) {
  const TrimCase& c = GetParam();
  FSetup.Exec(
      "CREATE TABLE texts (f char(5), nf nchar(5), v varchar(10), nv nvarchar(10), "
      "tab varchar(10), t text)");
  FSetup.Exec("INSERT INTO texts VALUES ('AB', N'AB', 'AB  ', N'AB  ', 'AB\t', 'AB  ')");
  auto query = Query("SELECT * FROM texts");
  query->Options().SetTrimFixedChar(c.TrimFixedChar);
  query->Options().SetTrimVarChar(c.TrimVarChar);
  query->Open();
  EXPECT_EQ(query->FieldByName("f").AsString(), c.Fixed);
  EXPECT_EQ(query->FieldByName("nf").AsString(), c.NFixed);
  EXPECT_EQ(query->FieldByName("v").AsString(), c.Var);
  EXPECT_EQ(query->FieldByName("nv").AsString(), c.NVar);
  EXPECT_EQ(query->FieldByName("tab").AsString(), c.Tab);
  EXPECT_EQ(query->FieldByName("t").AsString(), c.Text);
}

INSTANTIATE_TEST_SUITE_P(
    Options, TrimTest,
    ::testing::Values(TrimCase{"Defaults", true, false, "AB", "AB", "AB  ", "AB  ", "AB\t", "AB  "},
                      TrimCase{"Both", true, true, "AB", "AB", "AB", "AB", "AB\t", "AB  "},
                      TrimCase{"None", false, false, "AB   ", "AB   ", "AB  ", "AB  ", "AB\t",
                               "AB  "}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(DatasetOpenTest, ADeclared64BitKeyOnAnIntColumnFailsTheOpening) {
  TMSTable table(nullptr);
  table.SetName("tblCFGPropertyContainers");
  table.SetConnection(&FConnection);
  table.SetTableName("CFGPROPC");
  auto* lockey = new TLargeintField(&table);
  lockey->SetFieldName("LOCKEY");
  lockey->SetDataSet(&table);
  EXPECT_THAT([&] { table.Open(); },
              ThrowsMessage<EDatabaseError>("tblCFGPropertyContainers: Type mismatch for field "
                                            "'LOCKEY', expecting: LargeInt actual: Integer"));
  EXPECT_FALSE(table.Active());
  EXPECT_TRUE(FConnection.Connected());
}

TEST_F(DatasetOpenTest, FailuresOfOpeningLeaveTheDatasetClosed) {
  TMSQuery unbound(nullptr);
  unbound.SetName("qryGeneric");
  unbound.SQL().Add("SELECT 1 AS one");
  EXPECT_THAT([&] { unbound.Open(); }, ThrowsMessage<EDatabaseError>("Connection is not defined"));

  FConnection.Options().SetAllowImplicitConnect(false);
  auto query = Query("SELECT 1 AS one");
  try {
    query->Open();
    ADD_FAILURE() << "opened";
  } catch (const EDatabaseError&) {
    ADD_FAILURE() << "an EDatabaseError";
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), "Connection is not connected");
  }
  EXPECT_FALSE(query->Active());
  FConnection.Options().SetAllowImplicitConnect(true);

  auto empty = Query("");
  EXPECT_THAT([&] { empty->Open(); },
              ThrowsMessage<EDatabaseError>("qryGeneric: No SQL statement provided"));
  EXPECT_FALSE(empty->Active());

  TMSTable table(nullptr);
  table.SetName("tblCFGPropertyLocation");
  table.SetConnection(&FConnection);
  EXPECT_THAT([&] { table.Open(); }, ThrowsMessage<EDatabaseError>("TableName must be defined"));
  EXPECT_FALSE(table.Active());

  auto rejected = Query("SELECT * FROM NoSuchTable");
  EXPECT_THROW(rejected->Open(), EMSError);
  EXPECT_FALSE(rejected->Active());
  EXPECT_TRUE(FConnection.Connected());

  auto bad_update = Query("UPDATE CFGPROPL SET ALLOW = 'many'");
  EXPECT_THROW(bad_update->Execute(), EMSError);
  EXPECT_EQ(FSetup.Scalar("SELECT SUM(ALLOW) FROM CFGPROPL"), "3");
}

TEST_F(DatasetOpenTest, AQueryUpdatesTheFirstTableAfterFrom) {
  auto query = Query("SELECT c.* FROM [dbo].[CFGPROPC] c JOIN CFGPROPL l ON l.LOCKEY = c.LOCKEY");
  EXPECT_EQ(query->UpdatingTable(), "dbo.CFGPROPC");
}

}  // namespace
