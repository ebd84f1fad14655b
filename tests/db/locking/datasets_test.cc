// The program's record-locking datasets without a server: the texts of the
// lock protocol, the refusal's message, and what the classes set and store.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "core/description_reader.h"
#include "core/description_writer.h"
#include "db/locking/query.h"
#include "db/locking/refusal.h"
#include "db/locking/statements.h"
#include "db/locking/table.h"
#include "db/published/classes.h"
#include "platform/regional_date_time.h"

namespace {

using ::testing::ThrowsMessage;

TEST(LockStatementsTest, NameBracketsThePartsWithEveryClosingBracketDoubled) {
  struct Case {
    const char* Database;
    const char* Table;
    const char* Key;
    const char* Name;
  } cases[] = {
      {"JAIL", "CFGPROPL", "42", "[tempdb].[dbo].[##LOCK-JAIL.CFGPROPL.42]"},
      {"JAIL", "dbo.CFGPROPL", "it's", "[tempdb].[dbo].[##LOCK-JAIL.dbo.CFGPROPL.it's]"},
      {"J]AIL", "T]", "]]; DROP TABLE X --",
       "[tempdb].[dbo].[##LOCK-J]]AIL.T]].]]]]; DROP TABLE X --]"},
      {"", "", "", "[tempdb].[dbo].[##LOCK-..]"},
  };
  for (const Case& c : cases) EXPECT_EQ(LockTableName(c.Database, c.Table, c.Key), c.Name);
}

TEST(LockStatementsTest, CreateAndInsertAreTheFixedFragmentsOnOneLine) {
  EXPECT_EQ(CreateLockTableStatement("[N]"),
            "CREATE TABLE [N](  DatabaseName VARCHAR(30),  TableName    VARCHAR(100),"
            "  UniqueKey    VARCHAR(22),  ComputerName VARCHAR(30),  UserName     VARCHAR(30),"
            "  ProgramName  VARCHAR(30),  TimeLocked   DateTime)");
  const TLockHolder holder{"JAIL",
                           "CFGPROPL",
                           "42",
                           "PC7",
                           "o'brien",
                           "synch.exe",
                           EncodeDateTime(2026, 12, 3, 14, 5, 9, 870)};
  EXPECT_EQ(InsertHolderStatement("[N]", holder),
            "INSERT INTO [N]  (DatabaseName, TableName, UniqueKey, ComputerName, UserName, "
            "ProgramName, TimeLocked) VALUES   ('JAIL', 'CFGPROPL', '42', 'PC7', 'o''brien', "
            "'synch.exe', '2026-12-03T14:05:09')");
}

TEST(LockStatementsTest, ValuesAreCutToTheirColumnsBeforeQuoting) {
  const std::string key30 = "123456789012345678901234567890";
  const std::string table120(120, 't');
  const TLockHolder holder{
      std::string(31, 'd'), table120,   key30, std::string(40, 'c'), std::string(29, 'u') + "'x",
      std::string(35, 'p'), TDateTime{}};
  const std::string insert = InsertHolderStatement("[N]", holder);
  const std::string values = insert.substr(insert.find("VALUES   (") + 10);
  EXPECT_EQ(values, "'" + std::string(30, 'd') + "', '" + std::string(100, 't') +
                        "', '1234567890123456789012', '" + std::string(30, 'c') + "', '" +
                        std::string(29, 'u') + "''', '" + std::string(30, 'p') +
                        "', '1899-12-30T00:00:00')");
  // The name keeps every part whole.
  EXPECT_EQ(LockTableName("JAIL", table120, key30),
            "[tempdb].[dbo].[##LOCK-JAIL." + table120 + "." + key30 + "]");
}

TEST(LockStatementsTest, CuttingCountsCharactersNotBytes) {
  struct Case {
    std::string Text;
    std::size_t Max;
    std::string Literal;
  } cases[] = {
      {"Zoë Núñez", 3, "'Zoë'"}, {"ab", 5, "'ab'"}, {"''''", 2, "''''''"}, {"", 3, "''"},
      {"€€€", 0, "''"},
  };
  for (const Case& c : cases) EXPECT_EQ(CutTextLiteral(c.Text, c.Max), c.Literal) << c.Text;
}

TEST(LockRefusalTest, HolderMessageHasEightLines) {
  const TDateTime time = EncodeDateTime(2026, 12, 10, 14, 5, 9);
  const EVtDBLockError error("x", "JAIL", "CFGPROPL", "42", "PC7", "clerk", "synch.exe", time);
  EXPECT_EQ(HolderMessage(error),
            "The requested lock could not be granted.\r\n\r\n"
            "The record is already being edited.\r\n"
            "     User Name: clerk\r\n"
            "     Computer Name: PC7\r\n"
            "     Program Name: synch.exe\r\n"
            "     Time Locked: " +
                platform::GeneralDateTimeText(time) +
                "\r\n"
                "     Table Name: CFGPROPL");
}

// The test runs in the C locale: short date "%m/%d/%y", long time "%H:%M:%S".
// Windows' forms are the user's regional ones, which the platform's own tests check.
#if !defined(_WIN32)
TEST(LockRefusalTest, TimeIsShortDateAndLongTimeWithoutAMidnight) {
  struct Case {
    TDateTime Time;
    const char* Text;
  } cases[] = {
      {EncodeDateTime(2026, 12, 10, 14, 5, 9), "12/10/26 14:05:09"},
      {EncodeDateTime(2026, 3, 4), "03/04/26"},
      {EncodeDateTime(2026, 3, 4, 0, 0, 1), "03/04/26 00:00:01"},
      {TDateTime{}, "12/30/99"},
  };
  for (const Case& c : cases) EXPECT_EQ(platform::GeneralDateTimeText(c.Time), c.Text);
}
#endif

TEST(LockRefusalTest, ErrorKeepsItsFieldsInConstructorOrder) {
  const EVtDBLockError error("m", "d", "t", "k", "c", "u", "p", TDateTime{2.5});
  EXPECT_EQ(error.Message(), "m");
  EXPECT_EQ(std::vector<std::string>({error.DatabaseName(), error.TableName(), error.UniqueKey(),
                                      error.ComputerName(), error.UserName(), error.ProgramName()}),
            std::vector<std::string>({"d", "t", "k", "c", "u", "p"}));
  EXPECT_EQ(error.TimeLocked().Value, 2.5);
  const EDatabaseError& base = error;
  EXPECT_EQ(base.Message(), "m");
}

// A connection of a class other than TMSConnection.
class TOtherConnection : public TCustomMSConnection {
 public:
  TOtherConnection()
      : TCustomMSConnection(nullptr, std::make_unique<TCustomMSConnectionOptions>(this)) {}
  TCustomDADataSet* CreateDataSet(TComponent*) override { return nullptr; }
  std::string ConnectString() const override { return ""; }
  void SetConnectString(const std::string&) override {}

