#include "db/fields/binding.h"

#include "db/errors/database_error.h"
#include "db/fields/binary.h"
#include "db/fields/date_time.h"
#include "db/fields/numeric.h"
#include "db/fields/text.h"

namespace {

// The groups within which a declared field may read a column of another type.
enum class TypeClass {
  Integer,
  Largeint,
  Boolean,
  String,
  WideString,
  DateTime,
  Float,
  Single,
  LargeObject,
  Bytes,
  VarBytes,
  Unknown
};

TypeClass ClassOf(TFieldType AType) {
  switch (AType) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc:
    case ftShortint:
    case ftByte:
      return TypeClass::Integer;
    case ftLargeint:
      return TypeClass::Largeint;
    case ftBoolean:
      return TypeClass::Boolean;
    case ftString:
    case ftFixedChar:
    case ftGuid:
      return TypeClass::String;
    case ftWideString:
    case ftFixedWideChar:
      return TypeClass::WideString;
    case ftDate:
    case ftTime:
    case ftDateTime:
      return TypeClass::DateTime;
    case ftFloat:
    case ftCurrency:
      return TypeClass::Float;
    case ftSingle:
      return TypeClass::Single;
    case ftBlob:
    case ftMemo:
    case ftWideMemo:
      return TypeClass::LargeObject;
    case ftBytes:
      return TypeClass::Bytes;
    case ftVarBytes:
      return TypeClass::VarBytes;
    case ftUnknown:
      return TypeClass::Unknown;
  }
  return TypeClass::Unknown;
}

std::unique_ptr<TField> NewField(TFieldType AType) {
  switch (AType) {
    case ftString:
    case ftFixedChar:
      return std::make_unique<TStringField>(nullptr);
    case ftGuid:
      return std::make_unique<TGuidField>(nullptr);
    case ftWideString:
    case ftFixedWideChar:
      return std::make_unique<TWideStringField>(nullptr);
    case ftSmallint:
      return std::make_unique<TSmallintField>(nullptr);
    case ftInteger:
      return std::make_unique<TIntegerField>(nullptr);
    case ftWord:
      return std::make_unique<TWordField>(nullptr);
    case ftAutoInc:
      return std::make_unique<TAutoIncField>(nullptr);
    case ftShortint:
      return std::make_unique<TShortintField>(nullptr);
    case ftByte:
      return std::make_unique<TByteField>(nullptr);
    case ftLargeint:
      return std::make_unique<TLargeintField>(nullptr);
    case ftBoolean:
      return std::make_unique<TBooleanField>(nullptr);
    case ftFloat:
      return std::make_unique<TFloatField>(nullptr);
    case ftCurrency:
      return std::make_unique<TCurrencyField>(nullptr);
    case ftSingle:
      return std::make_unique<TSingleField>(nullptr);
    case ftDateTime:
      return std::make_unique<TDateTimeField>(nullptr);
    case ftDate:
      return std::make_unique<TDateField>(nullptr);
    case ftTime:
      return std::make_unique<TTimeField>(nullptr);
    case ftBlob:
      return std::make_unique<TBlobField>(nullptr);
    case ftMemo:
      return std::make_unique<TMemoField>(nullptr);
    case ftWideMemo:
      return std::make_unique<TWideMemoField>(nullptr);
    case ftBytes:
      return std::make_unique<TBytesField>(nullptr);
    case ftVarBytes:
      return std::make_unique<TVarBytesField>(nullptr);
    case ftUnknown:
      break;
  }
  throw EDatabaseError("Field type " + FieldTypeName(AType) + " is not supported");
}

bool IsTextClass(TypeClass AClass) {
  return AClass == TypeClass::String || AClass == TypeClass::WideString;
}

}  // namespace

std::unique_ptr<TField> CreateFieldForColumn(const odbc::TColumnInfo& AColumn) {
  std::unique_ptr<TField> field = NewField(AColumn.DataType);
  field->SetFieldName(AColumn.Name);
  const TypeClass type_class = ClassOf(AColumn.DataType);
  if (IsTextClass(type_class) || type_class == TypeClass::Bytes ||
      type_class == TypeClass::VarBytes) {
    field->SetSize(AColumn.Size);
  }
  return field;
}

void BindDeclaredField(TField& AField, const odbc::TColumnInfo& AColumn,
                       const TComponent* ADataSet) {
  const TypeClass field_class = ClassOf(AField.DataType());
  if (field_class != ClassOf(AColumn.DataType)) {
    throw EDatabaseError(
        ComponentMessage(ADataSet, "Type mismatch for field '" + AField.DisplayName() +
                                       "', expecting: " + FieldTypeName(AField.DataType()) +
                                       " actual: " + FieldTypeName(AColumn.DataType)));
  }
  if ((field_class == TypeClass::Bytes || field_class == TypeClass::VarBytes) &&
      AField.Size() != AColumn.Size) {
    throw EDatabaseError(ComponentMessage(
        ADataSet, "Size mismatch for field '" + AField.DisplayName() + "', expecting: " +
                      std::to_string(AField.Size()) + " actual: " + std::to_string(AColumn.Size)));
  }
  if (IsTextClass(field_class) && !AField.ReadOnly() && AColumn.Size > 0 &&
      AField.Size() > AColumn.Size) {
    AField.SetSize(AColumn.Size);
  }
}
