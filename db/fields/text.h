// The text fields: char/varchar (TStringField, and TGuidField for
// uniqueidentifier) and nchar/nvarchar (TWideStringField). Values are UTF-8.
#pragma once

#include "db/fields/field.h"

class TStringField : public TField {
 public:
  // An ftString field of 20 characters.
  explicit TStringField(TComponent* AOwner) : TStringField(AOwner, ftString) {}

  std::string AsString() const override;
  void SetAsString(const std::string& AValue) override;

 protected:
  TStringField(TComponent* AOwner, TFieldType ADataType, int ASize = 20)
      : TField(AOwner, ADataType, ASize) {}
};

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" as text; 38 characters.
class TGuidField : public TStringField {
 public:
  explicit TGuidField(TComponent* AOwner) : TStringField(AOwner, ftGuid, 38) {}
};

class TWideStringField : public TStringField {
 public:
  // An ftWideString field of 20 characters.
  explicit TWideStringField(TComponent* AOwner) : TStringField(AOwner, ftWideString) {}
};
