#include "db/values/variant_convert.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "db/errors/database_error.h"

namespace {

[[noreturn]] void RaiseConversionError() {
  throw EDatabaseError("Invalid variant type conversion");
}

std::int64_t ParseInt64(const std::string& AText) {
  std::int64_t value = 0;
  const char* end = AText.data() + AText.size();
  auto [ptr, error] = std::from_chars(AText.data(), end, value);
  if (error != std::errc() || ptr != end) {
    throw EDatabaseError("'" + AText + "' is not a valid integer value");
  }
  return value;
}

}  // namespace

std::int64_t VariantToInt64(const TVariant& AValue) {
  if (AValue.IsNull()) return 0;
  if (AValue.Is<std::int32_t>()) return AValue.As<std::int32_t>();
  if (AValue.Is<std::int64_t>()) return AValue.As<std::int64_t>();
  if (AValue.Is<bool>()) return AValue.As<bool>() ? 1 : 0;
  if (AValue.Is<double>()) return static_cast<std::int64_t>(std::trunc(AValue.As<double>()));
  if (AValue.Is<std::string>()) return ParseInt64(AValue.As<std::string>());
  RaiseConversionError();
}

bool VariantToBoolean(const TVariant& AValue) {
  if (AValue.IsNull()) return false;
  if (AValue.Is<bool>()) return AValue.As<bool>();
  if (AValue.Is<std::int32_t>() || AValue.Is<std::int64_t>()) return VariantToInt64(AValue) != 0;
  RaiseConversionError();
}

double VariantToDouble(const TVariant& AValue) {
  if (AValue.IsNull()) return 0;
  if (AValue.Is<double>()) return AValue.As<double>();
  if (AValue.Is<std::int32_t>() || AValue.Is<std::int64_t>() || AValue.Is<bool>()) {
    return static_cast<double>(VariantToInt64(AValue));
  }
  RaiseConversionError();
}

TDateTime VariantToDateTime(const TVariant& AValue) {
  if (AValue.IsNull()) return TDateTime{};
  if (AValue.Is<TDateTime>()) return AValue.As<TDateTime>();
  if (AValue.Is<double>()) return TDateTime{AValue.As<double>()};
  RaiseConversionError();
}

std::string VariantToString(const TVariant& AValue) {
  if (AValue.IsNull()) return "";
  if (AValue.Is<std::string>()) return AValue.As<std::string>();
  if (AValue.Is<bool>()) return AValue.As<bool>() ? "True" : "False";
  if (AValue.Is<std::int32_t>() || AValue.Is<std::int64_t>()) {
    return std::to_string(VariantToInt64(AValue));
  }
  if (AValue.Is<double>()) {
    char buffer[32];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, AValue.As<double>());
    return std::string(buffer, end);
  }
  if (AValue.Is<TDateTime>()) {
    const TDateTimeParts p = DecodeDateTime(AValue.As<TDateTime>());
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d.%03d", p.Year, p.Month,
                  p.Day, p.Hour, p.Minute, p.Second, p.MilliSecond);
    return buffer;
  }
  static const char kHex[] = "0123456789ABCDEF";
  std::string text;
  for (std::uint8_t byte : AValue.As<TBytes>()) {
    text += kHex[byte >> 4];
    text += kHex[byte & 15];
  }
  return text;
}

TFieldType FieldTypeOfValue(const TVariant& AValue) {
  if (AValue.Is<bool>()) return ftBoolean;
  if (AValue.Is<std::int32_t>()) return ftInteger;
  if (AValue.Is<std::int64_t>()) return ftLargeint;
  if (AValue.Is<double>()) return ftFloat;
  if (AValue.Is<TDateTime>()) return ftDateTime;
  if (AValue.Is<std::string>()) return ftString;
  if (AValue.Is<TBytes>()) return ftBlob;
  return ftUnknown;
}
