// Facts about SQL Server types: names, families and precedence.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "sql_value.h"

namespace standin::engine {

// The type a name stands for in a declaration (case-insensitive, synonyms
// such as "integer", "numeric", "national char varying" not included).
std::optional<TypeId> TypeFromName(std::string_view name);

// The lower-case name SQL Server uses in messages ("varchar", "datetime").
std::string TypeName(TypeId id);
// The name with its length or precision as written in a declaration: "varchar(30)".
std::string TypeDeclaration(const SqlType& type);

// A type with the default size SQL Server gives it when none is declared.
SqlType DefaultType(TypeId id);

bool IsCharacter(TypeId id);    // char, varchar, nchar, nvarchar, text, ntext
bool IsUnicode(TypeId id);      // nchar, nvarchar, ntext
bool IsFixedLength(TypeId id);  // char, nchar, binary
bool IsBinary(TypeId id);       // binary, varbinary, image
bool IsInteger(TypeId id);      // bit, tinyint, smallint, int, bigint
bool IsNumeric(TypeId id);      // integers, decimal, money, float, real
bool IsExact(TypeId id);        // decimal, money, smallmoney
bool IsDateTime(TypeId id);     // datetime, datetime2, smalldatetime, date, time

// SQL Server's data type precedence: the higher one wins an implicit conversion.
int Precedence(TypeId id);
// The type an implicit conversion between a and b converts to.
const SqlType& Dominant(const SqlType& a, const SqlType& b);

}  // namespace standin::engine