 protected:
  void AddConnectSettings(odbc::ConnectSettings&) const override {}
};

template <class T>
class VtDataSetTest : public ::testing::Test {};
using VtDataSetClasses = ::testing::Types<TVtMSTable, TVtCustomMSQuery, TVtMSQuery>;
TYPED_TEST_SUITE(VtDataSetTest, VtDataSetClasses);

TYPED_TEST(VtDataSetTest, DefaultsAreThoseOfTheSitesPrograms) {
  TypeParam dataSet(nullptr);
  EXPECT_EQ(dataSet.VtVersion(), "2.1");
  EXPECT_TRUE(dataSet.RecordLocksMake());
  EXPECT_TRUE(dataSet.Options().TrimVarChar());
  EXPECT_TRUE(dataSet.Options().QuoteNames());
  EXPECT_TRUE(dataSet.Options().TrimFixedChar());
  EXPECT_TRUE(dataSet.RefreshOptions().Contains(roBeforeEdit));
  EXPECT_FALSE(dataSet.RefreshOptions().Contains(roAfterInsert));
  EXPECT_FALSE(dataSet.RefreshOptions().Contains(roAfterUpdate));
  EXPECT_EQ(dataSet.Connection(), nullptr);
}

TYPED_TEST(VtDataSetTest, RecordLocksCheckIsASecondNameOfTheSwitch) {
  TypeParam dataSet(nullptr);
  dataSet.SetRecordLocksCheck(false);
  EXPECT_FALSE(dataSet.RecordLocksMake());
  dataSet.SetRecordLocksMake(true);
  EXPECT_TRUE(dataSet.RecordLocksCheck());
}

TYPED_TEST(VtDataSetTest, ConnectionReadsOnlyAsTMSConnection) {
  TypeParam dataSet(nullptr);
  TMSConnection connection(nullptr);
  dataSet.SetConnection(&connection);
  EXPECT_EQ(dataSet.Connection(), &connection);
  TOtherConnection other;
  dataSet.TCustomMSDataSet::SetConnection(&other);
  EXPECT_THAT([&] { dataSet.Connection(); },
              ThrowsMessage<EInvalidCast>(std::string("Invalid class typecast")));
  EXPECT_EQ(dataSet.TCustomMSDataSet::Connection(), &other);
  dataSet.TCustomMSDataSet::SetConnection(nullptr);
}

class VtDescriptionTest : public ::testing::Test {
 protected:
  VtDescriptionTest() {
    RegisterConnectionClasses(FClasses);
    RegisterDataSetClasses(FClasses);
  }

