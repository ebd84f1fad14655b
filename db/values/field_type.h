// The kinds of value a field or a parameter holds.
#pragma once

#include <string>

enum TFieldType {
  ftUnknown,
  ftString,         // varchar, char
  ftSmallint,       // smallint
  ftInteger,        // int
  ftWord,           // unsigned 16-bit
  ftBoolean,        // bit
  ftFloat,          // float, decimal, numeric
  ftCurrency,       // money, smallmoney
  ftDate,           // date
  ftTime,           // time
  ftDateTime,       // datetime, smalldatetime
  ftBytes,          // binary(n)
  ftVarBytes,       // varbinary(n)
  ftAutoInc,        // identity int
  ftBlob,           // image, varbinary(max)
  ftMemo,           // text, varchar(max)
  ftFixedChar,      // char, when declared so
  ftWideString,     // nvarchar, nchar
  ftLargeint,       // bigint
  ftGuid,           // uniqueidentifier
  ftFixedWideChar,  // nchar, when declared so
  ftWideMemo,       // ntext, nvarchar(max)
  ftShortint,       // signed 8-bit
  ftByte,           // tinyint
  ftSingle,         // real
};

// The name messages use for `AType`: "String", "SmallInt", "Integer",
// "LargeInt", "WideString", ...
std::string FieldTypeName(TFieldType AType);
