#include "db/dataset/mem_dataset.h"

#include "db/fields/binding.h"
#include "db/values/same_text.h"

namespace {

std::string Trim(std::string_view AText) {
  const auto first = AText.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return "";
  const auto last = AText.find_last_not_of(" \t\r\n");
  return std::string(AText.substr(first, last - first + 1));
}

std::vector<std::string> SplitNames(const std::string& AText) {
  std::vector<std::string> names;
  std::size_t start = 0;
  while (start <= AText.size()) {
    std::size_t end = AText.find(';', start);
    if (end == std::string::npos) end = AText.size();
    std::string name = Trim(std::string_view(AText).substr(start, end - start));
    if (!name.empty()) names.push_back(std::move(name));
    start = end + 1;
  }
  return names;
}

bool SameColumns(const std::vector<odbc::TColumnInfo>& A, const std::vector<odbc::TColumnInfo>& B) {
  if (A.size() != B.size()) return false;
  for (std::size_t i = 0; i < A.size(); ++i) {
    if (A[i].Name != B[i].Name || A[i].DataType != B[i].DataType) return false;
  }
  return true;
}

}  // namespace

TMemDataSet::~TMemDataSet() {
  SetMasterSource(nullptr);
}

void TMemDataSet::SetMasterSource(TDataSource* AValue) {
  if (AValue == FMasterSource) return;
  if (FMasterSource != nullptr) FMasterSource->RemoveClient(this);
  FMasterSource = AValue;
  if (FMasterSource != nullptr) FMasterSource->AddClient(this);
}

bool TMemDataSet::IsDetail() const {
  return FMasterSource != nullptr && !SplitNames(FMasterFields).empty() &&
         !SplitNames(FDetailFields).empty();
}

std::vector<std::pair<std::string, std::string>> TMemDataSet::LinkPairs() const {
  const std::vector<std::string> master = SplitNames(FMasterFields);
  const std::vector<std::string> detail = SplitNames(FDetailFields);
  std::vector<std::pair<std::string, std::string>> pairs;
  for (std::size_t i = 0; i < master.size() && i < detail.size(); ++i) {
    pairs.emplace_back(detail[i], master[i]);
  }
  return pairs;
}

TDataSet* TMemDataSet::MasterDataSet() const {
  return FMasterSource == nullptr ? nullptr : FMasterSource->DataSet();
}

void TMemDataSet::LoadResult(odbc::TResultSet AResult, bool AKeepFields) {
  const bool rebind = !AKeepFields || !SameColumns(FColumns, AResult.Columns);
  FColumns = std::move(AResult.Columns);
  FRows = std::move(AResult.Rows);
  if (rebind) BindFields();
}

void TMemDataSet::BindFields() {
  ReleaseFields();
  if (DeclaredFields().empty()) {
    for (std::size_t i = 0; i < FColumns.size(); ++i) {
      AddCreatedField(CreateFieldForColumn(FColumns[i]), static_cast<int>(i));
    }
    return;
  }
  for (TField* field : DeclaredFields()) {
    int column = -1;
    for (std::size_t i = 0; i < FColumns.size() && column < 0; ++i) {
      if (SameText(FColumns[i].Name, field->FieldName())) column = static_cast<int>(i);
    }
    if (column < 0) {
      throw EDatabaseError(
          ComponentMessage(this, "Field '" + field->DisplayName() + "' not found"));
    }
    BindDeclaredField(*field, FColumns[column], this);
    BindField(*field, column);
  }
}

void TMemDataSet::InternalClose() {
  FRows.clear();
  FColumns.clear();
}

void TMemDataSet::InternalPost() {
  if (State() == dsInsert) {
    FRows.push_back(EditRow());
    SetCurrentRow(GetRecordCount() - 1);
  } else {
    FRows.at(CurrentRow()) = EditRow();
  }
}

void TMemDataSet::InternalDelete() {
  FRows.erase(FRows.begin() + CurrentRow());
}
