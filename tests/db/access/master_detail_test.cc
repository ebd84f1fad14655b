// A detail dataset against the stand-in: the link condition in the statement
// sent, typed link parameters, re-query only when a link value changes, and a
// detail of a closed master.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "dataset_fixture.h"
#include "db/dataset/data_source.h"
#include "db/errors/client_errors.h"
#include "db/fields/numeric.h"
#include "db/fields/text.h"
#include "db/sqlserver/query.h"
#include "db/sqlserver/table.h"

namespace {

using dataset_test::DatasetFixture;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::SizeIs;

// The location table with LOCKEY declared 64-bit, as the program declares it,
// and the container table as its detail by LOCKEY.
class MasterDetailTest : public ::testing::Test, protected DatasetFixture {
 protected:
  MasterDetailTest() {
    locations_.SetConnection(&FConnection);
    locations_.SetTableName("CFGPROPL");
    locations_.Options().SetQuoteNames(true);
    auto* lockey = new TLargeintField(&locations_);
    lockey->SetFieldName("LOCKEY");
    lockey->SetReadOnly(true);
    lockey->SetDataSet(&locations_);
    auto* code = new TStringField(&locations_);
    code->SetFieldName("LOCATIONCODE");
    code->SetDataSet(&locations_);
    source_.SetDataSet(&locations_);
    containers_.SetConnection(&FConnection);
    containers_.SetTableName("CFGPROPC");
    containers_.Options().SetQuoteNames(true);
    containers_.SetMasterSource(&source_);
    containers_.SetMasterFields("LOCKEY");
    containers_.SetDetailFields("LOCKEY");
  }

  std::vector<std::string> Containers() {
    std::vector<std::string> names;
    for (containers_.First(); !containers_.Eof(); containers_.Next()) {
      names.push_back(containers_.FieldByName("CONTAINER").AsString());
    }
    containers_.First();
    return names;
  }

