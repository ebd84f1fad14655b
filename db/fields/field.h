// TField: one column of a dataset's current row, read and written through
// conversions its type class decides. A field is either declared (created
// by the program, bound to a result column by FieldName when the dataset
// opens) or made by the dataset on opening, one per column.
#pragma once

#include <cstdint>
#include <string>

#include "core/component.h"
#include "core/date_time.h"
#include "db/values/field_type.h"
#include "db/values/variant.h"

class TDataSet;

class TField : public TComponent {
 public:
  // Leaves its dataset.
  ~TField() override;

  TFieldType DataType() const { return FDataType; }

  // The dataset whose rows the field reads; null when none. Setting it makes
  // the field one of that dataset's declared fields (and leaves the previous
  // one). Throws EDatabaseError "Cannot perform this operation on an open
  // dataset" when either dataset is open.
  TDataSet* DataSet() const { return FDataSet; }
  void SetDataSet(TDataSet* ADataSet);

  // The column the field reads.
  const std::string& FieldName() const { return FFieldName; }
  void SetFieldName(const std::string& AValue) { FFieldName = AValue; }
  // The label set for the field, else its FieldName.
  const std::string& DisplayLabel() const {
    return FDisplayLabel.empty() ? FFieldName : FDisplayLabel;
  }
  void SetDisplayLabel(const std::string& AValue) { FDisplayLabel = AValue; }
  // The name messages use: DisplayLabel().
  const std::string& DisplayName() const { return DisplayLabel(); }

  // A read-only field refuses every assignment.
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool AValue) { FReadOnly = AValue; }
  // Characters for text fields, bytes for byte fields, 0 for the others.
  int Size() const { return FSize; }
  void SetSize(int AValue) { FSize = AValue; }

  // The value of the current row (of the edit buffer while editing); null
  // when the dataset is closed or has no current row.
  TVariant Value() const;
  bool IsNull() const { return Value().IsNull(); }
  // Assigns the edit buffer. Throws EDatabaseError "Field '%s' cannot be
  // modified" for a read-only field, "Dataset not in edit or insert mode"
  // outside editing (both with the dataset's name).
  void SetValue(const TVariant& AValue);
  void Clear() { SetValue(TVariant()); }

  // Readings and assignments through the field's type. Those the type does
  // not offer throw EDatabaseError "Cannot access field '%s' as type %s".
  // A null reads as "", 0, false and day 0.
  virtual std::string AsString() const;
  virtual void SetAsString(const std::string& AValue);
  virtual std::int32_t AsInteger() const;
  virtual void SetAsInteger(std::int32_t AValue);
  virtual bool AsBoolean() const;
  virtual void SetAsBoolean(bool AValue);
  virtual double AsFloat() const;
  virtual void SetAsFloat(double AValue);
  virtual TDateTime AsDateTime() const;
  virtual void SetAsDateTime(TDateTime AValue);

 protected:
  // A field of type `ADataType` owned by `AOwner` (may be null), bound to no dataset.
  TField(TComponent* AOwner, TFieldType ADataType, int ASize = 0);

  [[noreturn]] void RaiseAccessError(const char* ATypeName) const;

 private:
  friend class TDataSet;

  TFieldType FDataType;
  TDataSet* FDataSet = nullptr;
  std::string FFieldName;
  std::string FDisplayLabel;
  bool FReadOnly = false;
  int FSize;
  int FColumn = -1;  // index of the bound result column while the dataset is open
};
