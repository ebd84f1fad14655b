#include "db/values/field_type.h"

std::string FieldTypeName(TFieldType AType) {
  switch (AType) {
    case ftUnknown:
      return "Unknown";
    case ftString:
      return "String";
    case ftSmallint:
      return "SmallInt";
    case ftInteger:
      return "Integer";
    case ftWord:
      return "Word";
    case ftBoolean:
      return "Boolean";
    case ftFloat:
      return "Float";
    case ftCurrency:
      return "Currency";
    case ftDate:
      return "Date";
    case ftTime:
      return "Time";
    case ftDateTime:
      return "DateTime";
    case ftBytes:
      return "Bytes";
    case ftVarBytes:
      return "VarBytes";
    case ftAutoInc:
      return "AutoInc";
    case ftBlob:
      return "Blob";
    case ftMemo:
      return "Memo";
    case ftFixedChar:
      return "FixedChar";
    case ftWideString:
      return "WideString";
    case ftLargeint:
      return "LargeInt";
    case ftGuid:
      return "Guid";
    case ftFixedWideChar:
      return "FixedWideChar";
    case ftWideMemo:
      return "WideMemo";
    case ftShortint:
      return "ShortInt";
    case ftByte:
      return "Byte";
    case ftSingle:
      return "Single";
  }
  return "Unknown";
}