  TMSTable locations_{nullptr};
  TDataSource source_{nullptr};
  TMSTable containers_{nullptr};
};

TEST_F(MasterDetailTest, TheDetailFollowsEveryMoveOfItsMaster) {
  locations_.Open();
  const std::size_t before = Requests().size();
  containers_.Open();
  const std::vector<std::string> sent = RequestsAfter(before);
  ASSERT_THAT(sent, SizeIs(1));
  EXPECT_THAT(sent[0], HasSubstr("SELECT * FROM [CFGPROPC]\\r\\nWHERE [LOCKEY] = @P1"));
  EXPECT_THAT(sent[0], HasSubstr("@P1 bigint=1"));
  EXPECT_EQ(containers_.Params().ParamByName("LOCKEY").DataType(), ftLargeint);
  EXPECT_EQ(containers_.SQL().Text(), "SELECT * FROM [CFGPROPC]\r\n");
  EXPECT_EQ(containers_.RecordCount(), 2);
  EXPECT_THAT(Containers(), ElementsAre("Bin 1", "Bin 2"));

  locations_.Next();
  EXPECT_EQ(containers_.RecordCount(), 1);
  EXPECT_EQ(containers_.FieldByName("CONTAINER").AsString(), "Bin 3");

  locations_.Next();
  EXPECT_EQ(containers_.RecordCount(), 0);
  EXPECT_TRUE(containers_.Eof());
  EXPECT_TRUE(containers_.IsEmpty());
  EXPECT_TRUE(containers_.Active());

  locations_.First();
  EXPECT_EQ(containers_.RecordCount(), 2);
  EXPECT_FALSE(containers_.Eof());
}

TEST_F(MasterDetailTest, AMoveToTheSameLinkValueSendsNothing) {
  // The containers by CONTAINERID as master: LOCKEY 1, 1, 2.
  TMSQuery master(nullptr);
  master.SetConnection(&FConnection);
  master.SQL().Add("SELECT LOCKEY FROM CFGPROPC ORDER BY CONTAINERID");
  TDataSource source(nullptr);
  source.SetDataSet(&master);
  TMSTable detail(nullptr);
  detail.SetConnection(&FConnection);
  detail.SetTableName("CFGPROPL");
  detail.SetMasterSource(&source);
  detail.SetMasterFields("LOCKEY");
  detail.SetDetailFields("LOCKEY");
  master.Open();
  detail.Open();
  EXPECT_EQ(detail.FieldByName("LOCATIONCODE").AsString(), "A1");
  EXPECT_EQ(detail.Params().ParamByName("LOCKEY").DataType(), ftInteger);

  std::size_t before = Requests().size();
  master.Next();
  EXPECT_THAT(RequestsAfter(before), IsEmpty());
  master.Next();
  EXPECT_THAT(RequestsAfter(before), SizeIs(1));
  EXPECT_EQ(detail.FieldByName("LOCATIONCODE").AsString(), "B2");
  before = Requests().size();
  master.Next();  // from the last row: no move
  EXPECT_THAT(RequestsAfter(before), IsEmpty());
}

TEST_F(MasterDetailTest, ADetailOfAClosedMasterOpensWithoutRows) {
  containers_.Open();
  EXPECT_TRUE(containers_.Active());
  EXPECT_EQ(containers_.RecordCount(), 0);
  const TParam& lockey = containers_.Params().ParamByName("LOCKEY");
  EXPECT_EQ(lockey.DataType(), ftString);
  EXPECT_TRUE(lockey.IsNull());
  locations_.Open();
  EXPECT_EQ(containers_.RecordCount(), 2);
  const std::size_t before = Requests().size();
  locations_.Close();
  EXPECT_EQ(containers_.RecordCount(), 0);
  EXPECT_TRUE(containers_.Active());
  EXPECT_THAT(RequestsAfter(before), IsEmpty());
}

TEST_F(MasterDetailTest, TheDetailsRefreshIgnoresTheMaster) {
  locations_.Open();
  containers_.Open();
  FSetup.Exec("INSERT INTO CFGPROPC (LOCKEY, CONTAINER) VALUES (1, 'Bin 4'), (2, 'Bin 5')");
  containers_.Refresh();
  EXPECT_THAT(Containers(), ElementsAre("Bin 1", "Bin 2", "Bin 4"));
  containers_.Params().ParamByName("LOCKEY").SetAsLargeInt(2);
  containers_.Refresh();
  EXPECT_THAT(Containers(), ElementsAre("Bin 3", "Bin 5"));
  // The master's refresh tells the detail, whose value now differs.
  locations_.Refresh();
  EXPECT_THAT(Containers(), ElementsAre("Bin 1", "Bin 2", "Bin 4"));
}

TEST_F(MasterDetailTest, AnExistingConditionIsKeptInParentheses) {
  TMSQuery detail(nullptr);
  detail.SetConnection(&FConnection);
  detail.SQL().Add("SELECT CONTAINER FROM CFGPROPC WHERE AVAILABLE = 1 OR CONTAINER = 'Bin 2'");
  detail.SQL().Add("ORDER BY CONTAINER DESC");
  detail.SetMasterSource(&source_);
  detail.SetMasterFields("LOCKEY");
  detail.SetDetailFields("LOCKEY");
  locations_.Open();
  const std::size_t before = Requests().size();
  detail.Open();
  EXPECT_THAT(RequestsAfter(before).at(0),
              HasSubstr("WHERE (AVAILABLE = 1 OR CONTAINER = ''Bin 2'') AND LOCKEY = @P1"));
  EXPECT_EQ(detail.RecordCount(), 2);
  EXPECT_EQ(detail.FieldByName("CONTAINER").AsString(), "Bin 2");
}

TEST_F(MasterDetailTest, AKilledSessionFailsTheMastersMoveAndClosesBoth) {
  locations_.Open();
  containers_.Open();
  const int victim = ConnectionSpid();
  standin_test::OdbcTestConnection killer(FServer.port());
  killer.Exec("KILL " + std::to_string(victim));
  // KILL may return before the victim's socket is closed.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  for (;;) {
    try {
      locations_.Next();
      locations_.First();
    } catch (const EOLEDBError&) {
      break;
    }
    ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the killed session still answers";
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  EXPECT_FALSE(FConnection.Connected());
  EXPECT_FALSE(locations_.Active());
  EXPECT_FALSE(containers_.Active());
  locations_.Open();
  containers_.Open();
  EXPECT_EQ(containers_.RecordCount(), 2);
}

}  // namespace
