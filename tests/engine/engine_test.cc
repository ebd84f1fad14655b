// The engine on its own: statements in, the response SQL Server would give out.
#include "engine.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "recording_sink.h"

namespace standin {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "engine_test_XXXXXX").string();
    dir_ = mkdtemp(pattern.data());
    engine_ = std::make_unique<Engine>(EngineOptions{dir_, {{"sa", ""}, {"Clerk", "pw"}}, "TEST"});
    session_ = Open();
    Run("CREATE DATABASE jail; USE jail");
  }
  void TearDown() override {
    session_.reset();
    engine_.reset();
    std::filesystem::remove_all(dir_);
  }

  std::unique_ptr<Session> Open(const std::string& database = "") {
    return engine_->Open(LoginRequest{"sa", "", database, "test", "host", ""});
  }
  std::string Run(const std::string& sql, Session* session = nullptr) {
    test::RecordingSink sink;
    (session ? session : session_.get())->Batch(sql, sink);
    return sink.Text();
  }

  std::filesystem::path dir_;
  std::unique_ptr<Engine> engine_;
  std::unique_ptr<Session> session_;
};

struct Case {
  std::string name;
  std::string setup;
  std::string sql;
  std::string expected;  // a line (or part of one) of the response
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

class ResponseTest : public EngineTest, public ::testing::WithParamInterface<Case> {};

TEST_P(ResponseTest, Contains) {
  const Case& c = GetParam();
  if (!c.setup.empty()) Run(c.setup);
  EXPECT_THAT(Run(c.sql), HasSubstr(c.expected));
}

const std::vector<Case> kTypes{
    {"IntLiteral", "", "SELECT 1", "columns: [ int]"},
    {"StringLiteral", "", "SELECT 'abc'", "[ varchar(3)]"},
    {"UnicodeLiteral", "", "SELECT N'abc'", "[ nvarchar(3)]"},
    {"DecimalLiteral", "", "SELECT 1.5", "[ decimal(2,1)]\nrow: '1.5'"},
    {"Count", "", "SELECT COUNT(*) AS n", "[n int]"},
    {"CountBig", "", "SELECT COUNT_BIG(*)", "[ bigint]"},
    {"GetDate", "", "SELECT GETDATE()", "[ datetime]"},
    {"Spid", "", "SELECT @@SPID", "[ smallint]"},
    {"DbName", "", "SELECT DB_NAME()", "[ nvarchar(128)]\nrow: 'jail'"},
    {"DeclaredColumns", "CREATE TABLE t (a char(4), b decimal(9,2) NOT NULL, c money, d datetime)",
     "SELECT * FROM t", "[a char(4) null] [b decimal(9,2)] [c money null] [d datetime null]"},
    {"SumOfInt", "CREATE TABLE t (a int); INSERT t VALUES (1), (2)", "SELECT SUM(a) FROM t",
     "[ int null]\nrow: 3"},
    {"DecimalDivision", "", "SELECT 7.0 / 2", "[ decimal(7,6)]\nrow: '3.500000'"},
    {"AliasNamesColumn", "", "SELECT x = 1, 2 AS y", "[x int] [y int]"},
};
INSTANTIATE_TEST_SUITE_P(Types, ResponseTest, ::testing::ValuesIn(kTypes),
                         [](const auto& info) { return info.param.name; });

const std::vector<Case> kValues = {
    {"CharIsPadded", "CREATE TABLE t (a char(4)); INSERT t VALUES ('ab')", "SELECT a FROM t",
     "row: 'ab  '"},
    {"StringIntoInt", "CREATE TABLE t (a int); INSERT t VALUES ('12')", "SELECT a FROM t",
     "row: 12"},
    {"UsDateWithAmPm", "CREATE TABLE t (d datetime); INSERT t VALUES ('12/10/2026 6:09:09 PM')",
     "SELECT d FROM t", "row: '2026-12-10 18:09:09.000'"},
    {"IsoDate", "CREATE TABLE t (d datetime); INSERT t VALUES ('2026-12-10T18:09:09.123')",
     "SELECT d FROM t", "row: '2026-12-10 18:09:09.123'"},
    {"CompactDate", "CREATE TABLE t (d datetime); INSERT t VALUES ('20261210')", "SELECT d FROM t",
     "row: '2026-12-10 00:00:00.000'"},
    {"DatetimeRoundsToTicks", "", "SELECT CAST('2026-12-10 10:00:00.002' AS datetime)",
     "row: '2026-12-10 10:00:00.003'"},
    {"DayMonthOrder", "SET DATEFORMAT dmy", "SELECT CAST('10/12/2026' AS datetime)",
     "row: '2026-12-10 00:00:00.000'"},
    {"MoneyHasFourDecimals", "CREATE TABLE t (m money); INSERT t VALUES (12.3)", "SELECT m FROM t",
     "row: '12.3000'"},
    {"VarcharLosesNonLatin", "CREATE TABLE t (v varchar(10), n nvarchar(10))",
     "INSERT t VALUES (N'aΩb', N'aΩb'); SELECT v, n FROM t", "row: 'a?b' 'aΩb'"},
    {"IdentityCounts",
     "CREATE TABLE t (id int IDENTITY(10,5), v int); INSERT t (v) VALUES (1); INSERT t (v) VALUES "
     "(2)",
     "SELECT id FROM t ORDER BY id", "row: 10\nrow: 15"},
    {"DefaultFillsIn", "CREATE TABLE t (id int, v int DEFAULT 7); INSERT t (id) VALUES (1)",
     "SELECT v FROM t", "row: 7"},
    {"Guid", "CREATE TABLE t (g uniqueidentifier)",
     "INSERT t VALUES ('6f9619ff-8b86-d011-b42d-00c04fc964ff'); SELECT g FROM t",
     "row: '6F9619FF-8B86-D011-B42D-00C04FC964FF'"},
};
INSTANTIATE_TEST_SUITE_P(Values, ResponseTest, ::testing::ValuesIn(kValues),
                         [](const auto& info) { return info.param.name; });

const std::vector<Case> kCollation = {
    {"CaseIgnored", "CREATE TABLE t (v varchar(10)); INSERT t VALUES ('Smith'), ('SMITH '), ('x')",
     "SELECT COUNT(*) FROM t WHERE v = 'smith'", "row: 2"},
    {"LatinLettersFold", "CREATE TABLE t (v varchar(10)); INSERT t VALUES ('Zoë')",
     "SELECT COUNT(*) FROM t WHERE v = 'ZOË'", "row: 1"},
    {"AccentsCount", "CREATE TABLE t (v varchar(10)); INSERT t VALUES ('Zoë')",
     "SELECT COUNT(*) FROM t WHERE v = 'ZOE'", "row: 0"},
    {"LikeIgnoresCase", "CREATE TABLE t (v varchar(10)); INSERT t VALUES ('Smith')",
     "SELECT COUNT(*) FROM t WHERE v LIKE 'sM[a-j]%'", "row: 1"},
    {"OrderIgnoresCase", "CREATE TABLE t (v varchar(10)); INSERT t VALUES ('b'), ('A'), ('c')",
     "SELECT v FROM t ORDER BY v", "row: 'A'\nrow: 'b'\nrow: 'c'"},
    {"DuplicateKeyIgnoresCase", "CREATE TABLE t (k varchar(5) PRIMARY KEY); INSERT t VALUES ('ab')",
     "INSERT t VALUES ('AB')",
     "msg 2627,14,1,line 1: Violation of PRIMARY KEY constraint 'PK__t__"},
};
INSTANTIATE_TEST_SUITE_P(Collation, ResponseTest, ::testing::ValuesIn(kCollation),
                         [](const auto& info) { return info.param.name; });

const std::vector<Case> kStatements = {
    {"DateAdd", "", "SELECT DATEADD(minute, -30, '2026-12-10 00:10:00')",
     "row: '2026-12-09 23:40:00.000'"},
    {"DateDiff", "", "SELECT DATEDIFF(day, '2026-12-01 23:59', '2026-12-10 00:01')", "row: 9"},
    {"MonthEndClamps", "", "SELECT DATEADD(month, 1, CAST('2026-01-31' AS datetime))",
     "row: '2026-02-28 00:00:00.000'"},
    {"Variables", "", "DECLARE @n int = 5, @s varchar(3); SET @s = 'abcd'; SELECT @n + 1, @s",
     "row: 6 'abc'"},
    {"Print", "", "PRINT 'synchronised ' + 'x'", "msg 0,0,1,line 1: synchronised x"},
    {"Raiserror", "", "RAISERROR('no %s here', 16, 2, 'lock')",
     "msg 50000,16,2,line 1: no lock here\ndone error"},
    {"SysTables", "CREATE TABLE CFG (a int)", "SELECT name FROM sys.tables WHERE name = 'cfg'",
     "row: 'CFG'"},
    {"ObjectId", "CREATE TABLE CFG (a int)",
     "IF OBJECT_ID('cfg') IS NOT NULL DROP TABLE cfg; SELECT COUNT(*) FROM sys.tables", "row: 0"},
    {"UnionTypesAroundNull", "", "SELECT 'x' AS b UNION ALL SELECT NULL", "[b varchar(1) null]"},
    {"ExactMoney", "", "SELECT CAST(-922337203685477.5808 AS money)",
     "row: '-922337203685477.5808'"},
    {"DecimalRoundsHalfUp", "", "SELECT CAST(1.005 AS numeric(5,2))", "row: '1.01'"},
    {"CorrelatedSubquery", "CREATE TABLE t (a int); INSERT t VALUES (1), (2), (3)",
     "SELECT a FROM t o WHERE EXISTS (SELECT * FROM t i WHERE i.a = o.a + 1) ORDER BY a DESC",
     "row: 2\nrow: 1\ndone 2"},
    {"UpdateFromJoin",
     "CREATE TABLE a (k int, v int); CREATE TABLE b (k int, w int); INSERT a VALUES (1, 0), (2, "
     "0); "
     "INSERT b VALUES (1, 10)",
     "UPDATE x SET v = b.w FROM a x JOIN b ON x.k = b.k; SELECT v FROM a ORDER BY k",
     "done 1\ncolumns: [v int null]\nrow: 10\nrow: 0"},
    {"DeleteFromJoin",
     "CREATE TABLE a (k int); CREATE TABLE b (k int); INSERT a VALUES (1), (2); INSERT b VALUES "
     "(2)",
     "DELETE a FROM a JOIN b ON a.k = b.k; SELECT k FROM a",
     "done 1\ncolumns: [k int null]\nrow: 1\n"},
    {"TruncateRestartsIdentity",
     "CREATE TABLE t (id int IDENTITY, v int); INSERT t (v) VALUES (1), (2); TRUNCATE TABLE t",
     "INSERT t (v) VALUES (3); SELECT id FROM t", "row: 1\ndone 1"},
    {"ConvertStyles", "",
     "SELECT CONVERT(varchar(10), CAST('2026-12-10 18:09' AS datetime), 101), "
     "CONVERT(varchar(19), CAST('2026-12-10 18:09' AS datetime), 120), "
     "CONVERT(datetime, '10/12/2026', 103)",
     "row: '12/10/2026' '2026-12-10 18:09:00' '2026-12-10 00:00:00.000'"},
    {"BestRowIdentifier", "CREATE TABLE t (id int PRIMARY KEY, v varchar(5))",
     "EXEC sp_special_columns t", "row: 0 'id' 4 'int' 10 4 0 1"},
    {"SelectInto", "CREATE TABLE t (a int, b varchar(5)); INSERT t VALUES (1, 'x')",
     "SELECT a, b + '!' AS c INTO #copy FROM t; SELECT * FROM #copy",
     "columns: [a int null] [c varchar(6) null]\nrow: 1 'x!'"},
    {"AlterTableAdd", "CREATE TABLE t (a int); INSERT t VALUES (1)",
     "ALTER TABLE t ADD b int NOT NULL DEFAULT 7, c varchar(5); SELECT * FROM t",
     "columns: [a int null] [b int] [c varchar(5) null]\nrow: 1 7 NULL"},
    {"CorrelatedUpdate",
     "CREATE TABLE c (id int, free bit); CREATE TABLE i (id int); INSERT c VALUES (1, 1), (2, 1); "
     "INSERT i VALUES (1)",
     "UPDATE c SET free = CASE WHEN EXISTS (SELECT 1 FROM i WHERE i.id = c.id) THEN 0 ELSE 1 END; "
     "SELECT free FROM c ORDER BY id",
     "row: 0\nrow: 1"},
    {"DbId", "", "IF DB_ID('jail') IS NOT NULL PRINT 'there'; SELECT DB_ID('nothere')",
     "msg 0,0,1,line 1: there\ndone\ncolumns: [ smallint null]\nrow: NULL"},
    {"StatementAfterAnUnaliasedColumn", "", "SELECT 1\nWAITFOR DELAY '00:00:00'\nSELECT 2",
     "row: 2"},
    {"ImplicitTransactions", "SET IMPLICIT_TRANSACTIONS ON; CREATE TABLE t (a int)",
     "SELECT @@TRANCOUNT", "row: 1"},
};
INSTANTIATE_TEST_SUITE_P(Statements, ResponseTest, ::testing::ValuesIn(kStatements),
                         [](const auto& info) { return info.param.name; });

const std::vector<Case> kErrors = {
    {"Syntax", "", "SELECT FROM", "msg 156,15,1,line 1: Incorrect syntax near the keyword 'FROM'."},
    {"SyntaxLine", "", "SELECT 1\nSELECT 2 +", "line 2"},
    {"Column", "CREATE TABLE t (a int)", "SELECT b FROM t",
     "msg 207,16,1,line 1: Invalid column name 'b'."},
    {"Object", "", "SELECT * FROM dbo.nothere",
     "msg 208,16,1,line 1: Invalid object name 'dbo.nothere'."},
    {"Exists", "CREATE TABLE t (a int)", "CREATE TABLE T (b int)",
     "msg 2714,16,6,line 1: There is already an object named 'T' in the database."},
    {"DropMissing", "", "DROP TABLE nothere",
     "msg 3701,11,5,line 1: Cannot drop the table 'nothere', because it does not exist or you do "
     "not have permission."},
    {"UseMissing", "", "USE nodb",
     "msg 911,16,1,line 1: Database 'nodb' does not exist. Make sure that the name is entered "
     "correctly."},
    {"DatabaseExists", "", "CREATE DATABASE JAIL",
     "msg 1801,16,3,line 1: Database 'JAIL' already exists. Choose a different database name."},
    {"NotNull", "CREATE TABLE t (a int NOT NULL, b int)", "INSERT t (b) VALUES (1)",
     "msg 515,16,2,line 1: Cannot insert the value NULL into column 'a', table 'jail.dbo.t'; "
     "column does not allow nulls. INSERT fails.\nmsg 3621,0,0,line 1: The statement has been "
     "terminated.\ndone error"},
    {"Truncated", "CREATE TABLE t (a varchar(2))", "INSERT t VALUES ('abc')",
     "msg 8152,16,14,line 1: String or binary data would be truncated.\nmsg 3621"},
    {"TrailingBlanksMayBeCut", "CREATE TABLE t (a varchar(2))", "INSERT t VALUES ('ab   ')",
     "done 1"},
    {"BadInt", "CREATE TABLE t (a int)", "INSERT t VALUES ('x')",
     "msg 245,16,1,line 1: Conversion failed when converting the varchar value 'x' to data type "
     "int."},
    {"BadDate", "", "SELECT CAST('garbage' AS datetime)",
     "msg 241,16,1,line 1: Conversion failed when converting date and/or time from character "
     "string."},
    {"DateOutOfRange", "", "SELECT CAST('13/13/2026' AS datetime)",
     "msg 242,16,3,line 1: The conversion of a varchar data type to a datetime data type resulted "
     "in an out-of-range value."},
    {"LongIdentifier", "", "SELECT * FROM [##" + std::string(130, 'x') + "]",
     "msg 103,15,4,line 1: The identifier that starts with '##xxx"},
    {"LongLocalTemp", "", "CREATE TABLE #" + std::string(116, 'y') + " (a int)",
     "msg 193,15,1,line 1: The object or column name starting with '#yyy"},
    {"KillSelf", "", "KILL 51", "msg 6104,16,1,line 1: Cannot use KILL to kill your own process."},
    {"KillUnknown", "", "KILL 999",
     "msg 6106,16,2,line 1: Process ID 999 is not an active process ID."},
    {"UnknownType", "", "SELECT CAST(1 AS nosuch)",
     "msg 243,16,1,line 1: Type nosuch is not a defined system type."},
    {"UnknownProcedure", "", "EXEC sp_nothing",
     "msg 2812,16,62,line 1: Could not find stored procedure 'sp_nothing'."},
};
INSTANTIATE_TEST_SUITE_P(Errors, ResponseTest, ::testing::ValuesIn(kErrors),
                         [](const auto& info) { return info.param.name; });

TEST_F(EngineTest, StatementErrorsLetTheBatchGoOn) {
  Run("CREATE TABLE t (a int PRIMARY KEY)");
  std::string out = Run("INSERT t VALUES (1)\nINSERT t VALUES (1)\nINSERT t VALUES (2)");
  EXPECT_THAT(out, HasSubstr("msg 2627,14,1,line 2"));
  EXPECT_THAT(Run("SELECT COUNT(*) FROM t"), HasSubstr("row: 2"));
}

TEST_F(EngineTest, NameErrorsEndTheBatch) {
  std::string out = Run("SELECT 1\nSELECT * FROM nothere\nSELECT 3");
  EXPECT_THAT(out, HasSubstr("msg 208,16,1,line 2"));
  EXPECT_THAT(out, Not(HasSubstr("row: 3")));
}

TEST_F(EngineTest, ConversionErrorsEndTheBatch) {
  EXPECT_EQ(Run("SELECT CAST('x' AS int)\nSELECT 2"),
            "columns: [ int null]\nmsg 245,16,1,line 1: Conversion failed when converting the "
            "varchar value 'x' to data type int.\ndone error\n");
}

TEST_F(EngineTest, LoginFailures) {
  try {
    engine_->Open(LoginRequest{"sa", "wrong", "", "", "", ""});
    FAIL();
  } catch (const ServerError& e) {
    ASSERT_EQ(e.messages().size(), 1u);
    EXPECT_EQ(e.messages()[0].number, 18456);
    EXPECT_EQ(e.messages()[0].text, "Login failed for user 'sa'.");
  }
  try {
    engine_->Open(LoginRequest{"CLERK", "pw", "nodb", "", "", ""});
    FAIL();
  } catch (const ServerError& e) {
    ASSERT_EQ(e.messages().size(), 2u);
    EXPECT_EQ(e.messages()[0].number, 4060);
    EXPECT_EQ(e.messages()[1].number, 18456);
  }
}

TEST_F(EngineTest, ParametersOfExecuteSqlAreTyped) {
  Run("CREATE TABLE t (k int, v varchar(10)); INSERT t VALUES (17, 'a'), (18, 'b')");
  test::RecordingSink sink;
  SqlType nvarchar{TypeId::NVarChar, 4000};
  session_->Rpc("sp_executesql",
                {{"", nvarchar, std::string("SELECT v FROM t WHERE k = @P1"), false},
                 {"", nvarchar, std::string("@P1 int"), false},
                 {"@P1", nvarchar, std::string("18"), false}},
                sink);
  EXPECT_EQ(sink.Text(), "columns: [v varchar(10) null]\nrow: 'b'\ndone 1\nstatus 0\n");
}

TEST_F(EngineTest, ExecuteSqlTakesItsFirstTwoArgumentsByPosition) {
  Run("CREATE TABLE t (k int, v varchar(10)); INSERT t VALUES (17, 'a'), (18, 'b')");
  SqlType nvarchar{TypeId::NVarChar, 4000};
  // The names clients give the statement and the declaration, and the
  // statement's own parameter, which may share a name with either.
  const struct {
    const char* statement;
    const char* declaration;
    const char* variable;
  } namings[] = {{"", "", "@k"},
                 {"@stmt", "@params", "@k"},
                 {"@statement", "@params", "@k"},
                 {"@STATEMENT", "@parameters", "@k"},
                 {"@stmt", "@params", "@stmt"},
                 {"", "", "@params"}};
  for (const auto& n : namings) {
    test::RecordingSink sink;
    const std::string v = n.variable;
    session_->Rpc("sp_executesql",
                  {{n.statement, nvarchar, "SELECT v FROM t WHERE k = " + v, false},
                   {n.declaration, nvarchar, v + " int", false},
                   {v, nvarchar, std::string("18"), false}},
                  sink);
    EXPECT_EQ(sink.Text(), "columns: [v varchar(10) null]\nrow: 'b'\ndone 1\nstatus 0\n")
        << n.statement << " " << n.declaration << " " << n.variable;
  }
}

TEST_F(EngineTest, PreparedStatementsRunWithNewValues) {
  Run("CREATE TABLE t (k int, v varchar(10)); INSERT t VALUES (17, 'a'), (18, 'b')");
  SqlType int_type{TypeId::Int};
  SqlType nvarchar{TypeId::NVarChar, 4000};
  test::RecordingSink prepare;
  session_->Rpc("sp_prepare",
                {{"@handle", int_type, Value{}, true},
                 {"", nvarchar, std::string("@P1 int"), false},
                 {"", nvarchar, std::string("SELECT v FROM t WHERE k = @P1"), false},
                 {"", int_type, std::int64_t{1}, false}},
                prepare);
  EXPECT_THAT(prepare.Text(), HasSubstr("columns: [v varchar(10) null]"));
  EXPECT_THAT(prepare.Text(), HasSubstr("output @handle = 1"));
  test::RecordingSink execute;
  session_->Rpc("sp_execute",
                {{"", int_type, std::int64_t{1}, false}, {"", int_type, std::int64_t{17}, false}},
                execute);
  EXPECT_EQ(execute.Text(), "columns: [v varchar(10) null]\nrow: 'a'\ndone 1\nstatus 0\n");
}

TEST_F(EngineTest, GlobalTempTablesAreSharedAndEndWithTheirSession) {
  auto other = Open("jail");
  Run("CREATE TABLE [tempdb].[dbo].[##LOCK-JAIL.CFGPROPL.42] (UniqueKey varchar(22))", other.get());
  EXPECT_THAT(Run("CREATE TABLE [##LOCK-JAIL.CFGPROPL.42] (x int)"), HasSubstr("msg 2714"));
  EXPECT_THAT(Run("SELECT * FROM tempdb..[##lock-jail.cfgpropl.42]"), HasSubstr("done 0"));
  other.reset();
  EXPECT_THAT(Run("SELECT * FROM [##LOCK-JAIL.CFGPROPL.42]"), HasSubstr("msg 208"));
}

TEST_F(EngineTest, LocalTempTablesArePrivate) {
  auto other = Open("jail");
  Run("CREATE TABLE #work (a int); INSERT #work VALUES (1)");
  EXPECT_THAT(Run("SELECT * FROM #work", other.get()), HasSubstr("msg 208"));
  EXPECT_THAT(
      Run("CREATE TABLE #work (b int); INSERT #work VALUES (2); SELECT b FROM #work", other.get()),
      HasSubstr("row: 2"));
  EXPECT_THAT(Run("SELECT a FROM #work"), HasSubstr("row: 1"));
}

TEST_F(EngineTest, LockTimeoutEndsTheWait) {
  auto other = Open("jail");
  Run("CREATE TABLE t (a int); INSERT t VALUES (1)");
  Run("BEGIN TRAN; UPDATE t SET a = 2");
  auto start = std::chrono::steady_clock::now();
  std::string out = Run("SET LOCK_TIMEOUT 200; UPDATE t SET a = 3", other.get());
  EXPECT_THAT(out, HasSubstr("msg 1222,16,51,line 1: Lock request time out period exceeded."));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
  Run("COMMIT");
  EXPECT_THAT(Run("UPDATE t SET a = 3", other.get()), HasSubstr("done 1"));
}

TEST_F(EngineTest, KillEndsTheOtherSession) {
  auto victim = Open("jail");
  Run("CREATE TABLE ##victims (a int)", victim.get());
  bool called = false;
  victim->SetKillHandler([&] { called = true; });
  EXPECT_EQ(Run("KILL " + std::to_string(victim->Spid())), "done\n");
  EXPECT_TRUE(called);
  victim.reset();
  EXPECT_THAT(Run("SELECT * FROM ##victims"), HasSubstr("msg 208"));
}

TEST_F(EngineTest, InterruptStopsAWaitingStatement) {
  auto other = Open("jail");
  Run("CREATE TABLE t (a int)");
  Run("BEGIN TRAN; INSERT t VALUES (1)");
  std::string out;
  std::thread waiting([&] { out = Run("UPDATE t SET a = 2", other.get()); });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  other->Interrupt();
  waiting.join();
  EXPECT_EQ(out, "done cancelled\n");
  Run("ROLLBACK");
}

TEST_F(EngineTest, ConcurrentSessionsNeitherLoseUpdatesNorShareALock) {
  Run("CREATE TABLE counter (n int); INSERT counter VALUES (0)");
  constexpr int kThreads = 4, kRounds = 25;
  std::atomic<int> locks_held{0}, overlaps{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&] {
      auto session = Open("jail");
      for (int i = 0; i < kRounds; ++i) {
        Run("UPDATE counter SET n = n + 1", session.get());
        std::string created = Run("CREATE TABLE [##LOCK-JAIL.CFG.1] (k varchar(5))", session.get());
        if (created == "done\n") {
          if (++locks_held > 1) ++overlaps;
          --locks_held;
          Run("DROP TABLE [##LOCK-JAIL.CFG.1]", session.get());
        } else {
          EXPECT_THAT(created, HasSubstr("msg 2714")) << created;
        }
      }
    });
  }
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(overlaps, 0);
  EXPECT_THAT(Run("SELECT n FROM counter"),
              HasSubstr("row: " + std::to_string(kThreads * kRounds)));
  EXPECT_THAT(Run("SELECT * FROM [##LOCK-JAIL.CFG.1]"), HasSubstr("msg 208"));
}

