// The sample jail loaded through the driver, answering the statements the
// synchronising program runs, and still there after a restart.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "jail_sample.h"
#include "jail_schema.h"
#include "jail_script.h"
#include "odbc_test_connection.h"
#include "script_loader.h"
#include "standin_server.h"
#include "tsql_runner.h"

namespace standin_test {
namespace {

const jailgen::SampleOptions kOptions{
    .locations = 6, .containers = 4, .bookings = 500, .released = 0.3, .items = 3, .seed = 7};

class JailTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    sample_ = jailgen::MakeSample(kOptions);
    server_ = std::make_unique<StandinServer>();
    OdbcTestConnection connection(server_->port());
    LoadScript(connection, jailgen::MakeScript(sample_, {}));
  }
  static void TearDownTestSuite() { server_.reset(); }

  static OdbcTestConnection Jail() {
    return OdbcTestConnection(server_->port(), {"sa", "", "JAIL"});
  }

  static std::int64_t HeldBookingsAt(std::int64_t lockey) {
    std::map<std::string, bool> released;
    for (const auto& booking : sample_.bookings) released[booking.bookno] = booking.Released();
    std::int64_t held = 0;
    for (const auto& property : sample_.properties) {
      if (property.lockey == lockey && !released[property.bookno]) ++held;
    }
    return held;
  }

  static std::int64_t HeldItemsIn(std::int64_t containerid) {
    std::int64_t held = 0;
    for (const auto& item : sample_.items) {
      if (item.containerid == containerid && item.Held()) ++held;
    }
    return held;
  }

  static inline jailgen::Sample sample_;
  static inline std::unique_ptr<StandinServer> server_;
};

TEST_F(JailTest, SiteDatabaseNamesTheJailDatabase) {
  OdbcTestConnection site(server_->port(), {"sa", "", "VANTOR"});
  EXPECT_EQ(site.Scalar("SELECT ConnString FROM ConnectLib WHERE ProgramID = ?",
                        {SqlParam::VarChar("jail")}),
            jailgen::JailConnString("JAIL"));
}

TEST_F(JailTest, EveryRowArrived) {
  OdbcTestConnection jail = Jail();
  const std::map<std::string, std::size_t> expected = {{"CFGPROPL", sample_.locations.size()},
                                                       {"CFGPROPC", sample_.containers.size()},
                                                       {"WARDERLY", sample_.bookings.size()},
                                                       {"WRIPROP", sample_.properties.size()},
                                                       {"WRPITEMS", sample_.items.size()}};
  for (const auto& [table, rows] : expected) {
    EXPECT_EQ(jail.Scalar("SELECT COUNT(*) FROM " + table), std::to_string(rows)) << table;
  }
}

TEST_F(JailTest, IdentityKeysFollowInsertionOrder) {
  OdbcTestConnection jail = Jail();
  const ResultSet result =
      jail.Query("SELECT LOCKEY, LOCATIONCODE, LOCATION FROM CFGPROPL ORDER BY LOCKEY");
  ASSERT_EQ(result.rows.size(), sample_.locations.size());
  for (std::size_t i = 0; i < result.rows.size(); ++i) {
    const auto& location = sample_.locations[i];
    EXPECT_EQ(result.rows[i], (Row{std::to_string(location.lockey), location.code, location.name}));
  }
}

TEST_F(JailTest, NamesKeepAccentsAndEmptyMiddleNames) {
  OdbcTestConnection jail = Jail();
  const ResultSet result =
      jail.Query("SELECT FNAME, MNAME FROM WARDERLY WHERE BOOKNO IN (?, ?) ORDER BY BOOKNO",
                 {SqlParam::VarChar(sample_.bookings[0].bookno),
                  SqlParam::VarChar(sample_.bookings[1].bookno)});
  ASSERT_EQ(result.rows.size(), 2u);
  EXPECT_EQ(result.rows[0][0], "Zoë");
  EXPECT_EQ(result.rows[1], (Row{"José", ""}));
  EXPECT_EQ(jail.Scalar("SELECT COUNT(*) FROM WARDERLY WHERE MNAME IS NULL"),
            std::to_string(std::count_if(sample_.bookings.begin(), sample_.bookings.end(),
                                         [](const auto& b) { return !b.mname; })));
}

