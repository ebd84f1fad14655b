#include "db/fields/binary.h"

#include "db/values/variant_convert.h"

namespace {

TBytes BytesOf(const TVariant& AValue) {
  if (AValue.IsNull()) return {};
  if (AValue.Is<std::string>()) {
    const std::string& text = AValue.As<std::string>();
    return TBytes(text.begin(), text.end());
  }
  return AValue.As<TBytes>();
}

}  // namespace

TBytes TBlobField::AsBytes() const {
  return BytesOf(Value());
}

std::string TMemoField::AsString() const {
  return VariantToString(Value());
}

TBytes TBytesField::AsBytes() const {
  return BytesOf(Value());
}
