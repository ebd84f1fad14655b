#include "core/property_kinds.h"

#include <algorithm>
#include <limits>

namespace property_kinds {

void InvalidValue() {
  throw EReadError("Invalid property value");
}

TCodec<std::string> StringCodec() {
  return {[](const TStoredValue& AValue) {
            if (AValue.Kind != svString) InvalidValue();
            return AValue.Text;
          },
          [](const std::string& AValue) { return TStoredValue::String(AValue); }};
}

TCodec<int> IntegerCodec() {
  return {[](const TStoredValue& AValue) {
            if (AValue.Kind != svInteger || AValue.Integer < std::numeric_limits<int>::min() ||
                AValue.Integer > std::numeric_limits<int>::max()) {
              InvalidValue();
            }
            return static_cast<int>(AValue.Integer);
          },
          [](const int& AValue) { return TStoredValue::Int(AValue); }};
}

TCodec<bool> BooleanCodec() {
  TCodec<int> ordinal = OrdinalCodec({"False", "True"});
  return {[ordinal](const TStoredValue& AValue) { return ordinal.Decode(AValue) != 0; },
          [ordinal](const bool& AValue) { return ordinal.Encode(AValue ? 1 : 0); }};
}

TCodec<int> OrdinalCodec(std::vector<std::string> ANames) {
  return {[ANames](const TStoredValue& AValue) {
            if (AValue.Kind != svIdent) InvalidValue();
            const auto found = std::find(ANames.begin(), ANames.end(), AValue.Text);
            if (found == ANames.end()) InvalidValue();
            return static_cast<int>(found - ANames.begin());
          },
          [ANames](const int& AValue) { return TStoredValue::Ident(ANames.at(AValue)); }};
}

void TReadOnlyEntry::Read(TPersistent&, const TStoredValue&, TReadContext&) const {
  throw EReadError("Property " + Name() + " is read-only");
}

}  // namespace property_kinds
