// A dataset whose "statement" is a result given by the test: the generic
// dataset sequences and the fields without a server.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "db/dataset/mem_dataset.h"

namespace dataset_test {

// One result column of type `AType` (`ASize` characters or bytes).
inline odbc::TColumnInfo Column(std::string AName, TFieldType AType, int ASize = 0,
                                bool AFixedLength = false) {
  odbc::TColumnInfo column;
  column.Name = std::move(AName);
  column.DataType = AType;
  column.Size = ASize;
  column.FixedLength = AFixedLength;
  return column;
}

class TTestDataSet : public TMemDataSet {
 public:
  explicit TTestDataSet(TComponent* AOwner = nullptr) : TMemDataSet(AOwner) {}
  ~TTestDataSet() override { Close(); }

  // What opening and refreshing read.
  odbc::TResultSet Result;
  // Steps run so far, by name, and how often the master told of a change.
  std::vector<std::string> Steps;
  int MasterChanges = 0;
  // Errors the next post/edit/delete steps raise, one per call, then none.
  int PostFailures = 0;
  int EditFailures = 0;
  bool ReadOnlyFlag = false;

 protected:
  void InternalOpen() override { LoadResult(Result, false); }
  void InternalRefresh() override {
    LoadResult(Result, true);
    SetCurrentRow(0);
  }
  void InternalEdit() override {
    Steps.push_back("edit");
    if (EditFailures > 0 && EditFailures--) throw EDatabaseError("edit refused");
  }
  void InternalPost() override {
    Steps.push_back("post");
    if (PostFailures > 0 && PostFailures--) throw EDatabaseError("post refused");
    TMemDataSet::InternalPost();
  }
  void InternalCancel() override { Steps.push_back("cancel"); }
  void InternalDelete() override {
    Steps.push_back("delete");
    TMemDataSet::InternalDelete();
  }
  void InternalClose() override {
    Steps.push_back("close");
    TMemDataSet::InternalClose();
  }
  bool CanModify() const override { return !ReadOnlyFlag; }
  void MasterChanged() override { ++MasterChanges; }
};

}  // namespace dataset_test
