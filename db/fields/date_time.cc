#include "db/fields/date_time.h"

#include "db/values/variant_convert.h"

TDateTime TDateTimeField::AsDateTime() const {
  return VariantToDateTime(Value());
}

std::string TDateTimeField::AsString() const {
  const TVariant value = Value();
  return value.IsNull() ? "" : VariantToString(TVariant(VariantToDateTime(value)));
}
