// odbc::Command against the stand-in: the types parameters are declared with,
// preparing once, column descriptions, whole results in blocks, output
// values, errors, and primary keys.
#include "db/odbc/command.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "db/errors/client_errors.h"
#include "session_fixture.h"

namespace {

using odbc::TParamValue;
using odbc::TResultSet;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

const std::string kStrasse =
    "Stra\xC3\x9F"
    "e \xE2\x82\xAC";  // all in the varchar code page

class CommandTest : public ::testing::Test, public session_test::SessionFixture {
 protected:
  CommandTest() : connection_(NewConnection()) {
    connection_->Options().SetDefaultLockTimeout(0);
    connection_->Connect();
    command_ = std::make_unique<odbc::Command>(connection_->Session(), connection_.get());
  }

  TResultSet Run(const std::string& sql, const std::vector<TParamValue>& params = {},
                 int fetch_rows = 25) {
    if (!command_->Execute(sql, params)) return {};
    return command_->ReadResult(fetch_rows);
  }

  // The requests of this test's session that mention `text`.
  std::vector<std::string> RequestsWith(const std::string& text) {
    std::vector<std::string> found;
    for (const std::string& request : Requests(Spid(*connection_))) {
      if (request.find(text) != std::string::npos) found.push_back(request);
    }
    return found;
  }

