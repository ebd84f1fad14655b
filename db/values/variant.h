// TVariant: a field's or a parameter's value, null or one typed value.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "core/date_time.h"

using TBytes = std::vector<std::uint8_t>;

class TVariant {
 public:
  // Null.
  TVariant() = default;
  TVariant(bool AValue) : FValue(AValue) {}
  TVariant(std::int32_t AValue) : FValue(AValue) {}
  TVariant(std::int64_t AValue) : FValue(AValue) {}
  TVariant(double AValue) : FValue(AValue) {}
  TVariant(TDateTime AValue) : FValue(AValue) {}
  // Text, UTF-8.
  TVariant(std::string AValue) : FValue(std::move(AValue)) {}
  TVariant(const char* AValue) : FValue(std::string(AValue)) {}
  TVariant(TBytes AValue) : FValue(std::move(AValue)) {}

  bool IsNull() const { return std::holds_alternative<std::monostate>(FValue); }
  // True when the value is of type T (std::int32_t, std::string, ...).
  template <class T>
  bool Is() const {
    return std::holds_alternative<T>(FValue);
  }
  // The value as T; std::bad_variant_access when it is not a T.
  template <class T>
  const T& As() const {
    return std::get<T>(FValue);
  }

  bool operator==(const TVariant&) const = default;

 private:
  std::variant<std::monostate, bool, std::int32_t, std::int64_t, double, TDateTime, std::string,
               TBytes>
      FValue;
};
