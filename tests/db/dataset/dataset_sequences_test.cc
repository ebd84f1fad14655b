// The generic dataset without a server: navigation over the rows held, the
// fixed sequences of editing and closing around their steps and events, the
// error handlers' answers, data-source notification and stored open state.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "db/dataset/data_source.h"
#include "db/errors/database_error.h"
#include "test_dataset.h"

namespace {

using dataset_test::Column;
using dataset_test::TTestDataSet;
using ::testing::ElementsAre;
using ::testing::ThrowsMessage;

// A dataset named "tblT" with the keys `AKeys` in column K, whose events and
// steps are recorded in Steps.
class SequenceTest : public ::testing::Test {
 protected:
  void SetUp() override { Fill({1, 2, 3}); }

  void Fill(const std::vector<int>& AKeys) {
    dataset_.SetName("tblT");
    dataset_.Result.Columns = {Column("K", ftInteger)};
    dataset_.Result.Rows.clear();
    for (int key : AKeys) dataset_.Result.Rows.push_back({std::int32_t{key}});
    auto record = [this](const char* AName) {
      return [this, AName](TDataSet*) { dataset_.Steps.push_back(AName); };
    };
    dataset_.SetBeforeEdit(record("BeforeEdit"));
    dataset_.SetAfterEdit(record("AfterEdit"));
    dataset_.SetBeforeInsert(record("BeforeInsert"));
    dataset_.SetAfterInsert(record("AfterInsert"));
    dataset_.SetBeforePost(record("BeforePost"));
    dataset_.SetAfterPost(record("AfterPost"));
    dataset_.SetBeforeCancel(record("BeforeCancel"));
    dataset_.SetAfterCancel(record("AfterCancel"));
    dataset_.SetBeforeDelete(record("BeforeDelete"));
    dataset_.SetAfterDelete(record("AfterDelete"));
    dataset_.SetBeforeClose(record("BeforeClose"));
    dataset_.SetAfterClose(record("AfterClose"));
  }

  std::vector<int> Walk() {
    std::vector<int> keys;
    for (dataset_.First(); !dataset_.Eof(); dataset_.Next()) {
      keys.push_back(dataset_.FieldByName("K").AsInteger());
    }
    return keys;
  }

  TTestDataSet dataset_;
};

TEST_F(SequenceTest, NavigationOverTheRowsHeld) {
  EXPECT_TRUE(dataset_.IsEmpty());
  EXPECT_EQ(dataset_.RecordCount(), 0);
  dataset_.Open();
  EXPECT_EQ(dataset_.RecordCount(), 3);
  EXPECT_FALSE(dataset_.Eof());
  EXPECT_THAT(Walk(), ElementsAre(1, 2, 3));
  // Next from the last row sets Eof without moving.
  EXPECT_EQ(dataset_.FieldByName("K").AsInteger(), 3);
  dataset_.First();
  EXPECT_FALSE(dataset_.Eof());
  dataset_.Close();
  EXPECT_EQ(dataset_.RecordCount(), 0);
  EXPECT_TRUE(dataset_.IsEmpty());
}

TEST_F(SequenceTest, AnEmptyResultOpensAtEof) {
  Fill({});
  dataset_.Open();
  EXPECT_TRUE(dataset_.Active());
  EXPECT_TRUE(dataset_.Eof());
  EXPECT_TRUE(dataset_.IsEmpty());
  EXPECT_TRUE(dataset_.FieldByName("K").IsNull());
}

TEST_F(SequenceTest, EditPostCancelDeleteCloseRunTheirSequences) {
  dataset_.Open();
  dataset_.Edit();
  EXPECT_EQ(dataset_.State(), dsEdit);
  dataset_.Edit();  // already editing: nothing
  dataset_.FieldByName("K").SetAsInteger(10);
  dataset_.Post();
  EXPECT_EQ(dataset_.State(), dsBrowse);
  dataset_.Edit();
  dataset_.FieldByName("K").SetAsInteger(20);
  dataset_.Cancel();
  dataset_.Post();    // not editing: nothing
  dataset_.Cancel();  // not editing: nothing
  dataset_.Delete();
  dataset_.Edit();
  dataset_.Close();
  EXPECT_THAT(
      dataset_.Steps,
      ElementsAre("BeforeEdit", "edit", "AfterEdit", "BeforePost", "post", "AfterPost",
                  "BeforeEdit", "edit", "AfterEdit", "BeforeCancel", "cancel", "AfterCancel",
                  "BeforeDelete", "delete", "AfterDelete", "BeforeEdit", "edit", "AfterEdit",
                  "BeforeClose", "BeforeCancel", "cancel", "AfterCancel", "close", "AfterClose"));
}

TEST_F(SequenceTest, PostedValuesStayAndCancelledOnesGo) {
  dataset_.Open();
  dataset_.Edit();
  dataset_.FieldByName("K").SetAsInteger(10);
  dataset_.Post();
  dataset_.Next();
  dataset_.Edit();
  dataset_.FieldByName("K").SetAsInteger(20);
  dataset_.Cancel();
  dataset_.Next();
  dataset_.Delete();
  EXPECT_EQ(dataset_.RecordCount(), 2);
  EXPECT_THAT(Walk(), ElementsAre(10, 2));
}

TEST_F(SequenceTest, EditOnADatasetWithoutRowsInsertsAndDeleteThenCancels) {
  Fill({});
  dataset_.Open();
  dataset_.Edit();
  EXPECT_EQ(dataset_.State(), dsInsert);
  dataset_.Delete();
  EXPECT_EQ(dataset_.State(), dsBrowse);
  dataset_.Edit();
  dataset_.FieldByName("K").SetAsInteger(5);
  dataset_.Post();
  EXPECT_EQ(dataset_.RecordCount(), 1);
  EXPECT_THAT(dataset_.Steps,
              ElementsAre("BeforeInsert", "AfterInsert", "BeforeCancel", "cancel", "AfterCancel",
                          "BeforeInsert", "AfterInsert", "BeforePost", "post", "AfterPost"));
}

TEST_F(SequenceTest, RefusalsNameTheDatasetAndChangeNothing) {
  EXPECT_THAT(
      [&] { dataset_.Refresh(); },
      ThrowsMessage<EDatabaseError>("tblT: Cannot perform this operation on a closed dataset"));
  Fill({});
  dataset_.Open();
  EXPECT_THAT(
      [&] { dataset_.Delete(); },
      ThrowsMessage<EDatabaseError>("tblT: Cannot perform this operation on an empty dataset"));
  Fill({1});
  dataset_.ReadOnlyFlag = true;
  dataset_.Close();
  dataset_.Open();
  EXPECT_THAT([&] { dataset_.Edit(); },
              ThrowsMessage<EDatabaseError>("tblT: Cannot modify a read-only dataset"));
  EXPECT_THAT([&] { dataset_.Delete(); },
              ThrowsMessage<EDatabaseError>("tblT: Cannot modify a read-only dataset"));
  EXPECT_EQ(dataset_.State(), dsBrowse);
  EXPECT_EQ(dataset_.RecordCount(), 1);
}

struct HandlerCase {
  const char* Name;
  TDataAction Action;
  bool Raises;
  TDataSetState StateAfter;
  int StepRuns;

