// Fields without a server: the readings of the value table, the fields made
// for result columns, and the rules a declared field must pass on opening.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

#include "db/errors/database_error.h"
#include "db/fields/binary.h"
#include "db/fields/date_time.h"
#include "db/fields/numeric.h"
#include "db/fields/text.h"
#include "test_dataset.h"

namespace {

using dataset_test::Column;
using dataset_test::TTestDataSet;
using ::testing::ThrowsMessage;

// A dataset named "tblT" holding one row with `AValue` in a column of `AType`.
void OpenWithValue(TTestDataSet& ADataSet, TFieldType AType, const TVariant& AValue) {
  ADataSet.SetName("tblT");
  ADataSet.Result.Columns = {Column("C", AType, 10)};
  ADataSet.Result.Rows = {{AValue}};
  ADataSet.Open();
}

struct ReadingCase {
  const char* Name;
  TFieldType ColumnType;
  TVariant Value;
  std::string AsString;
  std::int32_t AsInteger;
  bool AsBoolean;

  friend void PrintTo(const ReadingCase& ACase, std::ostream* AOut) { *AOut << ACase.Name; }
};

class FieldReadingTest : public ::testing::TestWithParam<ReadingCase> {};

TEST_P(FieldReadingTest, ReadsAsTheValueTableSays) {
  const ReadingCase& c = GetParam();
  TTestDataSet dataset;
  OpenWithValue(dataset, c.ColumnType, c.Value);
  TField& field = dataset.FieldByName("c");
  EXPECT_EQ(field.AsString(), c.AsString);
  EXPECT_EQ(field.IsNull(), c.Value.IsNull());
  if (c.ColumnType != ftString && c.ColumnType != ftBoolean) {
    EXPECT_EQ(field.AsInteger(), c.AsInteger);
  }
  if (c.ColumnType == ftBoolean) {
    EXPECT_EQ(field.AsBoolean(), c.AsBoolean);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Values, FieldReadingTest,
    ::testing::Values(ReadingCase{"Integer", ftInteger, std::int32_t{42}, "42", 42, false},
                      ReadingCase{"NegativeInteger", ftInteger, std::int32_t{-7}, "-7", -7, false},
                      ReadingCase{"SmallInt", ftSmallint, std::int32_t{300}, "300", 300, false},
                      ReadingCase{"BigintLow32Bits", ftLargeint, std::int64_t{(1LL << 32) + 5},
                                  "4294967301", 5, false},
                      ReadingCase{"BigintLowBitsSigned", ftLargeint, std::int64_t{(1LL << 33) - 1},
                                  "8589934591", -1, false},
                      ReadingCase{"NegativeBigint", ftLargeint, std::int64_t{-12}, "-12", -12,
                                  false},
                      ReadingCase{"True", ftBoolean, true, "True", 0, true},
                      ReadingCase{"False", ftBoolean, false, "False", 0, false},
                      ReadingCase{"Text", ftString, "AB", "AB", 0, false},
                      ReadingCase{"NullText", ftString, TVariant(), "", 0, false},
                      ReadingCase{"NullInteger", ftInteger, TVariant(), "", 0, false},
                      ReadingCase{"NullBigint", ftLargeint, TVariant(), "", 0, false},
                      ReadingCase{"NullBoolean", ftBoolean, TVariant(), "", 0, false}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(FieldTest, ReadingsTheTypeDoesNotOfferNameFieldAndType) {
  TTestDataSet dataset;
  OpenWithValue(dataset, ftString, "x");
  EXPECT_THAT([&] { dataset.FieldByName("C").AsDateTime(); },
              ThrowsMessage<EDatabaseError>("tblT: Cannot access field 'C' as type DateTime"));
}

TEST(FieldTest, AssignmentsNeedEditingAndAWritableField) {
  TTestDataSet dataset;
  OpenWithValue(dataset, ftInteger, std::int32_t{1});
  TField& field = dataset.FieldByName("C");
  EXPECT_THAT([&] { field.SetAsInteger(2); },
              ThrowsMessage<EDatabaseError>("tblT: Dataset not in edit or insert mode"));
  dataset.Edit();
  field.SetAsInteger(2);
  EXPECT_EQ(field.AsInteger(), 2);
  field.SetReadOnly(true);
  EXPECT_THAT([&] { field.SetAsInteger(3); },
              ThrowsMessage<EDatabaseError>("tblT: Field 'C' cannot be modified"));
  dataset.Post();
  EXPECT_EQ(field.AsInteger(), 2);
}

TEST(FieldTest, FieldTypeNamesAreThoseOfTheMessages) {
  const std::pair<TFieldType, const char*> names[] = {
      {ftString, "String"},     {ftSmallint, "SmallInt"}, {ftInteger, "Integer"},
      {ftWord, "Word"},         {ftBoolean, "Boolean"},   {ftFloat, "Float"},
      {ftCurrency, "Currency"}, {ftDate, "Date"},         {ftTime, "Time"},
      {ftDateTime, "DateTime"}, {ftBytes, "Bytes"},       {ftVarBytes, "VarBytes"},
      {ftBlob, "Blob"},         {ftMemo, "Memo"},         {ftWideString, "WideString"},
      {ftLargeint, "LargeInt"}, {ftGuid, "Guid"},         {ftWideMemo, "WideMemo"},
      {ftShortint, "ShortInt"}, {ftByte, "Byte"},         {ftSingle, "Single"}};
  for (const auto& [type, name] : names) EXPECT_EQ(FieldTypeName(type), name);
}

struct CreatedFieldCase {
  TFieldType ColumnType;
  std::function<bool(TField*)> IsExpectedClass;
};

TEST(CreatedFieldsTest, OneFieldPerColumnOfTheColumnsClass) {
  const CreatedFieldCase cases[] = {
      {ftInteger, [](TField* f) { return dynamic_cast<TIntegerField*>(f) != nullptr; }},
      {ftByte, [](TField* f) { return dynamic_cast<TByteField*>(f) != nullptr; }},
      {ftLargeint, [](TField* f) { return dynamic_cast<TLargeintField*>(f) != nullptr; }},
      {ftBoolean, [](TField* f) { return dynamic_cast<TBooleanField*>(f) != nullptr; }},
      {ftString, [](TField* f) { return dynamic_cast<TStringField*>(f) != nullptr; }},
      {ftWideString, [](TField* f) { return dynamic_cast<TWideStringField*>(f) != nullptr; }},
      {ftDateTime, [](TField* f) { return dynamic_cast<TDateTimeField*>(f) != nullptr; }},
      {ftCurrency, [](TField* f) { return dynamic_cast<TCurrencyField*>(f) != nullptr; }},
      {ftSingle, [](TField* f) { return dynamic_cast<TSingleField*>(f) != nullptr; }},
      {ftGuid, [](TField* f) { return dynamic_cast<TGuidField*>(f) != nullptr; }},
      {ftMemo, [](TField* f) { return dynamic_cast<TMemoField*>(f) != nullptr; }},
      {ftWideMemo, [](TField* f) { return dynamic_cast<TWideMemoField*>(f) != nullptr; }},
      {ftBlob, [](TField* f) { return dynamic_cast<TBlobField*>(f) != nullptr; }},
      {ftVarBytes, [](TField* f) { return dynamic_cast<TVarBytesField*>(f) != nullptr; }},
  };
  TTestDataSet dataset;
  std::vector<TVariant> row;
  for (const CreatedFieldCase& c : cases) {
    dataset.Result.Columns.push_back(Column("C" + FieldTypeName(c.ColumnType), c.ColumnType, 8));
    row.emplace_back();
  }
  dataset.Result.Rows = {row};
  dataset.Open();
  ASSERT_EQ(dataset.FieldCount(), static_cast<int>(std::size(cases)));
  for (int i = 0; i < dataset.FieldCount(); ++i) {
    TField& field = dataset.Fields(i);
    EXPECT_EQ(field.FieldName(), "C" + FieldTypeName(cases[i].ColumnType));
    EXPECT_EQ(field.DataType(), cases[i].ColumnType);
    EXPECT_TRUE(cases[i].IsExpectedClass(&field)) << field.FieldName();
  }
  dataset.Close();
  EXPECT_EQ(dataset.FieldCount(), 0);
}

// A declared field of class F named `AName` on `ADataSet`.
template <class F>
F* Declare(TTestDataSet& ADataSet, const std::string& AName) {
  auto* field = new F(&ADataSet);
  field->SetFieldName(AName);
  field->SetDataSet(&ADataSet);
  return field;
}

struct BindingCase {
  const char* Name;
  std::function<TField*(TTestDataSet&)> DeclareField;
  odbc::TColumnInfo ColumnOfResult;
  std::string Error;  // empty: binds

  friend void PrintTo(const BindingCase& ACase, std::ostream* AOut) { *AOut << ACase.Name; }
};

class DeclaredFieldTest : public ::testing::TestWithParam<BindingCase> {};

TEST_P(DeclaredFieldTest, BindsOrFailsTheOpeningWithTheDatasetsName) {
  const BindingCase& c = GetParam();
  TTestDataSet dataset;
  dataset.SetName("tblCFGPropertyLocation");
  c.DeclareField(dataset);
  dataset.Result.Columns = {c.ColumnOfResult};
  dataset.Result.Rows = {{TVariant()}};
  if (c.Error.empty()) {
    dataset.Open();
    EXPECT_TRUE(dataset.Active());
    return;
  }
  EXPECT_THAT([&] { dataset.Open(); }, ThrowsMessage<EDatabaseError>(c.Error));
  EXPECT_FALSE(dataset.Active());
  EXPECT_EQ(dataset.RecordCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Classes, DeclaredFieldTest,
    ::testing::Values(
        BindingCase{"LargeintOnInt", [](auto& d) { return Declare<TLargeintField>(d, "LOCKEY"); },
                    Column("LOCKEY", ftInteger),
                    "tblCFGPropertyLocation: Type mismatch for field 'LOCKEY', expecting: "
                    "LargeInt actual: Integer"},
        BindingCase{"IntegerOnBigint", [](auto& d) { return Declare<TIntegerField>(d, "K"); },
                    Column("K", ftLargeint),
                    "tblCFGPropertyLocation: Type mismatch for field 'K', expecting: Integer "
                    "actual: LargeInt"},
        BindingCase{"StringOnNvarchar", [](auto& d) { return Declare<TStringField>(d, "S"); },
                    Column("S", ftWideString, 5),
                    "tblCFGPropertyLocation: Type mismatch for field 'S', expecting: String "
                    "actual: WideString"},
        BindingCase{"LabelNamesTheField",
                    [](auto& d) {
                      auto* f = Declare<TBooleanField>(d, "AVAILABLE");
                      f->SetDisplayLabel("Available?");
                      return f;
                    },
                    Column("AVAILABLE", ftInteger),
                    "tblCFGPropertyLocation: Type mismatch for field 'Available?', expecting: "
                    "Boolean actual: Integer"},
        BindingCase{"Missing", [](auto& d) { return Declare<TIntegerField>(d, "ALLOW"); },
                    Column("ONLOC", ftInteger), "tblCFGPropertyLocation: Field 'ALLOW' not found"},
        BindingCase{"BytesOfAnotherSize",
                    [](auto& d) {
                      auto* f = Declare<TBytesField>(d, "B");
                      f->SetSize(4);
                      return f;
                    },
                    Column("B", ftBytes, 8),
                    "tblCFGPropertyLocation: Size mismatch for field 'B', expecting: 4 actual: 8"},
        BindingCase{"SmallintOnInt", [](auto& d) { return Declare<TSmallintField>(d, "ALLOW"); },
                    Column("ALLOW", ftInteger), ""},
        BindingCase{"IntegerOnTinyint", [](auto& d) { return Declare<TIntegerField>(d, "ONLOC"); },
                    Column("ONLOC", ftByte), ""},
        BindingCase{"StringOnGuid", [](auto& d) { return Declare<TStringField>(d, "G"); },
                    Column("G", ftGuid, 38), ""},
        BindingCase{"DateOnDateTime", [](auto& d) { return Declare<TDateField>(d, "D"); },
                    Column("D", ftDateTime), ""},
        BindingCase{"MemoOnImage", [](auto& d) { return Declare<TMemoField>(d, "M"); },
                    Column("M", ftBlob), ""},
        BindingCase{"CurrencyOnFloat", [](auto& d) { return Declare<TCurrencyField>(d, "F"); },
                    Column("F", ftFloat), ""}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(DeclaredFieldsTest, OnlyDeclaredColumnsAreVisibleAndLongTextIsShortened) {
  TTestDataSet dataset;
  auto* code = Declare<TStringField>(dataset, "LOCATIONCODE");
  code->SetSize(30);
  auto* key = Declare<TLargeintField>(dataset, "LOCKEY");
  EXPECT_EQ(dataset.FieldCount(), 2);
  dataset.Result.Columns = {Column("LOCKEY", ftLargeint), Column("LOCATION", ftString, 30),
                            Column("LOCATIONCODE", ftString, 5)};
  dataset.Result.Rows = {{std::int64_t{7}, "Shelf", "A1"}};
  dataset.Open();
  EXPECT_EQ(dataset.FieldCount(), 2);
  EXPECT_EQ(&dataset.Fields(0), code);
  EXPECT_EQ(dataset.FindField("LOCATION"), nullptr);
  EXPECT_EQ(code->Size(), 5);
  EXPECT_EQ(code->AsString(), "A1");
  EXPECT_EQ(key->AsInteger(), 7);
  dataset.Close();
  EXPECT_EQ(dataset.FieldCount(), 2);
  EXPECT_TRUE(key->IsNull());
}

TEST(DeclaredFieldsTest, AReadOnlyTextFieldKeepsItsSize) {
  TTestDataSet dataset;
  auto* code = Declare<TStringField>(dataset, "LOCATIONCODE");
  code->SetSize(30);
  code->SetReadOnly(true);
  dataset.Result.Columns = {Column("LOCATIONCODE", ftString, 5)};
  dataset.Open();
  EXPECT_EQ(code->Size(), 30);
}

TEST(DeclaredFieldsTest, FieldByNameOfAMissingFieldNamesTheDataset) {
  TTestDataSet dataset;
  dataset.SetName("qryGeneric");
  dataset.Result.Columns = {Column("A", ftInteger)};
  dataset.Open();
  EXPECT_EQ(&dataset.FieldByName("a"), &dataset.Fields(0));
  EXPECT_THAT([&] { dataset.FieldByName("B"); },
              ThrowsMessage<EDatabaseError>("qryGeneric: Field 'B' not found"));
}

}  // namespace
