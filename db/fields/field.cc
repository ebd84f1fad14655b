#include "db/fields/field.h"

#include "db/dataset/dataset.h"
#include "db/errors/database_error.h"

TField::TField(TComponent* AOwner, TFieldType ADataType, int ASize)
    : TComponent(AOwner), FDataType(ADataType), FSize(ASize) {}

TField::~TField() {
  if (FDataSet != nullptr) FDataSet->RemoveDeclaredField(this);
}

void TField::SetDataSet(TDataSet* ADataSet) {
  if (ADataSet == FDataSet) return;
  if (FDataSet != nullptr) FDataSet->CheckInactive();
  if (ADataSet != nullptr) ADataSet->CheckInactive();
  if (FDataSet != nullptr) FDataSet->RemoveDeclaredField(this);
  if (ADataSet != nullptr) ADataSet->AddDeclaredField(this);
}

TVariant TField::Value() const {
  return FDataSet == nullptr ? TVariant() : FDataSet->FieldValue(*this);
}

void TField::SetValue(const TVariant& AValue) {
  if (FDataSet == nullptr) {
    throw EDatabaseError(ComponentMessage(this, "Field '" + DisplayName() + "' has no dataset"));
  }
  if (FReadOnly) {
    throw EDatabaseError(
        ComponentMessage(FDataSet, "Field '" + DisplayName() + "' cannot be modified"));
  }
  FDataSet->SetFieldValue(*this, AValue);
}

void TField::RaiseAccessError(const char* ATypeName) const {
  throw EDatabaseError(ComponentMessage(
      FDataSet, "Cannot access field '" + DisplayName() + "' as type " + ATypeName));
}

std::string TField::AsString() const {
  RaiseAccessError("String");
}
void TField::SetAsString(const std::string&) {
  RaiseAccessError("String");
}
std::int32_t TField::AsInteger() const {
  RaiseAccessError("Integer");
}
void TField::SetAsInteger(std::int32_t) {
  RaiseAccessError("Integer");
}
bool TField::AsBoolean() const {
  RaiseAccessError("Boolean");
}
void TField::SetAsBoolean(bool) {
  RaiseAccessError("Boolean");
}
double TField::AsFloat() const {
  RaiseAccessError("Float");
}
void TField::SetAsFloat(double) {
  RaiseAccessError("Float");
}
TDateTime TField::AsDateTime() const {
  RaiseAccessError("DateTime");
}
void TField::SetAsDateTime(TDateTime) {
  RaiseAccessError("DateTime");
}