  TClassRegistry FClasses;
  TComponent FOwner{nullptr};
};

TEST_F(VtDescriptionTest, DefaultsAreNotStoredAndOtherValuesAre) {
  const std::vector<TComponent*> read = ReadComponents(
      "object db: TMSConnection\nend\n"
      "object tbl: TVtMSTable\n  Connection = db\n  TableName = 'T'\nend\n"
      "object qry: TVtMSQuery\n  Connection = db\n  Options.QuoteNames = False\n"
      "  RefreshOptions = []\n  RecordLocksMake = False\nend\n",
      FOwner, FClasses);
  auto* table = dynamic_cast<TVtMSTable*>(read[1]);
  auto* query = dynamic_cast<TVtMSQuery*>(read[2]);
  ASSERT_NE(table, nullptr);
  ASSERT_NE(query, nullptr);
  EXPECT_TRUE(table->RefreshOptions().Contains(roBeforeEdit));
  EXPECT_FALSE(query->RecordLocksMake());
  EXPECT_FALSE(query->Options().QuoteNames());
  EXPECT_EQ(WriteComponents({table, query}, FClasses),
            "object tbl: TVtMSTable\n  Connection = db\n  TableName = 'T'\nend\n"
            "object qry: TVtMSQuery\n  Connection = db\n  Options.QuoteNames = False\n"
            "  RefreshOptions = []\n  RecordLocksMake = False\n  RecordLocksCheck = False\nend\n");
}

TEST_F(VtDescriptionTest, VtVersionCannotBeStored) {
  EXPECT_ANY_THROW(
      ReadComponents("object tbl: TVtMSTable\n  VtVersion = '3.0'\nend\n", FOwner, FClasses));
}

TEST_F(VtDescriptionTest, AQueryWithIndexSettingsMustBeConverted) {
  const char* settings[] = {"IndexName = 'ByKey'", "TableName = 'CFGPROPL'",
                            "AutoLoadIndexDefs = False"};
  for (const char* setting : settings) {
    const std::string text = std::string("object qryOld: TVtMSQuery\n  ") + setting + "\nend\n";
    EXPECT_THAT([&] { ReadComponents(text, FOwner, FClasses); },
                ThrowsMessage<Exception>(
                    std::string("TVtMSQuery 'qryOld' must be converted to TVtMSSearchQuery")))
        << setting;
  }
  EXPECT_NO_THROW(ReadComponents("object qryNew: TVtMSQuery\nend\n", FOwner, FClasses));
}

TEST(VtMSQueryLoadTest, IndexDefinitionsMustBeConvertedButNotInADesigner) {
  TVtMSQuery query(nullptr);
  query.SetName("qryIndexed");
  query.IndexDefs().Add({"ByKey", "LOCKEY"});
  query.BeginLoading();
  EXPECT_THAT([&] { query.Loaded(); },
              ThrowsMessage<Exception>(
                  std::string("TVtMSQuery 'qryIndexed' must be converted to TVtMSSearchQuery")));

  query.SetDesigning(true);
  query.BeginLoading();
  EXPECT_NO_THROW(query.Loaded());
}

}  // namespace
