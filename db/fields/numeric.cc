#include "db/fields/numeric.h"

#include "db/values/variant_convert.h"

std::string TIntegerField::AsString() const {
  const TVariant value = Value();
  return value.IsNull() ? "" : std::to_string(AsInteger());
}

std::int32_t TIntegerField::AsInteger() const {
  return static_cast<std::int32_t>(VariantToInt64(Value()));
}

std::int64_t TLargeintField::AsLargeInt() const {
  return VariantToInt64(Value());
}

std::string TLargeintField::AsString() const {
  const TVariant value = Value();
  return value.IsNull() ? "" : std::to_string(VariantToInt64(value));
}

std::int32_t TLargeintField::AsInteger() const {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(AsLargeInt()));
}

std::string TBooleanField::AsString() const {
  const TVariant value = Value();
  if (value.IsNull()) return "";
  return VariantToBoolean(value) ? "True" : "False";
}

bool TBooleanField::AsBoolean() const {
  return VariantToBoolean(Value());
}

std::string TFloatField::AsString() const {
  const TVariant value = Value();
  return value.IsNull() ? "" : VariantToString(TVariant(VariantToDouble(value)));
}

double TFloatField::AsFloat() const {
  return VariantToDouble(Value());
}
