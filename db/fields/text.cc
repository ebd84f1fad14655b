#include "db/fields/text.h"

#include "db/values/variant_convert.h"

std::string TStringField::AsString() const {
  return VariantToString(Value());
}

void TStringField::SetAsString(const std::string& AValue) {
  SetValue(AValue);
}
