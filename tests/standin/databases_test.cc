// Databases as a site has them: several side by side, reached by USE, by the
// login, or by three-part names, and dropped again.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "odbc_test_connection.h"
#include "standin_server.h"

namespace standin_test {
namespace {

class DatabasesTest : public ::testing::Test {
 protected:
  StandinServer server_;
};

TEST_F(DatabasesTest, ManyDatabasesLiveSideBySide) {
  constexpr int kDatabases = 20;
  OdbcTestConnection connection(server_.port());
  for (int i = 1; i <= kDatabases; ++i) {
    const std::string name = "Site" + std::to_string(i);
    connection.Exec("CREATE DATABASE " + name);
    connection.Exec("USE " + name);
    connection.Exec("CREATE TABLE Marker (n int)");
    connection.Exec("INSERT INTO Marker VALUES (" + std::to_string(i) + ")");
  }
  for (int i = 1; i <= kDatabases; ++i) {
    OdbcTestConnection direct(server_.port(), {"sa", "", "Site" + std::to_string(i)});
    EXPECT_EQ(direct.Scalar("SELECT n FROM Marker"), std::to_string(i));
  }
}

TEST_F(DatabasesTest, ThreePartNamesReachAnotherDatabase) {
  OdbcTestConnection connection(server_.port());
  connection.Exec("CREATE DATABASE Other");
  connection.Exec("CREATE TABLE Other.dbo.Remote (id int)");
  connection.Exec("INSERT INTO Other.dbo.Remote VALUES (1), (2)");
  EXPECT_EQ(connection.Scalar("SELECT DB_NAME()"), "master");
  EXPECT_EQ(connection.Scalar("SELECT COUNT(*) FROM Other.dbo.Remote"), "2");
  EXPECT_EQ(connection.Scalar("SELECT COUNT(*) FROM Other..Remote"), "2");
}

TEST_F(DatabasesTest, DroppedDatabaseIsGone) {
  OdbcTestConnection connection(server_.port());
  connection.Exec("CREATE DATABASE Passing");
  EXPECT_EQ(connection.Scalar("SELECT COUNT(*) FROM sys.databases WHERE name = 'Passing'"), "1");
  connection.Exec("DROP DATABASE Passing");
  EXPECT_EQ(connection.Scalar("SELECT COUNT(*) FROM sys.databases WHERE name = 'Passing'"), "0");
  try {
    connection.Exec("USE Passing");
    FAIL() << "USE of a dropped database succeeded";
  } catch (const OdbcError& error) {
    EXPECT_EQ(error.native(), 911) << error.what();
  }
  // The name is free again.
  connection.Exec("CREATE DATABASE Passing");
}

TEST_F(DatabasesTest, DatabaseInUseCannotBeDropped) {
  OdbcTestConnection user(server_.port());
  user.Exec("CREATE DATABASE Busy");
  user.Exec("USE Busy");
  OdbcTestConnection admin(server_.port());
  try {
    admin.Exec("DROP DATABASE Busy");
    FAIL() << "a database in use was dropped";
  } catch (const OdbcError& error) {
    EXPECT_EQ(error.native(), 3702) << error.what();
    EXPECT_THAT(
        error.message(),
        ::testing::HasSubstr("Cannot drop database \"Busy\" because it is currently in use."));
  }
}

TEST_F(DatabasesTest, ConditionalCreateAndDrop) {
  OdbcTestConnection connection(server_.port());
  const std::string recreate =
      "IF DB_ID('Jail') IS NOT NULL DROP DATABASE Jail\nCREATE DATABASE Jail";
  connection.Exec(recreate);
  connection.Exec(recreate);
  EXPECT_EQ(connection.Scalar("SELECT COUNT(*) FROM sys.databases WHERE name = 'Jail'"), "1");
}

}  // namespace
}  // namespace standin_test
