#include "values/sql_types.h"

#include <cctype>
#include <utility>

namespace standin::engine {

namespace {

struct NamedType {
  std::string_view name;
  TypeId id;
};

constexpr NamedType kNames[] = {
    {"int", TypeId::Int},
    {"integer", TypeId::Int},
    {"bigint", TypeId::BigInt},
    {"smallint", TypeId::SmallInt},
    {"tinyint", TypeId::TinyInt},
    {"bit", TypeId::Bit},
    {"char", TypeId::Char},
    {"character", TypeId::Char},
    {"varchar", TypeId::VarChar},
    {"nchar", TypeId::NChar},
    {"nvarchar", TypeId::NVarChar},
    {"text", TypeId::Text},
    {"ntext", TypeId::NText},
    {"datetime", TypeId::DateTime},
    {"datetime2", TypeId::DateTime2},
    {"smalldatetime", TypeId::SmallDateTime},
    {"date", TypeId::Date},
    {"time", TypeId::Time},
    {"money", TypeId::Money},
    {"smallmoney", TypeId::SmallMoney},
    {"decimal", TypeId::Decimal},
    {"dec", TypeId::Decimal},
    {"numeric", TypeId::Decimal},
    {"float", TypeId::Float},
    {"real", TypeId::Real},
    {"uniqueidentifier", TypeId::UniqueIdentifier},
    {"binary", TypeId::Binary},
    {"varbinary", TypeId::VarBinary},
    {"image", TypeId::Image},
};

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

}  // namespace

std::optional<TypeId> TypeFromName(std::string_view name) {
  for (const NamedType& n : kNames)
    if (EqualNoCase(n.name, name)) return n.id;
  return std::nullopt;
}

std::string TypeName(TypeId id) {
  switch (id) {
    case TypeId::Decimal:
      return "numeric";
    case TypeId::Int:
      return "int";
    default:
      break;
  }
  for (const NamedType& n : kNames)
    if (n.id == id) return std::string(n.name);
  return "?";
}

std::string TypeDeclaration(const SqlType& type) {
  std::string name = type.id == TypeId::Decimal ? "decimal" : TypeName(type.id);
  switch (type.id) {
    case TypeId::Char:
    case TypeId::VarChar:
    case TypeId::NChar:
    case TypeId::NVarChar:
    case TypeId::Binary:
    case TypeId::VarBinary:
      return name + "(" +
             (type.length == SqlType::kMaxLength ? std::string("max")
                                                 : std::to_string(type.length)) +
             ")";
    case TypeId::Decimal:
      return name + "(" + std::to_string(type.precision) + "," + std::to_string(type.scale) + ")";
    case TypeId::Time:
    case TypeId::DateTime2:
      return name + "(" + std::to_string(type.scale) + ")";
    default:
      return name;
  }
}

SqlType DefaultType(TypeId id) {
  switch (id) {
    case TypeId::Char:
    case TypeId::VarChar:
    case TypeId::NChar:
    case TypeId::NVarChar:
    case TypeId::Binary:
    case TypeId::VarBinary:
      return MakeType(id, 1);
    case TypeId::Text:
    case TypeId::NText:
    case TypeId::Image:
      return MakeType(id, SqlType::kMaxLength);
    case TypeId::Decimal:
      return MakeType(id, 0, 18, 0);
    case TypeId::Money:
      return MakeType(id, 0, 19, 4);
    case TypeId::SmallMoney:
      return MakeType(id, 0, 10, 4);
    case TypeId::Time:
    case TypeId::DateTime2:
      return MakeType(id, 0, 0, 7);
    default:
      return MakeType(id);
  }
}

bool IsCharacter(TypeId id) {
  return id == TypeId::Char || id == TypeId::VarChar || id == TypeId::NChar ||
         id == TypeId::NVarChar || id == TypeId::Text || id == TypeId::NText;
}
bool IsUnicode(TypeId id) {
  return id == TypeId::NChar || id == TypeId::NVarChar || id == TypeId::NText;
}
bool IsFixedLength(TypeId id) {
  return id == TypeId::Char || id == TypeId::NChar || id == TypeId::Binary;
}
bool IsBinary(TypeId id) {
  return id == TypeId::Binary || id == TypeId::VarBinary || id == TypeId::Image;
}
bool IsInteger(TypeId id) {
  return id == TypeId::Bit || id == TypeId::TinyInt || id == TypeId::SmallInt ||
         id == TypeId::Int || id == TypeId::BigInt;
}
bool IsExact(TypeId id) {
  return id == TypeId::Decimal || id == TypeId::Money || id == TypeId::SmallMoney;
}
bool IsNumeric(TypeId id) {
  return IsInteger(id) || IsExact(id) || id == TypeId::Float || id == TypeId::Real;
}
bool IsDateTime(TypeId id) {
  return id == TypeId::DateTime || id == TypeId::DateTime2 || id == TypeId::SmallDateTime ||
         id == TypeId::Date || id == TypeId::Time;
}

int Precedence(TypeId id) {
  switch (id) {
    case TypeId::DateTime2:
      return 31;
    case TypeId::DateTime:
      return 30;
    case TypeId::SmallDateTime:
      return 29;
    case TypeId::Date:
      return 28;
    case TypeId::Time:
      return 27;
    case TypeId::Float:
      return 26;
    case TypeId::Real:
      return 25;
    case TypeId::Decimal:
      return 24;
    case TypeId::Money:
      return 23;
    case TypeId::SmallMoney:
      return 22;
    case TypeId::BigInt:
      return 21;
    case TypeId::Int:
      return 20;
    case TypeId::SmallInt:
      return 19;
    case TypeId::TinyInt:
      return 18;
    case TypeId::Bit:
      return 17;
    case TypeId::NText:
      return 16;
    case TypeId::Text:
      return 15;
    case TypeId::Image:
      return 14;
    case TypeId::UniqueIdentifier:
      return 13;
    case TypeId::NVarChar:
      return 12;
    case TypeId::NChar:
      return 11;
    case TypeId::VarChar:
      return 10;
    case TypeId::Char:
      return 9;
    case TypeId::VarBinary:
      return 8;
    case TypeId::Binary:
      return 7;
  }
  return 0;
}

const SqlType& Dominant(const SqlType& a, const SqlType& b) {
  return Precedence(a.id) >= Precedence(b.id) ? a : b;
}

}  // namespace standin::engine
