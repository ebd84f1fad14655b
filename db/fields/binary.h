// The large-object class (image, text, ntext and the max types) and the
// fixed- and variable-length byte fields (binary, varbinary).
#pragma once

#include "db/fields/field.h"

// image, varbinary(max): the value is TBytes.
class TBlobField : public TField {
 public:
  explicit TBlobField(TComponent* AOwner) : TField(AOwner, ftBlob) {}

  TBytes AsBytes() const;
  void SetAsBytes(const TBytes& AValue) { SetValue(AValue); }

 protected:
  TBlobField(TComponent* AOwner, TFieldType ADataType) : TField(AOwner, ADataType) {}
};

// text: the value is UTF-8 text, never trimmed.
class TMemoField : public TBlobField {
 public:
  explicit TMemoField(TComponent* AOwner) : TBlobField(AOwner, ftMemo) {}

  std::string AsString() const override;
  void SetAsString(const std::string& AValue) override { SetValue(AValue); }

 protected:
  TMemoField(TComponent* AOwner, TFieldType ADataType) : TBlobField(AOwner, ADataType) {}
};

// ntext.
class TWideMemoField : public TMemoField {
 public:
  explicit TWideMemoField(TComponent* AOwner) : TMemoField(AOwner, ftWideMemo) {}
};

// binary(n): Size bytes.
class TBytesField : public TField {
 public:
  explicit TBytesField(TComponent* AOwner) : TField(AOwner, ftBytes, 16) {}

  TBytes AsBytes() const;
  void SetAsBytes(const TBytes& AValue) { SetValue(AValue); }

 protected:
  TBytesField(TComponent* AOwner, TFieldType ADataType) : TField(AOwner, ADataType, 16) {}
};

// varbinary(n): at most Size bytes.
class TVarBytesField : public TBytesField {
 public:
  explicit TVarBytesField(TComponent* AOwner) : TBytesField(AOwner, ftVarBytes) {}
};
