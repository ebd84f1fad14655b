// TParam: one statement parameter, matched to the ":NAME" markers of a text
// by name (case ignored). Its value is null until assigned. TDAParam and
// TMSParam are the data-access layer's and SQL Server's kinds.
#pragma once

#include <cstdint>
#include <string>

#include "db/values/field_type.h"
#include "db/values/param_type.h"
#include "db/values/variant.h"

class TParam {
 public:
  // A parameter with a null value.
  TParam(std::string AName, TFieldType ADataType, TParamType AParamType);
  virtual ~TParam() = default;

  const std::string& Name() const { return FName; }
  void SetName(const std::string& AValue) { FName = AValue; }
  TFieldType DataType() const { return FDataType; }
  void SetDataType(TFieldType AValue) { FDataType = AValue; }
  TParamType ParamType() const { return FParamType; }
  void SetParamType(TParamType AValue) { FParamType = AValue; }

  const TVariant& Value() const { return FValue; }
  // Sets the value; DataType follows the value's kind only while it is
  // ftUnknown (integers ftInteger/ftLargeint, text ftString, ...).
  void SetValue(const TVariant& AValue);
  bool IsNull() const { return FValue.IsNull(); }
  // Makes the value null; the type stays.
  void Clear() { FValue = TVariant(); }

  // Each setter sets the value and the type: ftInteger, ftLargeint,
  // ftBoolean, ftString. The readers convert the value (null reads as 0,
  // false, ""); see db/values/variant_convert.h.
  std::int32_t AsInteger() const;
  void SetAsInteger(std::int32_t AValue);
  std::int64_t AsLargeInt() const;
  void SetAsLargeInt(std::int64_t AValue);
  bool AsBoolean() const;
  void SetAsBoolean(bool AValue);
  std::string AsString() const;
  void SetAsString(const std::string& AValue);

  // Takes `ASource`'s type, value and direction (not its name).
  void AssignValue(const TParam& ASource);

 private:
  std::string FName;
  TFieldType FDataType;
  TParamType FParamType;
  TVariant FValue;
};

class TDAParam : public TParam {
 public:
  using TParam::TParam;
};

class TMSParam : public TDAParam {
 public:
  using TDAParam::TDAParam;
};
