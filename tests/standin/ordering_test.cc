// The order rows come back in without ORDER BY: along the primary key, which
// SQL Server keeps as the clustered index, whatever order they went in; a
// table without a key in the order it was filled. Also IDENTITY_INSERT, the
// way keyed rows go in out of order.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "odbc_test_connection.h"
#include "standin_server.h"

namespace standin_test {
namespace {

class OrderingTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server_ = std::make_unique<StandinServer>();
    OdbcTestConnection connection(server_->port());
    connection.Exec("CREATE DATABASE Ordering");
    connection.Exec("USE Ordering");
    connection.Exec("CREATE TABLE Keyed (id int PRIMARY KEY, name varchar(10))");
    connection.Exec("INSERT INTO Keyed VALUES (3, 'three'), (1, 'one'), (2, 'two')");
    connection.Exec("CREATE TABLE Heap (id int, name varchar(10))");
    connection.Exec("INSERT INTO Heap VALUES (3, 'three'), (1, 'one'), (2, 'two')");
    connection.Exec("CREATE TABLE Pairs (a varchar(5), b int, PRIMARY KEY (a, b))");
    connection.Exec("INSERT INTO Pairs VALUES ('b', 1), ('A', 2), ('a', 1)");
    connection.Exec("CREATE TABLE Numbered (k int IDENTITY(1,1) PRIMARY KEY, v varchar(5))");
    connection.Exec(
        "SET IDENTITY_INSERT dbo.Numbered ON; INSERT INTO Numbered (v, k) VALUES ('e', 5), ('b', "
        "2); "
        "SET IDENTITY_INSERT Numbered OFF");
    connection.Exec("INSERT INTO Numbered (v) VALUES ('next')");
  }
  static void TearDownTestSuite() { server_.reset(); }
  static OdbcTestConnection Connect() {
    return OdbcTestConnection(server_->port(), {"sa", "", "Ordering"});
  }

  // The first column of every row of `sql`, in the order they came.
  static std::vector<std::string> FirstColumn(const std::string& sql) {
    std::vector<std::string> values;
    for (const Row& row : Connect().Query(sql).rows) values.push_back(row.at(0).value_or("NULL"));
    return values;
  }

  // The native error `sql` fails with, or 0 if it succeeds.
  static int ErrorOf(const std::string& sql) {
    try {
      Connect().Exec(sql);
      return 0;
    } catch (const OdbcError& error) {
      return error.native();
    }
  }

 private:
  static inline std::unique_ptr<StandinServer> server_;
};

struct OrderCase {
  const char* name;
  const char* query;
  std::vector<std::string> expected;
};

void PrintTo(const OrderCase& c, std::ostream* os) {
  *os << c.name;
}

class OrderCaseTest : public OrderingTest, public ::testing::WithParamInterface<OrderCase> {};

TEST_P(OrderCaseTest, ComesBackInThatOrder) {
  EXPECT_THAT(FirstColumn(GetParam().query), ::testing::ElementsAreArray(GetParam().expected))
      << GetParam().query;
}

INSTANTIATE_TEST_SUITE_P(
    WithoutOrderBy, OrderCaseTest,
    ::testing::Values(
        OrderCase{"KeyedTableInKeyOrder", "SELECT id FROM Keyed", {"1", "2", "3"}},
        OrderCase{"StarToo", "SELECT * FROM Keyed", {"1", "2", "3"}},
        OrderCase{
            "FilteredStillInKeyOrder", "SELECT name FROM Keyed WHERE id > 1", {"two", "three"}},
        OrderCase{"TopTakesTheLowestKeys", "SELECT TOP 2 id FROM Keyed", {"1", "2"}},
        OrderCase{"HeapInInsertionOrder", "SELECT id FROM Heap", {"3", "1", "2"}},
        OrderCase{"JoinFollowsTheFirstTablesKey",
                  "SELECT k.name FROM Keyed k JOIN Heap h ON h.id = k.id",
                  {"one", "two", "three"}},
        OrderCase{"CompositeKeyUnderTheCollation",
                  "SELECT a + CONVERT(varchar(5), b) FROM Pairs",
                  {"a1", "A2", "b1"}},
        OrderCase{"DerivedTableOfAKeyedTable",
                  "SELECT x.id FROM (SELECT id FROM Keyed) x",
                  {"1", "2", "3"}},
        OrderCase{
            "ExplicitIdentityValuesTakeTheirPlace", "SELECT v FROM Numbered", {"b", "e", "next"}},
        OrderCase{
            "IdentityContinuesAfterTheLargestGiven", "SELECT k FROM Numbered", {"2", "5", "6"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(OrderingTest, OrderByStillDecides) {
  EXPECT_THAT(FirstColumn("SELECT id FROM Keyed ORDER BY id DESC"),
              ::testing::ElementsAre("3", "2", "1"));
  EXPECT_THAT(FirstColumn("SELECT id FROM Heap ORDER BY name"),
              ::testing::ElementsAre("1", "3", "2"));
}

TEST_F(OrderingTest, TopOfUpdateAndDeleteTakesTheLowestKeys) {
  OdbcTestConnection connection = Connect();
  connection.Exec("CREATE TABLE #marks (id int PRIMARY KEY, mark varchar(5))");
  connection.Exec("INSERT INTO #marks VALUES (3, ''), (1, ''), (2, '')");
  connection.Exec("UPDATE TOP (1) #marks SET mark = 'x'");
  EXPECT_EQ(connection.Scalar("SELECT id FROM #marks WHERE mark = 'x'"), "1");
  connection.Exec("DELETE TOP (2) FROM #marks");
  EXPECT_EQ(connection.Scalar("SELECT COUNT(*) FROM #marks"), "1");
  EXPECT_EQ(connection.Scalar("SELECT id FROM #marks"), "3");
}

TEST_F(OrderingTest, IdentityInsertIsCheckedAsSqlServerChecksIt) {
  // OFF: no explicit value.
  EXPECT_EQ(ErrorOf("INSERT INTO Numbered (k, v) VALUES (9, 'x')"), 544);
  // ON: the value must be given.
  EXPECT_EQ(ErrorOf("SET IDENTITY_INSERT Numbered ON; INSERT INTO Numbered (v) VALUES ('x')"), 545);
  EXPECT_EQ(ErrorOf("SET IDENTITY_INSERT Keyed ON"), 8106);
  EXPECT_EQ(ErrorOf("CREATE TABLE #other (k int IDENTITY); SET IDENTITY_INSERT Numbered ON; "
                    "SET IDENTITY_INSERT #other ON"),
            8107);
}

}  // namespace
}  // namespace standin_test
