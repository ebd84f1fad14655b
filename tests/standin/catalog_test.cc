// The driver's catalog functions on the jail's tables: how a program finds
// tables, their columns and their keys without knowing them in advance.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "jail_sample.h"
#include "jail_schema.h"
#include "jail_script.h"
#include "odbc_test_connection.h"
#include "script_loader.h"
#include "standin_server.h"

namespace standin_test {
namespace {

// Result columns of the ODBC catalog functions, by position (from 1).
constexpr int kTableName = 3;
constexpr int kTableType = 4;
constexpr int kColumnName = 4;
constexpr int kDataType = 5;
constexpr int kTypeName = 6;
constexpr int kColumnSize = 7;
constexpr int kKeySequence = 5;

class CatalogTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server_ = std::make_unique<StandinServer>();
    OdbcTestConnection connection(server_->port());
    LoadScript(connection, jailgen::MakeScript(jailgen::MakeSample({.bookings = 10}), {}));
  }
  static void TearDownTestSuite() { server_.reset(); }
  static OdbcTestConnection Jail() {
    return OdbcTestConnection(server_->port(), {"sa", "", "JAIL"});
  }

 private:
  static inline std::unique_ptr<StandinServer> server_;
};

TEST_F(CatalogTest, TablesListsAUserTable) {
  OdbcTestConnection jail = Jail();
  OdbcStatement statement = jail.Statement();
  statement.Tables("WARDERLY");
  const ResultSet result = statement.FetchAll();
  ASSERT_EQ(result.rows.size(), 1u);
  EXPECT_EQ(result.rows[0][0], "JAIL");
  EXPECT_EQ(result.rows[0][1], "dbo");
  EXPECT_EQ(result.rows[0][kTableName - 1], "WARDERLY");
  EXPECT_EQ(result.rows[0][kTableType - 1], "TABLE");
}

TEST_F(CatalogTest, ColumnsFollowTheTableDefinition) {
  OdbcTestConnection jail = Jail();
  OdbcStatement statement = jail.Statement();
  statement.TableColumns("WRPITEMS");
  const ResultSet result = statement.FetchAll();
  const jailgen::TableDef& table = jailgen::Table("WRPITEMS");
  ASSERT_EQ(result.rows.size(), table.columns.size());
  for (std::size_t i = 0; i < table.columns.size(); ++i) {
    EXPECT_EQ(result.rows[i][kColumnName - 1], std::string(table.columns[i].name));
    const std::string declared(table.columns[i].type);
    EXPECT_EQ(result.rows[i][kTypeName - 1], declared.substr(0, declared.find('(')));
  }
}

struct ColumnCase {
  const char* table;
  const char* column;
  SQLSMALLINT data_type;
  const char* type_name;
  const char* size;
};

void PrintTo(const ColumnCase& c, std::ostream* os) {
  *os << c.table << "." << c.column;
}

class ColumnTypeTest : public CatalogTest, public ::testing::WithParamInterface<ColumnCase> {};

TEST_P(ColumnTypeTest, ReportsOdbcTypeAndSize) {
  const ColumnCase& c = GetParam();
  OdbcTestConnection jail = Jail();
  OdbcStatement statement = jail.Statement();
  statement.TableColumns(c.table);
  for (const Row& row : statement.FetchAll().rows) {
    if (row[kColumnName - 1] != c.column) continue;
    EXPECT_EQ(row[kDataType - 1], std::to_string(c.data_type));
    EXPECT_EQ(row[kTypeName - 1], c.type_name);
    EXPECT_EQ(row[kColumnSize - 1], c.size);
    return;
  }
  FAIL() << "no column " << c.column;
}

INSTANTIATE_TEST_SUITE_P(
    Jail, ColumnTypeTest,
    ::testing::Values(ColumnCase{"CFGPROPL", "LOCATIONCODE", SQL_VARCHAR, "varchar", "5"},
                      ColumnCase{"CFGPROPL", "ALLOW", SQL_INTEGER, "int", "10"},
                      ColumnCase{"CFGPROPL", "AVAILABLE", SQL_BIT, "bit", "1"},
                      ColumnCase{"CFGPROPL", "LOCKEY", SQL_BIGINT, "bigint identity", "19"},
                      ColumnCase{"WRPITEMS", "CASHAMOUNT", SQL_DECIMAL, "money", "19"},
                      ColumnCase{"WRPITEMS", "COMMENTS", SQL_LONGVARCHAR, "text", "2147483647"},
                      ColumnCase{"WRIPROP", "RECDATE", SQL_TYPE_TIMESTAMP, "datetime", "23"},
                      ColumnCase{"WARDERLY", "SEX", SQL_CHAR, "char", "1"}),
    [](const auto& info) {
      return std::string(info.param.table) + "_" + std::string(info.param.column);
    });

TEST_F(CatalogTest, PrimaryKeysNameTheKeyColumn) {
  OdbcTestConnection jail = Jail();
  OdbcStatement statement = jail.Statement();
  for (const char* table : {"CFGPROPL", "CFGPROPC", "WARDERLY"}) {
    statement.PrimaryKeys(table);
    const ResultSet result = statement.FetchAll();
    ASSERT_EQ(result.rows.size(), 1u) << table;
    EXPECT_EQ(result.rows[0][kTableName - 1], table);
    EXPECT_EQ(result.rows[0][kColumnName - 1], std::string(jailgen::Table(table).primary_key));
    EXPECT_EQ(result.rows[0][kKeySequence - 1], "1");
  }
  statement.PrimaryKeys("WRPITEMS");
  EXPECT_TRUE(statement.FetchAll().rows.empty());
}

TEST_F(CatalogTest, StatisticsListTheIndexesInKeyOrder) {
  constexpr int kNonUnique = 4, kIndexName = 6, kOrdinal = 8, kIndexColumn = 9;
  OdbcTestConnection jail = Jail();
  OdbcStatement statement = jail.Statement();
  statement.Statistics("WRIPROP");
  std::vector<Row> index;
  for (const Row& row : statement.FetchAll().rows) {
    if (row[kIndexName - 1] != "IX_WRIPROP_LOCKEY_BOOKNO") continue;
    index.push_back({row[kNonUnique - 1], row[kOrdinal - 1], row[kIndexColumn - 1]});
  }
  EXPECT_EQ(index, (std::vector<Row>{{"1", "1", "LOCKEY"}, {"1", "2", "BOOKNO"}}));

  statement.Statistics("WARDERLY");
  bool unique_key = false;
  for (const Row& row : statement.FetchAll().rows) {
    unique_key = unique_key || (row[kNonUnique - 1] == "0" && row[kIndexColumn - 1] == "BOOKNO");
  }
  EXPECT_TRUE(unique_key) << "no unique index on WARDERLY.BOOKNO";
}

TEST_F(CatalogTest, BestRowIdIsThePrimaryKey) {
  constexpr int kRowIdColumn = 2;
  OdbcTestConnection jail = Jail();
  OdbcStatement statement = jail.Statement();
  statement.BestRowId("CFGPROPC");
  const ResultSet result = statement.FetchAll();
  ASSERT_EQ(result.rows.size(), 1u);
  EXPECT_EQ(result.rows[0][kRowIdColumn - 1], "CONTAINERID");
}

}  // namespace
}  // namespace standin_test