TEST_F(JailTest, HeldBookingsPerLocation) {
  OdbcTestConnection jail = Jail();
  OdbcStatement count = jail.Statement();
  count.Prepare(
      "SELECT COUNT(*) FROM WRIPROP P INNER JOIN WARDERLY W ON W.BOOKNO = P.BOOKNO "
      "WHERE P.LOCKEY = ? AND (W.NAMERELEAS = 0 OR W.NAMERELEAS IS NULL)");
  for (const auto& location : sample_.locations) {
    count.Execute({SqlParam::Int(static_cast<int>(location.lockey))});
    ASSERT_TRUE(count.Fetch());
    EXPECT_EQ(count.Int(1), HeldBookingsAt(location.lockey)) << location.name;
  }
}

// What the program does: recount, then store, each container's availability.
TEST_F(JailTest, SynchronisingContainersCorrectsTheirFlags) {
  OdbcTestConnection jail = Jail();
  OdbcStatement count = jail.Statement();
  count.Prepare(
      "SELECT COUNT(*) FROM WRPITEMS WHERE LOCKEY = ? AND CONTAINERID = ? "
      "AND ([RELEASE] = 0 OR [RELEASE] IS NULL)");
  OdbcStatement update = jail.Statement();
  update.Prepare("UPDATE CFGPROPC SET AVAILABLE = ? WHERE CONTAINERID = ?");
  int available = 0;
  for (const auto& container : sample_.containers) {
    count.Execute({SqlParam::Int(static_cast<int>(container.lockey)),
                   SqlParam::Int(static_cast<int>(container.containerid))});
    ASSERT_TRUE(count.Fetch());
    const std::int64_t held = count.Int(1).value();
    count.Close();
    EXPECT_EQ(held, HeldItemsIn(container.containerid)) << container.name;
    update.Execute({SqlParam::Bit(held == 0), SqlParam::BigInt(container.containerid)});
    EXPECT_EQ(update.RowCount(), 1);
    available += held == 0;
  }
  EXPECT_EQ(jail.Scalar("SELECT COUNT(*) FROM CFGPROPC WHERE AVAILABLE = 1"),
            std::to_string(available));

  // Every location is listed, the one without containers with none free.
  const ResultSet free = jail.Query(
      "SELECT L.LOCKEY, COUNT(C.CONTAINERID) FROM CFGPROPL L LEFT JOIN CFGPROPC C "
      "ON C.LOCKEY = L.LOCKEY AND C.AVAILABLE = 1 GROUP BY L.LOCKEY ORDER BY L.LOCKEY");
  ASSERT_EQ(free.rows.size(), sample_.locations.size());
  EXPECT_EQ(free.rows.back(), (Row{std::to_string(sample_.locations.back().lockey), "0"}));
}

// Set-based synchronisation: the containers through a correlated subquery,
// the locations through UPDATE ... FROM a grouped join.
TEST_F(JailTest, CorrelatedUpdateSetsContainerFlags) {
  OdbcTestConnection jail = Jail();
  jail.Exec(
      "UPDATE CFGPROPC SET AVAILABLE = CASE WHEN EXISTS (SELECT 1 FROM WRPITEMS I "
      "WHERE I.CONTAINERID = CFGPROPC.CONTAINERID AND (I.[RELEASE] = 0 OR I.[RELEASE] IS NULL)) "
      "THEN 0 ELSE 1 END");
  const ResultSet containers = jail.Query("SELECT CONTAINERID, AVAILABLE FROM CFGPROPC ORDER BY 1");
  ASSERT_EQ(containers.rows.size(), sample_.containers.size());
  for (std::size_t i = 0; i < containers.rows.size(); ++i) {
    const auto id = sample_.containers[i].containerid;
    EXPECT_EQ(containers.rows[i], (Row{std::to_string(id), HeldItemsIn(id) == 0 ? "1" : "0"}));
  }
}

