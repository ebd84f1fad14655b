// Translation of built-in function calls.
#include <string>

#include "collation.h"
#include "convert.h"
#include "errors.h"
#include "sql_types.h"
#include "sqlite_db.h"
#include "storage.h"
#include "translator.h"

namespace standin::engine {

namespace {

void Arity(const Expr& e, std::size_t min, std::size_t max) {
  if (e.args.size() < min || e.args.size() > max) {
    throw BatchAbort(Msg(174, 15, 1,
                         "The " + LowerCase(e.text) + " function requires " + std::to_string(min) +
                             " argument(s)."));
  }
}

SqlType Nullable(SqlType t) {
  t.nullable = true;
  return t;
}

}  // namespace

Typed Translator::Function(const Expr& e, const Scope& scope) {
  const std::string& f = e.text;
  auto arg = [&](std::size_t i) { return Expression(*e.args.at(i), scope); };

  if (f == "COUNT" || f == "COUNT_BIG") {
    SqlType type = MakeType(f == "COUNT" ? TypeId::Int : TypeId::BigInt);
    type.nullable = false;
    if (e.star) return Typed{"count(*)", type};
    Arity(e, 1, 1);
    Typed a = arg(0);
    std::string inner = a.sql + (e.distinct && UsesCollation(a.type) ? " COLLATE TSQLCI" : "");
    return Typed{std::string("count(") + (e.distinct ? "DISTINCT " : "") + inner + ")", type};
  }
  if (f == "SUM" || f == "AVG" || f == "MIN" || f == "MAX") {
    Arity(e, 1, 1);
    Typed a = arg(0);
    std::string distinct = e.distinct ? "DISTINCT " : "";
    if (f == "MIN" || f == "MAX") {
      std::string inner = a.sql + (UsesCollation(a.type) ? " COLLATE TSQLCI" : "");
      return Typed{LowerCase(f) + "(" + distinct + inner + ")", Nullable(a.type)};
    }
    if (!IsNumeric(a.type.id))
      throw BatchAbort(Msg(8117, 16, 1,
                           "Operand data type " + TypeName(a.type.id) + " is invalid for " +
                               LowerCase(f) + " operator."));
    SqlType type = a.type;
    if (IsInteger(type.id) && type.id != TypeId::BigInt) type = MakeType(TypeId::Int);
    if (type.id == TypeId::Decimal) {
      type.precision = 38;
      if (f == "AVG") type.scale = std::max<std::uint8_t>(type.scale, 6);
    }
    if (type.id == TypeId::SmallMoney) type = DefaultType(TypeId::Money);
    if (type.id == TypeId::Real) type = MakeType(TypeId::Float);
    type.nullable = true;
    if (f == "SUM") return Typed{"sum(" + distinct + a.sql + ")", type};
    if (IsInteger(type.id)) return Typed{"CAST(avg(" + distinct + a.sql + ") AS INTEGER)", type};
    return Typed{"avg(" + distinct + a.sql + ")", type};
  }
  if (f == "ISNULL") {
    Arity(e, 2, 2);
    Typed a = arg(0), b = arg(1);
    if (a.null_literal) return b;
    if (!b.null_literal && !(IsCharacter(a.type.id) && IsCharacter(b.type.id)) &&
        !(IsNumeric(a.type.id) && IsNumeric(b.type.id)))
      b = ConvertTo(b, a.type);
    SqlType type = a.type;
    type.nullable = b.type.nullable || b.null_literal;
    return Typed{"ifnull(" + a.sql + ", " + b.sql + ")", type};
  }
  if (f == "COALESCE") {
    if (e.args.size() < 2)
      throw BatchAbort(Msg(189, 15, 1, "The coalesce function requires 2 to n arguments."));
    std::vector<Typed> items;
    for (std::size_t i = 0; i < e.args.size(); ++i) items.push_back(arg(i));
    SqlType type = MakeType(TypeId::Int);
    bool typed = false;
    for (const Typed& t : items) {
      if (t.null_literal) continue;
      type = typed ? Dominant(type, t.type) : t.type;
      typed = true;
    }
    std::string sql = "coalesce(";
    for (std::size_t i = 0; i < items.size(); ++i) {
      Typed t = items[i];
      if (!t.null_literal && t.type.id != type.id &&
          !(IsCharacter(t.type.id) && IsCharacter(type.id)) &&
          !(IsNumeric(t.type.id) && IsNumeric(type.id)))
        t = ConvertTo(t, type);
      sql += (i ? ", " : "") + t.sql;
    }
    return Typed{sql + ")", Nullable(type)};
  }
  if (f == "LEN" || f == "DATALENGTH") {
    Arity(e, 1, 1);
    Typed a = arg(0);
    SqlType type = Nullable(MakeType(TypeId::Int));
    if (f == "LEN") {
      if (!IsCharacter(a.type.id)) a = ConvertTo(a, MakeType(TypeId::VarChar, 8000));
      return Typed{"tsql_len(" + a.sql + ")", type};
    }
    if (IsUnicode(a.type.id)) return Typed{"(length(" + a.sql + ") * 2)", type};
    // A varchar holds code page 1252, one byte to a character.
    if (IsCharacter(a.type.id)) return Typed{"length(" + a.sql + ")", type};
    return Typed{"length(" + a.sql + ")", type};
  }
  if (f == "UPPER" || f == "LOWER" || f == "LTRIM" || f == "RTRIM") {
    Arity(e, 1, 1);
    Typed a = arg(0);
    if (!IsCharacter(a.type.id)) a = ConvertTo(a, MakeType(TypeId::VarChar, 30));
    SqlType type = a.type;
    if (type.id == TypeId::Char) type.id = TypeId::VarChar;
    if (type.id == TypeId::NChar) type.id = TypeId::NVarChar;
    std::string fn = f == "UPPER"   ? "tsql_upper("
                     : f == "LOWER" ? "tsql_lower("
                     : f == "LTRIM" ? "ltrim("
                                    : "rtrim(";
    std::string extra = (f == "LTRIM" || f == "RTRIM") ? ", ' ')" : ")";
    return Typed{fn + a.sql + extra, Nullable(type)};
  }
  if (f == "SUBSTRING" || f == "LEFT" || f == "RIGHT") {
    Arity(e, f == "SUBSTRING" ? 3 : 2, f == "SUBSTRING" ? 3 : 2);
    Typed a = arg(0);
    if (!IsCharacter(a.type.id)) a = ConvertTo(a, MakeType(TypeId::VarChar, 30));
    SqlType type = a.type;
    if (type.id == TypeId::Char || type.id == TypeId::Text) type.id = TypeId::VarChar;
    if (type.id == TypeId::NChar || type.id == TypeId::NText) type.id = TypeId::NVarChar;
    if (f == "SUBSTRING") {
      Typed start = arg(1), length = arg(2);
      // SQL Server counts a start before 1 against the length.
      return Typed{"substr(" + a.sql + ", max(" + start.sql + ", 1), max(0, (" + length.sql +
                       ") + min(0, (" + start.sql + ") - 1)))",
                   Nullable(type)};
    }
    Typed n = arg(1);
    if (f == "LEFT")
      return Typed{"substr(" + a.sql + ", 1, max(0, " + n.sql + "))", Nullable(type)};
    return Typed{
        "CASE WHEN (" + n.sql + ") <= 0 THEN '' ELSE substr(" + a.sql + ", -(" + n.sql + ")) END",
        Nullable(type)};
  }
  if (f == "REPLACE") {
    Arity(e, 3, 3);
    Typed a = arg(0), b = arg(1), c = arg(2);
    SqlType type = IsCharacter(a.type.id) ? a.type : MakeType(TypeId::VarChar, 8000);
    if (type.id == TypeId::Char) type.id = TypeId::VarChar;
    type.length = type.length == SqlType::kMaxLength ? type.length : 8000;
    return Typed{"replace(" + a.sql + ", " + b.sql + ", " + c.sql + ")", Nullable(type)};
  }
  if (f == "CHARINDEX") {
    Arity(e, 2, 3);
    std::string sql = "tsql_charindex(" + arg(0).sql + ", " + arg(1).sql;
    if (e.args.size() == 3) sql += ", " + arg(2).sql;
    return Typed{sql + ")", Nullable(MakeType(TypeId::Int))};
  }
  if (f == "ABS" || f == "ROUND" || f == "FLOOR" || f == "CEILING") {
    Arity(e, 1, f == "ROUND" ? 3 : 1);
    Typed a = arg(0);
    if (f == "ABS") return Typed{"abs(" + a.sql + ")", Nullable(a.type)};
    if (f == "ROUND") {
      Arity(e, 2, 3);
      return Typed{"round(" + a.sql + ", " + arg(1).sql + ")", Nullable(a.type)};
    }
    std::string fn = f == "FLOOR" ? "floor" : "ceiling";
    return Typed{"CAST(" + std::string(f == "FLOOR" ? "floor(" : "ceil(") + a.sql + ") AS " +
                     (IsInteger(a.type.id) ? "INTEGER" : "REAL") + ")",
                 Nullable(a.type)};
  }
  if (f == "NEWID") {
    Arity(e, 0, 0);
    SqlType type = MakeType(TypeId::UniqueIdentifier);
    type.nullable = false;
    return Typed{"tsql_newid()", type};
  }
  if (f == "OBJECT_ID") {
    Arity(e, 1, 2);
    const Expr& a = *e.args[0];
    if (a.kind != ExprKind::Literal ||
        (a.token.kind != TokenKind::String && a.token.kind != TokenKind::NString))
      throw NotSupported("OBJECT_ID of an expression");
    SqlType type = Nullable(MakeType(TypeId::Int));
    std::vector<std::string> parts;
    std::string current;
    bool bracket = false;
    for (char c : a.token.text) {
      if (c == '[')
        bracket = true;
      else if (c == ']')
        bracket = false;
      else if (c == '.' && !bracket) {
        parts.push_back(current);
        current.clear();
      } else
        current += c;
    }
    parts.push_back(current);
    ObjectName name;
    name.object = parts.back();
    if (parts.size() >= 2) name.schema = parts[parts.size() - 2];
    if (parts.size() >= 3) name.database = parts[parts.size() - 3];
    std::optional<TableInfo> table = resolver_.FindTable(name);
    if (!table) return Typed{"NULL", type};
    return Typed{std::to_string(table->object_id), type};
  }
  if (f == "YEAR" || f == "MONTH" || f == "DAY") {
    Arity(e, 1, 1);
    Typed a = arg(0);
    if (!IsDateTime(a.type.id)) a = ConvertTo(a, MakeType(TypeId::DateTime));
    int start = f == "YEAR" ? 1 : f == "MONTH" ? 6 : 9;
    int length = f == "YEAR" ? 4 : 2;
    return Typed{"CAST(substr(" + a.sql + ", " + std::to_string(start) + ", " +
                     std::to_string(length) + ") AS INTEGER)",
                 Nullable(MakeType(TypeId::Int))};
  }
  if (f == "DATEADD" || f == "DATEDIFF" || f == "DATEPART") {
    Arity(e, f == "DATEPART" ? 2 : 3, f == "DATEPART" ? 2 : 3);
    std::string part = QuoteText(e.args[0]->token.text);
    auto as_date = [&](std::size_t i) {
      Typed d = arg(i);
      if (!IsDateTime(d.type.id)) d = ConvertTo(d, MakeType(TypeId::DateTime));
      return d;
    };
    SqlType int_type = Nullable(MakeType(TypeId::Int));
    if (f == "DATEPART")
      return Typed{"tsql_datepart(" + part + ", " + as_date(1).sql + ")", int_type};
    if (f == "DATEDIFF")
      return Typed{"tsql_datediff(" + part + ", " + as_date(1).sql + ", " + as_date(2).sql + ")",
                   int_type};
    Typed d = as_date(2);
    return Typed{"tsql_dateadd(" + part + ", " + arg(1).sql + ", " + d.sql + ", " +
                     std::to_string(static_cast<int>(d.type.id)) + ", " +
                     std::to_string(d.type.scale) + ")",
                 Nullable(d.type)};
  }
  if (f == "DB_ID") {
    Arity(e, 0, 1);
    SqlType type = Nullable(MakeType(TypeId::SmallInt));
    if (e.args.empty())
      return Typed{"(SELECT database_id FROM " + resolver_.DatabaseList() + " WHERE name = " +
                       Bind(resolver_.SessionFunction("DB_NAME")->value) + " COLLATE TSQLCI)",
                   type};
    Typed name = arg(0);
    return Typed{"(SELECT database_id FROM " + resolver_.DatabaseList() + " WHERE name = (" +
                     name.sql + ") COLLATE TSQLCI)",
                 type};
  }
  if (f == "DB_NAME" && !e.args.empty()) throw NotSupported("DB_NAME(database_id)");
  if (e.args.empty()) {
    std::string name = f;
    if (name == "SYSDATETIME" || name == "CURRENT_TIMESTAMP") name = "GETDATE";
    if (name == "SUSER_NAME" || name == "SYSTEM_USER") name = "SUSER_SNAME";
    if (name == "CURRENT_USER") name = "USER_NAME";
    if (std::optional<Param> p = resolver_.SessionFunction(name))
      return Typed{Bind(ToStorage(p->value, p->type)), p->type};
  }
  throw UnknownFunction(LowerCase(f) == f ? f : f);
}

}  // namespace standin::engine
