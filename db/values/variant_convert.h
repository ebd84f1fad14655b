// Readings of a TVariant as one C++ type, whatever type the value holds.
// A null reads as 0, false, "" or day 0.
#pragma once

#include <cstdint>
#include <string>

#include "core/date_time.h"
#include "db/values/field_type.h"
#include "db/values/variant.h"

// Integers, Booleans (1/0) and whole-number doubles; decimal text. Throws
// EDatabaseError "Invalid variant type conversion" for anything else.
std::int64_t VariantToInt64(const TVariant& AValue);
// Booleans and integers (non-zero is true). Throws as above for anything else.
bool VariantToBoolean(const TVariant& AValue);
// Numbers and Booleans. Throws as above for anything else.
double VariantToDouble(const TVariant& AValue);
// Dates and numbers (days since 1899-12-30). Throws as above for anything else.
TDateTime VariantToDateTime(const TVariant& AValue);
// Text as it is; integers in decimal with "-" before a negative number;
// Booleans "True"/"False"; doubles in the shortest form that reads back
// exactly; dates as "yyyy-mm-dd hh:nn:ss.zzz"; bytes as hexadecimal digits.
std::string VariantToString(const TVariant& AValue);

// The type a value brings with it: ftBoolean, ftInteger (32-bit), ftLargeint,
// ftFloat, ftDateTime, ftString, ftBlob (bytes); ftUnknown for null.
TFieldType FieldTypeOfValue(const TVariant& AValue);
