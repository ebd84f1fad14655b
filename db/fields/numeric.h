// The number and flag fields: the integer class (int, smallint, tinyint and
// the declared-only word, identity and shortint kinds), bigint, bit, and
// the float class (float/decimal, money) and real.
#pragma once

#include <cstdint>

#include "db/fields/field.h"

// 32-bit integers; AsString gives decimal digits, "-" before a negative number.
class TIntegerField : public TField {
 public:
  explicit TIntegerField(TComponent* AOwner) : TField(AOwner, ftInteger) {}

  std::string AsString() const override;
  std::int32_t AsInteger() const override;
  void SetAsInteger(std::int32_t AValue) override { SetValue(AValue); }
  double AsFloat() const override { return AsInteger(); }

 protected:
  TIntegerField(TComponent* AOwner, TFieldType ADataType) : TField(AOwner, ADataType) {}
};

class TSmallintField : public TIntegerField {
 public:
  explicit TSmallintField(TComponent* AOwner) : TIntegerField(AOwner, ftSmallint) {}
};

class TWordField : public TIntegerField {
 public:
  explicit TWordField(TComponent* AOwner) : TIntegerField(AOwner, ftWord) {}
};

class TAutoIncField : public TIntegerField {
 public:
  explicit TAutoIncField(TComponent* AOwner) : TIntegerField(AOwner, ftAutoInc) {}
};

class TShortintField : public TIntegerField {
 public:
  explicit TShortintField(TComponent* AOwner) : TIntegerField(AOwner, ftShortint) {}
};

class TByteField : public TIntegerField {
 public:
  explicit TByteField(TComponent* AOwner) : TIntegerField(AOwner, ftByte) {}
};

// 64-bit integers. AsInteger gives the low 32 bits as a signed number, the
// way the program reads its 64-bit keys.
class TLargeintField : public TField {
 public:
  explicit TLargeintField(TComponent* AOwner) : TField(AOwner, ftLargeint) {}

  std::int64_t AsLargeInt() const;
  void SetAsLargeInt(std::int64_t AValue) { SetValue(AValue); }

  std::string AsString() const override;
  std::int32_t AsInteger() const override;
  void SetAsInteger(std::int32_t AValue) override { SetAsLargeInt(AValue); }
  double AsFloat() const override { return static_cast<double>(AsLargeInt()); }
};

// AsString gives "True" or "False".
class TBooleanField : public TField {
 public:
  explicit TBooleanField(TComponent* AOwner) : TField(AOwner, ftBoolean) {}

  std::string AsString() const override;
  bool AsBoolean() const override;
  void SetAsBoolean(bool AValue) override { SetValue(AValue); }
};

class TFloatField : public TField {
 public:
  explicit TFloatField(TComponent* AOwner) : TField(AOwner, ftFloat) {}

  std::string AsString() const override;
  double AsFloat() const override;
  void SetAsFloat(double AValue) override { SetValue(AValue); }

 protected:
  TFloatField(TComponent* AOwner, TFieldType ADataType) : TField(AOwner, ADataType) {}
};

class TCurrencyField : public TFloatField {
 public:
  explicit TCurrencyField(TComponent* AOwner) : TFloatField(AOwner, ftCurrency) {}
};

class TSingleField : public TFloatField {
 public:
  explicit TSingleField(TComponent* AOwner) : TFloatField(AOwner, ftSingle) {}
};