TEST_F(EngineTest, InterruptEndsAWaitFor) {
  std::string out;
  std::thread waiting([&] { out = Run("WAITFOR DELAY '00:01:00'\nSELECT 1"); });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  session_->Interrupt();
  waiting.join();
  EXPECT_EQ(out, "done cancelled\n");
  EXPECT_THAT(Run("SELECT 2"), HasSubstr("row: 2"));
}

TEST_F(EngineTest, ManyDatabasesStayReachable) {
  for (int i = 1; i <= 14; ++i) {
    std::string n = std::to_string(i);
    Run("CREATE DATABASE Site" + n + "; USE Site" + n + "; CREATE TABLE Marker (n int); " +
        "INSERT Marker VALUES (" + n + ")");
  }
  for (int i = 1; i <= 14; ++i)
    EXPECT_THAT(Run("SELECT n FROM Site" + std::to_string(i) + "..Marker"),
                HasSubstr("row: " + std::to_string(i)));
}

TEST_F(EngineTest, DatabasesPersistAcrossRestarts) {
  Run("CREATE TABLE kept (a varchar(5) PRIMARY KEY); INSERT kept VALUES ('x')");
  Run("CREATE TABLE ##gone (a int)");
  session_.reset();
  engine_ = std::make_unique<Engine>(EngineOptions{dir_});
  session_ = Open("JAIL");
  EXPECT_THAT(Run("SELECT a FROM kept"), HasSubstr("row: 'x'"));
  EXPECT_THAT(Run("SELECT * FROM ##gone"), HasSubstr("msg 208"));
}

}  // namespace
}  // namespace standin
