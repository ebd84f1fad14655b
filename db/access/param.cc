#include "db/access/param.h"

#include "db/values/variant_convert.h"

TParam::TParam(std::string AName, TFieldType ADataType, TParamType AParamType)
    : FName(std::move(AName)), FDataType(ADataType), FParamType(AParamType) {}

void TParam::SetValue(const TVariant& AValue) {
  if (FDataType == ftUnknown) FDataType = FieldTypeOfValue(AValue);
  FValue = AValue;
}

std::int32_t TParam::AsInteger() const {
  return static_cast<std::int32_t>(VariantToInt64(FValue));
}

void TParam::SetAsInteger(std::int32_t AValue) {
  FDataType = ftInteger;
  FValue = AValue;
}

std::int64_t TParam::AsLargeInt() const {
  return VariantToInt64(FValue);
}

void TParam::SetAsLargeInt(std::int64_t AValue) {
  FDataType = ftLargeint;
  FValue = AValue;
}

bool TParam::AsBoolean() const {
  return VariantToBoolean(FValue);
}

void TParam::SetAsBoolean(bool AValue) {
  FDataType = ftBoolean;
  FValue = AValue;
}

std::string TParam::AsString() const {
  return VariantToString(FValue);
}

void TParam::SetAsString(const std::string& AValue) {
  FDataType = ftString;
  FValue = AValue;
}

void TParam::AssignValue(const TParam& ASource) {
  FDataType = ASource.FDataType;
  FParamType = ASource.FParamType;
  FValue = ASource.FValue;
}