  friend void PrintTo(const HandlerCase& ACase, std::ostream* AOut) { *AOut << ACase.Name; }
};

class ErrorHandlerTest : public SequenceTest, public ::testing::WithParamInterface<HandlerCase> {};

TEST_P(ErrorHandlerTest, TheAnswerDecides) {
  const HandlerCase& c = GetParam();
  dataset_.Open();
  dataset_.Edit();
  dataset_.PostFailures = 1;
  std::vector<std::string> offered;
  dataset_.SetOnPostError([&](TDataSet*, const EDatabaseError& AError, TDataAction& AAction) {
    offered.push_back(AError.Message());
    AAction = c.Action;
  });
  if (c.Raises) {
    EXPECT_THAT([&] { dataset_.Post(); }, ThrowsMessage<EDatabaseError>("post refused"));
  } else {
    dataset_.Post();
  }
  EXPECT_THAT(offered, ElementsAre("post refused"));
  EXPECT_EQ(dataset_.State(), c.StateAfter);
  EXPECT_EQ(std::count(dataset_.Steps.begin(), dataset_.Steps.end(), "post"), c.StepRuns);
}

INSTANTIATE_TEST_SUITE_P(Answers, ErrorHandlerTest,
                         ::testing::Values(HandlerCase{"Fail", daFail, true, dsEdit, 1},
                                           HandlerCase{"Abort", daAbort, false, dsEdit, 1},
                                           HandlerCase{"Retry", daRetry, false, dsBrowse, 2}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(SequenceTest, AnEditErrorWithoutHandlerFailsAndStaysInBrowse) {
  dataset_.Open();
  dataset_.EditFailures = 1;
  EXPECT_THAT([&] { dataset_.Edit(); }, ThrowsMessage<EDatabaseError>("edit refused"));
  EXPECT_EQ(dataset_.State(), dsBrowse);
  EXPECT_THAT(dataset_.Steps, ElementsAre("BeforeEdit", "edit"));
}

// Counts what a data source passes on.
class CountingClient : public TDataSourceClient {
 public:
  void DataSourceChanged(TDataSource*) override { ++Changes; }
  void DataSourceFreed(TDataSource*) override { Freed = true; }
  int Changes = 0;
  bool Freed = false;
};

TEST_F(SequenceTest, DataSourcesHearOfMovesAndContents) {
  CountingClient client;
  {
    TDataSource source(nullptr);
    source.AddClient(&client);
    source.SetDataSet(&dataset_);
    EXPECT_EQ(client.Changes, 1);
    dataset_.Open();
    EXPECT_EQ(client.Changes, 2);
    dataset_.Next();
    dataset_.First();
    dataset_.Refresh();
    dataset_.Close();
    EXPECT_EQ(client.Changes, 6);
    source.RemoveClient(&client);
    source.AddClient(&client);
  }
  EXPECT_TRUE(client.Freed);
}

TEST_F(SequenceTest, AStoredOpenStateOpensWhenLoadingEnds) {
  dataset_.BeginLoading();
  dataset_.SetActive(true);
  EXPECT_FALSE(dataset_.Active());
  dataset_.Loaded();
  EXPECT_TRUE(dataset_.Active());
}

}  // namespace
