// The texts the datasets generate: names, the table statement, the link
// condition of a detail and where it goes, and the row statements of editing.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "db/access/link_condition.h"
#include "db/access/sql_names.h"
#include "db/access/update_statements.h"
#include "db/sqlserver/table.h"

namespace {

struct NameCase {
  std::string Name;
  bool QuoteNames;
  std::string Quoted;
};

TEST(SqlNamesTest, QuoteName) {
  const NameCase cases[] = {
      {"CFGPROPL", true, "[CFGPROPL]"},  {"CFGPROPL", false, "CFGPROPL"},
      {"dbo.T", true, "[dbo].[T]"},      {"[dbo].T", true, "[dbo].[T]"},
      {"my table", false, "[my table]"}, {"1abc", false, "[1abc]"},
      {"#tmp", false, "#tmp"},           {"[a.b].c", false, "[a.b].c"},
      {"a]b", false, "[a]]b]"},          {"dbo.x]]", true, "[dbo].[x]]]]]"},
      {"[a]]b].c", false, "[a]]b].c"},   {"[a]b", true, "[[a]]b]"},
  };
  for (const NameCase& c : cases) {
    EXPECT_EQ(QuoteName(c.Name, c.QuoteNames), c.Quoted) << c.Name << " " << c.QuoteNames;
  }
}

TEST(SqlNamesTest, UnquoteName) {
  const std::pair<std::string, std::string> cases[] = {{" [dbo].[CFGPROPC] ", "dbo.CFGPROPC"},
                                                       {"\"T\"", "T"},
                                                       {"T", "T"},
                                                       {"[a.b].c", "a.b.c"},
                                                       {"[a]].b].[c]]]", "a].b.c]"},
                                                       {"\"x\"\"y\"", "x\"y"}};
  for (const auto& [name, unquoted] : cases) EXPECT_EQ(UnquoteName(name), unquoted) << name;
}

TEST(SqlNamesTest, FirstTableAfterFrom) {
  const std::pair<std::string, std::string> cases[] = {
      {"SELECT * FROM [CFGPROPL]\r\n", "CFGPROPL"},
      {"select a from dbo.T t where x = 1", "dbo.T"},
      {"SELECT (SELECT 1 FROM X) FROM [db].[dbo].[Y]", "db.dbo.Y"},
      {"SELECT 'FROM Z' /* FROM W */ FROM T -- FROM V", "T"},
      {"SELECT * FROM [dbo].[a]]b] WHERE 1 = 1", "dbo.a]b"},
      {"SELECT 1", ""},
      {"UPDATE T SET A = 1", ""},
  };
  for (const auto& [sql, table] : cases) EXPECT_EQ(FirstTableAfterFrom(sql), table) << sql;
}

TEST(TableStatementTest, SelectsEverythingWithTheOrderAsWritten) {
  EXPECT_EQ(TableStatement("CFGPROPL", "", true), "SELECT * FROM [CFGPROPL]\r\n");
  EXPECT_EQ(TableStatement("dbo.WRIPROP", "BOOKNO", false),
            "SELECT * FROM dbo.WRIPROP\r\nORDER BY BOOKNO\r\n");
  EXPECT_EQ(TableStatement("dbo.WRIPROP", "BOOKNO desc", true),
            "SELECT * FROM [dbo].[WRIPROP]\r\nORDER BY BOOKNO desc\r\n");
  EXPECT_EQ(TableStatement("a]b", "", false), "SELECT * FROM [a]]b]\r\n");
}

TEST(LinkConditionTest, PairsQuotedAsTheTableName) {
  EXPECT_EQ(LinkCondition({{"LOCKEY", "LOCKEY"}}, true), "[LOCKEY] = :[LOCKEY]");
  EXPECT_EQ(LinkCondition({{"A", "B"}, {"C", "D"}}, false), "A = :B AND C = :D");
  EXPECT_EQ(LinkCondition({{"K]1", "M]2"}}, false), "[K]]1] = :[M]]2]");
}

struct InjectionCase {
  const char* Name;
  std::string Sql;
  std::string Expected;

