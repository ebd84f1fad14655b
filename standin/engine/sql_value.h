// Values and column types as the stand-in server keeps and reports them.
//
// The engine and the wire protocol meet here: the engine produces typed
// columns and values, the protocol layer encodes them in TDS form, and the
// protocol layer decodes parameter values from requests into the same form.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace standin {

// SQL Server types the stand-in declares, stores and reports.
enum class TypeId {
  Int,
  BigInt,
  SmallInt,
  TinyInt,
  Bit,
  Char,
  VarChar,
  NChar,
  NVarChar,
  Text,
  NText,
  DateTime,
  DateTime2,
  SmallDateTime,
  Date,
  Time,
  Money,
  SmallMoney,
  Decimal,
  Float,
  Real,
  UniqueIdentifier,
  Binary,
  VarBinary,
  Image,
};

// A declared type. `length` counts characters for the character types and
// bytes for the binary types; kMaxLength stands for "(max)". `precision`
// and `scale` apply to decimal (and scale to time and datetime2, 0..7).
struct SqlType {
  static constexpr std::int32_t kMaxLength = -1;

  TypeId id = TypeId::Int;
  std::int32_t length = 0;
  std::uint8_t precision = 0;
  std::uint8_t scale = 0;
  bool nullable = true;
};

// A nullable type of `id` with the given length, precision and scale.
inline SqlType MakeType(TypeId id, std::int32_t length = 0, std::uint8_t precision = 0,
                        std::uint8_t scale = 0) {
  SqlType t;
  t.id = id;
  t.length = length;
  t.precision = precision;
  t.scale = scale;
  return t;
}

using Bytes = std::vector<std::uint8_t>;

// A value in the engine's canonical form, chosen by the column's TypeId:
//   null                         -> std::monostate
//   Int, BigInt, SmallInt,
//   TinyInt, Bit                 -> std::int64_t (Bit is 0 or 1)
//   Float, Real                  -> double
//   Char, VarChar, NChar,
//   NVarChar, Text, NText        -> std::string, UTF-8 (char(n)/nchar(n)
//                                   already blank-padded to n characters)
//   DateTime, SmallDateTime      -> std::string "YYYY-MM-DD HH:MM:SS.mmm"
//   DateTime2                    -> std::string "YYYY-MM-DD HH:MM:SS" plus "."
//                                   and `scale` fraction digits when scale > 0
//   Date                         -> std::string "YYYY-MM-DD"
//   Time                         -> std::string "HH:MM:SS" plus "." and
//                                   `scale` fraction digits when scale > 0
//   Money, SmallMoney, Decimal   -> std::string, plain decimal with exactly
//                                   `scale` fraction digits (4 for money),
//                                   e.g. "-12.3400"
//   UniqueIdentifier             -> std::string, upper-case
//                                   "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX"
//   Binary, VarBinary, Image     -> Bytes
using Value = std::variant<std::monostate, std::int64_t, double, std::string, Bytes>;

inline bool IsNull(const Value& v) {
  return std::holds_alternative<std::monostate>(v);
}

// One column of a result set.
struct Column {
  std::string name;
  SqlType type;
};

// A parameter of an RPC request, or a value returned for an output parameter.
// `name` keeps its leading "@" as sent; it may be empty for positional values.
struct Param {
  std::string name;
  SqlType type;
  Value value;
  bool output = false;
};

}  // namespace standin
