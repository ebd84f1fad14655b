// The date-time class: datetime/smalldatetime, date and time columns.
#pragma once

#include "db/fields/field.h"

class TDateTimeField : public TField {
 public:
  explicit TDateTimeField(TComponent* AOwner) : TField(AOwner, ftDateTime) {}

  TDateTime AsDateTime() const override;
  void SetAsDateTime(TDateTime AValue) override { SetValue(AValue); }
  // "yyyy-mm-dd hh:nn:ss.zzz"; "" for null.
  std::string AsString() const override;

 protected:
  TDateTimeField(TComponent* AOwner, TFieldType ADataType) : TField(AOwner, ADataType) {}
};

class TDateField : public TDateTimeField {
 public:
  explicit TDateField(TComponent* AOwner) : TDateTimeField(AOwner, ftDate) {}
};

class TTimeField : public TDateTimeField {
 public:
  explicit TTimeField(TComponent* AOwner) : TDateTimeField(AOwner, ftTime) {}
};