  friend void PrintTo(const InjectionCase& ACase, std::ostream* AOut) { *AOut << ACase.Name; }
};

class AddWhereConditionTest : public ::testing::TestWithParam<InjectionCase> {};

TEST_P(AddWhereConditionTest, GoesIntoTheWhereClause) {
  EXPECT_EQ(AddWhereCondition(GetParam().Sql, "K = :K"), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Statements, AddWhereConditionTest,
    ::testing::Values(
        InjectionCase{"AtTheEnd", "SELECT * FROM [CFGPROPC]\r\n",
                      "SELECT * FROM [CFGPROPC]\r\nWHERE K = :K\r\n"},
        InjectionCase{"AtTheEndWithoutLineBreak", "SELECT * FROM T",
                      "SELECT * FROM T WHERE K = :K"},
        InjectionCase{"BeforeOrderBy", "SELECT * FROM T\r\nORDER BY A\r\n",
                      "SELECT * FROM T\r\nWHERE K = :K\r\nORDER BY A\r\n"},
        InjectionCase{"ExistingWhere", "SELECT * FROM T WHERE A = 1 OR B = 2",
                      "SELECT * FROM T WHERE (A = 1 OR B = 2) AND K = :K"},
        InjectionCase{"ExistingWhereBeforeGroupBy",
                      "SELECT A, COUNT(*) FROM T WHERE A > 0 GROUP BY A",
                      "SELECT A, COUNT(*) FROM T WHERE (A > 0) AND K = :K GROUP BY A"},
        InjectionCase{"NestedWhereIsNotTheStatements",
                      "SELECT * FROM T WHERE X IN (SELECT X FROM U WHERE Y = 1 ORDER BY X)",
                      "SELECT * FROM T WHERE (X IN (SELECT X FROM U WHERE Y = 1 ORDER BY X)) "
                      "AND K = :K"},
        InjectionCase{"KeywordsInLiteralsAndNames", "SELECT 'WHERE', [ORDER] FROM T -- ORDER BY\n",
                      "SELECT 'WHERE', [ORDER] FROM T -- ORDER BY\nWHERE K = :K\n"},
        InjectionCase{"AfterACommentWithoutLineBreak", "SELECT * FROM T -- note",
                      "SELECT * FROM T -- note\r\nWHERE K = :K"},
        InjectionCase{"ExistingWhereEndingInAComment", "SELECT * FROM T WHERE A = 'x' -- note",
                      "SELECT * FROM T WHERE (A = 'x' -- note\r\n) AND K = :K"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(UpdateStatementsTest, RowStatementsFindTheRowByItsKeys) {
  const std::vector<odbc::TColumnInfo> columns = {
      {"ID", "int", ftInteger}, {"NAME", "varchar", ftString, 10}, {"NOTE", "text", ftMemo}};
  const std::vector<int> keys = {0};
  const TRowTarget target{"dbo.T", columns, keys};
  const std::vector<TVariant> old_row = {std::int32_t{7}, "a", TVariant()};
  const std::vector<TVariant> new_row = {std::int32_t{7}, "b", TVariant()};

  const TGeneratedStatement update = UpdateRowStatement(target, old_row, new_row);
  EXPECT_EQ(update.Text, "UPDATE [dbo].[T] SET [NAME] = :P1 WHERE [ID] = :P2");
  ASSERT_EQ(update.Params.size(), 2u);
  EXPECT_EQ(update.Params[0].Value, TVariant("b"));
  EXPECT_EQ(update.Params[0].DataType, ftString);
  EXPECT_EQ(update.Params[1].Value, TVariant(std::int32_t{7}));
  EXPECT_TRUE(UpdateRowStatement(target, old_row, old_row).Text.empty());

  EXPECT_EQ(InsertRowStatement(target, new_row).Text,
            "INSERT INTO [dbo].[T] ([ID], [NAME]) VALUES (:P1, :P2)");
  EXPECT_EQ(DeleteRowStatement(target, old_row).Text, "DELETE FROM [dbo].[T] WHERE [ID] = :P1");
  EXPECT_EQ(SelectRowStatement({"T", columns, {0, 1}}, {TVariant(), "a", TVariant()}).Text,
            "SELECT * FROM [T] WHERE [ID] IS NULL AND [NAME] = :P1");
}

// A "]" in a table or column name is doubled inside its brackets, in every
// statement; a column's name is one name even with a dot in it.
TEST(UpdateStatementsTest, NamesWithAClosingBracketAreDoubled) {
  const std::vector<odbc::TColumnInfo> columns = {{"K]1", "int", ftInteger},
                                                  {"a.b]", "varchar", ftString, 10}};
  const std::vector<int> keys = {0};
  const TRowTarget target{"dbo.T]x", columns, keys};
  const std::vector<TVariant> old_row = {std::int32_t{7}, "a"};
  const std::vector<TVariant> new_row = {std::int32_t{7}, "b"};
  const std::pair<std::string, std::string> cases[] = {
      {SelectRowStatement(target, old_row).Text, "SELECT * FROM [dbo].[T]]x] WHERE [K]]1] = :P1"},
      {UpdateRowStatement(target, old_row, new_row).Text,
       "UPDATE [dbo].[T]]x] SET [a.b]]] = :P1 WHERE [K]]1] = :P2"},
      {InsertRowStatement(target, new_row).Text,
       "INSERT INTO [dbo].[T]]x] ([K]]1], [a.b]]]) VALUES (:P1, :P2)"},
      {DeleteRowStatement(target, old_row).Text, "DELETE FROM [dbo].[T]]x] WHERE [K]]1] = :P1"},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(text, expected);
}

}  // namespace