TEST_F(JailTest, JoinedUpdateRecountsLocations) {
  OdbcTestConnection jail = Jail();
  jail.Exec(
      "UPDATE CFGPROPL SET ONLOC = 0\n"
      "UPDATE L SET ONLOC = X.N FROM CFGPROPL L INNER JOIN (SELECT P.LOCKEY, COUNT(*) AS N "
      "FROM WRIPROP P INNER JOIN WARDERLY W ON W.BOOKNO = P.BOOKNO "
      "WHERE W.NAMERELEAS = 0 OR W.NAMERELEAS IS NULL GROUP BY P.LOCKEY) X "
      "ON X.LOCKEY = L.LOCKEY");
  const ResultSet locations = jail.Query("SELECT LOCKEY, ONLOC FROM CFGPROPL ORDER BY LOCKEY");
  ASSERT_EQ(locations.rows.size(), sample_.locations.size());
  for (std::size_t i = 0; i < locations.rows.size(); ++i) {
    const auto lockey = sample_.locations[i].lockey;
    EXPECT_EQ(locations.rows[i],
              (Row{std::to_string(lockey), std::to_string(HeldBookingsAt(lockey))}));
  }
}

TEST_F(JailTest, ReleasingAnItemInATransactionCanBeUndone) {
  OdbcTestConnection jail = Jail();
  const std::string item = sample_.items.front().propitemno;
  const auto before =
      jail.Scalar("SELECT [RELEASE] FROM WRPITEMS WHERE PROPITEMNO = ?", {SqlParam::VarChar(item)});
  jail.Exec("BEGIN TRANSACTION");
  jail.Exec("UPDATE WRPITEMS SET [RELEASE] = 1, RELEASENAME = ? WHERE PROPITEMNO = ?",
            {SqlParam::VarChar("Zoë O'Brien"), SqlParam::VarChar(item)});
  jail.Exec("ROLLBACK TRANSACTION");
  EXPECT_EQ(
      jail.Scalar("SELECT [RELEASE] FROM WRPITEMS WHERE PROPITEMNO = ?", {SqlParam::VarChar(item)}),
      before);
}

TEST_F(JailTest, MoneyAndTextColumnsKeepTheirValues) {
  OdbcTestConnection jail = Jail();
  for (const auto& item : sample_.items) {
    if (!item.cash_amount || !item.comments) continue;
    const ResultSet result =
        jail.Query("SELECT CASHAMOUNT, COMMENTS FROM WRPITEMS WHERE PROPITEMNO = ?",
                   {SqlParam::VarChar(item.propitemno)});
    ASSERT_EQ(result.rows.size(), 1u);
    EXPECT_EQ(std::stod(result.rows[0][0].value()), std::stod(*item.cash_amount));
    EXPECT_EQ(result.rows[0][1], item.comments);
    return;
  }
  GTEST_SKIP() << "the sample has no cash item with a comment";
}

TEST(JailRestartTest, DataSurvivesARestart) {
  StandinServer server;
  {
    OdbcTestConnection connection(server.port());
    LoadScript(connection, jailgen::MakeScript(jailgen::MakeSample({.bookings = 50}), {}));
    connection.Exec("USE JAIL");
    connection.Exec("UPDATE CFGPROPL SET ONLOC = 99 WHERE LOCKEY = 1");
  }
  server.restart();
  OdbcTestConnection connection(server.port(), {"sa", "", "JAIL"});
  EXPECT_EQ(connection.Scalar("SELECT COUNT(*) FROM WARDERLY"), "50");
  EXPECT_EQ(connection.Scalar("SELECT ONLOC FROM CFGPROPL WHERE LOCKEY = 1"), "99");
  // Identity values go on from where they were.
  connection.Exec("INSERT INTO CFGPROPL (LOCATIONCODE, LOCATION) VALUES ('NW999', 'New')");
  EXPECT_EQ(connection.Scalar("SELECT MAX(LOCKEY) FROM CFGPROPL"), "9");
}

TEST(JailTsqlTest, ScriptLoadsThroughTsql) {
  StandinServer server;
  const std::string script = jailgen::MakeScript(
      jailgen::MakeSample({.locations = 3, .containers = 2, .bookings = 20, .items = 2}),
      {.site_db = "SITE2", .jail_db = "JAIL2"});
  const TsqlResult result = RunTsql(server.port(), SplitBatches(script));
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_THAT(result.out + result.err, ::testing::Not(::testing::HasSubstr("Msg ")));
  OdbcTestConnection connection(server.port(), {"sa", "", "JAIL2"});
  EXPECT_EQ(connection.Scalar("SELECT COUNT(*) FROM WARDERLY"), "20");
}

}  // namespace
}  // namespace standin_test