  std::unique_ptr<TMSConnection> connection_;
  std::unique_ptr<odbc::Command> command_;
};

TEST_F(CommandTest, ParametersGoWithTheirDeclaredTypes) {
  const TResultSet result = Run("SELECT ? AS i, ? AS l, ? AS b, ? AS s, ? AS n, ? AS w",
                                {{ftInteger, ptInput, std::int32_t{5}},
                                 {ftLargeint, ptInput, std::int64_t{1} << 40},
                                 {ftBoolean, ptInput, true},
                                 {ftString, ptInput, kStrasse},
                                 {ftInteger, ptInput, TVariant()},
                                 {ftWideString, ptInput, "\xD0\x96"}});
  const std::vector<std::string> sent = RequestsWith("SELECT @P1");
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_THAT(sent[0], HasSubstr("@P1 int=5 @P2 bigint=1099511627776 @P3 bit=1 @P4 varchar(8000)="
                                 "'" +
                                 kStrasse + "' @P5 int=NULL @P6=N'\xD0\x96'"));
  ASSERT_EQ(result.Rows.size(), 1u);
  EXPECT_EQ(result.Rows[0], (std::vector<TVariant>{std::int32_t{5}, std::int64_t{1} << 40, true,
                                                   kStrasse, TVariant(), "\xD0\x96"}));
}

TEST_F(CommandTest, AValueWithoutConversionNamesTheParameterAndSendsNothing) {
  const int spid = Spid(*connection_);
  const std::size_t before = Requests(spid).size();
  try {
    Run("SELECT ?, ?",
        {{ftInteger, ptInput, std::int32_t{1}, "KEY"}, {ftInteger, ptInput, "twelve", "COUNT"}});
    FAIL() << "no error";
  } catch (const EDatabaseError& error) {
    EXPECT_EQ(error.Message(), "Parameter[1]:COUNT - invalid Value (Status = 2h).");
  }
  EXPECT_EQ(Requests(spid).size(), before);
}

TEST_F(CommandTest, AValueOfUnknownTypeGoesAsItsOwnType) {
  Run("SELECT ?, ?, ?", {{ftUnknown, ptInput, std::int32_t{1}},
                         {ftUnknown, ptInput, "x"},
                         {ftUnknown, ptInput, TVariant()}});
  EXPECT_THAT(RequestsWith("SELECT @P1"),
              ElementsAre(HasSubstr("@P1 int=1 @P2 varchar(8000)='x' @P3 varchar(8000)=NULL")));
}

TEST_F(CommandTest, PreparesOnceAndExecutesWithNewValues) {
  Run("CREATE TABLE Item (id int PRIMARY KEY, name varchar(20))");
  for (int i = 1; i <= 5; ++i) {
    Run("INSERT INTO Item VALUES (?, ?)",
        {{ftInteger, ptInput, std::int32_t{i}}, {ftString, ptInput, "n" + std::to_string(i)}});
  }
  const std::string sql = "SELECT COUNT(*) FROM Item WHERE id > ? AND name <> ?";
  command_->Prepare(sql, {{ftInteger, ptInput, TVariant()}, {ftString, ptInput, TVariant()}});
  ASSERT_TRUE(command_->Prepared());
  std::vector<TVariant> counts;
  for (int above : {0, 2, 4}) {
    counts.push_back(Run(sql, {{ftInteger, ptInput, std::int32_t{above}},
                               {ftString, ptInput, std::string(above + 1, 'x')}})
                         .Rows.at(0)
                         .at(0));
  }
  EXPECT_THAT(counts, ElementsAre(std::int32_t{5}, std::int32_t{3}, std::int32_t{1}));
  EXPECT_EQ(RequestsWith("sp_prepexec").size(), 1u);
  EXPECT_EQ(RequestsWith("sp_execute:").size() + RequestsWith("sp_execute ").size(), 2u);

  command_->Unprepare();
  EXPECT_FALSE(command_->Prepared());
  EXPECT_EQ(
      Run(sql, {{ftInteger, ptInput, std::int32_t{3}}, {ftString, ptInput, ""}}).Rows.at(0).at(0),
      TVariant(std::int32_t{2}));
}

TEST_F(CommandTest, AFailedExecutionKeepsThePreparation) {
  Run("CREATE TABLE Item (id int PRIMARY KEY)");
  const std::string sql = "INSERT INTO Item VALUES (?)";
  command_->Prepare(sql, {{ftInteger, ptInput, TVariant()}});
  EXPECT_FALSE(command_->Execute(sql, {{ftInteger, ptInput, std::int32_t{1}}}));
  try {
    command_->Execute(sql, {{ftInteger, ptInput, std::int32_t{1}}});
    FAIL() << "inserted twice";
  } catch (const EMSError& error) {
    EXPECT_THAT(error.Message(), HasSubstr("Violation of PRIMARY KEY"));
  }
  EXPECT_FALSE(command_->Execute(sql, {{ftInteger, ptInput, std::int32_t{2}}}));
  EXPECT_EQ(Run("SELECT COUNT(*) FROM Item").Rows.at(0).at(0), TVariant(std::int32_t{2}));
  EXPECT_EQ(RequestsWith("sp_prepexec").size(), 1u);
}

TEST_F(CommandTest, ADirectStatementLeavesThePreparationAlone) {
  command_->Prepare("SELECT ?", {{ftInteger, ptInput, std::int32_t{1}}});
  EXPECT_EQ(Run("SELECT 2").Rows.at(0).at(0), TVariant(std::int32_t{2}));
  EXPECT_TRUE(command_->Prepared());
  EXPECT_EQ(Run("SELECT ?", {{ftInteger, ptInput, std::int32_t{3}}}).Rows.at(0).at(0),
            TVariant(std::int32_t{3}));
  EXPECT_EQ(RequestsWith("sp_prepexec").size(), 1u);
}

struct ColumnCase {
  std::string type;  // as declared in CREATE TABLE
  std::string literal;
  TFieldType field_type;
  int size;
  bool fixed;
  TVariant value;
  std::string type_name = "";  // as the driver names it; empty: as declared
};

// Readable case names in test listings.
void PrintTo(const ColumnCase& ACase, std::ostream* AOut) {
  *AOut << ACase.type;
}

class ColumnTest : public CommandTest, public ::testing::WithParamInterface<ColumnCase> {};

TEST_P(ColumnTest, DescribesAndReadsTheColumn) {
  Run("CREATE TABLE T (c " + GetParam().type + ")");
  Run("INSERT INTO T VALUES (" + GetParam().literal + ")");
  Run("INSERT INTO T VALUES (NULL)");
  const TResultSet result = Run("SELECT c FROM T");
  ASSERT_EQ(result.Columns.size(), 1u);
  const odbc::TColumnInfo& column = result.Columns[0];
  EXPECT_EQ(column.Name, "c");
  EXPECT_EQ(column.TypeName, GetParam().type_name.empty()
                                 ? GetParam().type.substr(0, GetParam().type.find('('))
                                 : GetParam().type_name);
  EXPECT_EQ(column.DataType, GetParam().field_type);
  EXPECT_EQ(column.Size, GetParam().size);
  EXPECT_EQ(column.FixedLength, GetParam().fixed);
  EXPECT_TRUE(column.Nullable);
  ASSERT_EQ(result.Rows.size(), 2u);
  EXPECT_EQ(result.Rows[0][0], GetParam().value);
  EXPECT_TRUE(result.Rows[1][0].IsNull());
}

INSTANTIATE_TEST_SUITE_P(
    Types, ColumnTest,
    ::testing::Values(
        ColumnCase{"int", "-7", ftInteger, 0, false, std::int32_t{-7}},
        ColumnCase{"smallint", "300", ftSmallint, 0, false, std::int32_t{300}},
        ColumnCase{"tinyint", "200", ftByte, 0, false, std::int32_t{200}},
        ColumnCase{"bigint", "4294967301", ftLargeint, 0, false, std::int64_t{4294967301}},
        ColumnCase{"bit", "1", ftBoolean, 0, false, true},
        ColumnCase{"char(4)", "'AB'", ftString, 4, true, "AB  "},
        ColumnCase{"varchar(10)", "'" + kStrasse + "'", ftString, 10, false, kStrasse},
        ColumnCase{"nchar(3)", "N'\xD0\x96'", ftWideString, 3, true, "\xD0\x96  "},
        ColumnCase{"nvarchar(5)", "N'\xD0\x96'", ftWideString, 5, false, "\xD0\x96"},
        ColumnCase{"datetime", "'2024-02-29 13:45:10.250'", ftDateTime, 0, false,
                   EncodeDateTime(2024, 2, 29, 13, 45, 10, 250)},
        ColumnCase{"smalldatetime", "'2024-02-29 13:45'", ftDateTime, 0, false,
                   EncodeDateTime(2024, 2, 29, 13, 45), "datetime"},  // FreeTDS's name
        ColumnCase{"date", "'2024-02-29'", ftDate, 0, false, EncodeDateTime(2024, 2, 29)},
        ColumnCase{"money", "12.3456", ftCurrency, 0, false, 12.3456},
        ColumnCase{"decimal(9,2)", "1234.5", ftFloat, 0, false, 1234.5},
        ColumnCase{"float", "0.5", ftFloat, 0, false, 0.5},
        ColumnCase{"real", "0.25", ftSingle, 0, false, 0.25},
        ColumnCase{"uniqueidentifier", "'6F9619FF-8B86-D011-B42D-00C04FC964FF'", ftGuid, 0, false,
                   "6F9619FF-8B86-D011-B42D-00C04FC964FF"},
        ColumnCase{"text", "'long " + kStrasse + "'", ftMemo, 0, false, "long " + kStrasse},
        ColumnCase{"ntext", "N'\xD0\x96'", ftWideMemo, 0, false, "\xD0\x96"},
        ColumnCase{"varchar(max)", "'m'", ftMemo, 0, false, "m"},
        ColumnCase{"image", "0x0102", ftBlob, 0, false, TBytes{1, 2}},
        ColumnCase{"binary(3)", "0x0102", ftBytes, 3, true, TBytes{1, 2, 0}},
        ColumnCase{"varbinary(4)", "0x0102", ftVarBytes, 4, false, TBytes{1, 2}}),
    [](const auto& info) {
      std::string name = info.param.type;
      name.erase(std::remove_if(name.begin(), name.end(), [](char c) { return !std::isalnum(c); }),
                 name.end());
      return name;
    });

TEST_F(CommandTest, ReadsEveryRowAcrossBlocks) {
  for (const std::string type : {"varchar(10)", "text"}) {  // blocks, and a row at a time
    Run("CREATE TABLE Many (id int, name " + type + ")");
    for (int i = 0; i < 60; ++i) {
      Run("INSERT INTO Many VALUES (?, ?)",
          {{ftInteger, ptInput, std::int32_t{i}},
           {ftString, ptInput, i % 7 == 0 ? TVariant() : TVariant("r" + std::to_string(i))}});
    }
    const TResultSet result = Run("SELECT id, name FROM Many ORDER BY id", {}, 25);
    ASSERT_EQ(result.Rows.size(), 60u) << type;
    for (int i = 0; i < 60; ++i) {
      EXPECT_EQ(result.Rows[i][0], TVariant(std::int32_t{i}));
      EXPECT_EQ(result.Rows[i][1], i % 7 == 0 ? TVariant() : TVariant("r" + std::to_string(i)));
    }
    Run("DROP TABLE Many");
  }
}

TEST_F(CommandTest, LongTextRoundTrips) {
  const std::string long_text(20000, 'q');
  Run("CREATE TABLE Doc (body varchar(max))");
  Run("INSERT INTO Doc VALUES (?)", {{ftString, ptInput, long_text}});
  EXPECT_EQ(Run("SELECT body FROM Doc").Rows.at(0).at(0), TVariant(long_text));
}

// The stand-in has no procedures of its own making; a catalog procedure's
// return status stands in for a result parameter.
TEST_F(CommandTest, AResultParameterComesBackOnceTheResultsAreRead) {
  Run("CREATE TABLE Keyed (a int PRIMARY KEY)");
  ASSERT_TRUE(command_->Execute("{? = CALL sp_pkeys(?)}", {{ftInteger, ptResult, std::int32_t{-1}},
                                                           {ftString, ptInput, "Keyed"}}));
  EXPECT_EQ(command_->ReadResult(25).Rows.size(), 1u);
  EXPECT_THAT(command_->OutputValues(), ElementsAre(TVariant(std::int32_t{0}), TVariant()));
}

TEST_F(CommandTest, ErrorsAreRaisedAndTheCommandStaysUsable) {
  try {
    Run("SELECT * FROM Missing");
    FAIL() << "no error";
  } catch (const EMSError& error) {
    EXPECT_EQ(error.MSSQLErrorCode(), 208);
    EXPECT_THAT(error.Message(), HasSubstr("Invalid object name 'Missing'"));
  }
  // An error after the first statement of a batch is raised as well.
  EXPECT_THROW(Run("SELECT 1; SELECT * FROM Missing"), EMSError);
  EXPECT_THROW(Run("DECLARE @x int; INSERT INTO Missing VALUES (1)"), EMSError);
  EXPECT_EQ(Run("SELECT 3").Rows.at(0).at(0), TVariant(std::int32_t{3}));
}

TEST_F(CommandTest, PrimaryKeyColumnsInKeyOrder) {
  Run("CREATE TABLE Keyed (a int NOT NULL, b int NOT NULL, c int, PRIMARY KEY (b, a))");
  Run("CREATE TABLE Heap (a int)");
  EXPECT_THAT(command_->PrimaryKeyColumns("Keyed"), ElementsAre("b", "a"));
  EXPECT_THAT(command_->PrimaryKeyColumns("[dbo].[Keyed]"), ElementsAre("b", "a"));
  EXPECT_THAT(command_->PrimaryKeyColumns("master.dbo.Keyed"), ElementsAre("b", "a"));
  EXPECT_THAT(command_->PrimaryKeyColumns("Heap"), IsEmpty());
}

TEST_F(CommandTest, ACommandOnAClosedSessionRaisesNotConnected) {
  connection_->Disconnect();
  try {
    Run("SELECT 1");
    FAIL() << "ran";
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), "Connection is not connected");
  }
}

}  // namespace
