// Translation of built-in function calls: one handler per function name,
// found in a table keyed by the name in upper case (the parser's spelling).
#include <string>
#include <unordered_map>

#include "errors.h"
#include "storage/sqlite_db.h"
#include "storage/storage.h"
#include "translate/translator.h"
#include "values/collation.h"
#include "values/convert.h"
#include "values/sql_types.h"

namespace standin::engine {

namespace {

// One call being translated: its name (upper case), its arguments and the
// translator that types them.
struct Call {
  Translator& translator;
  Resolver& resolver;
  const Expr& e;
  const Scope& scope;

  const std::string& name() const { return e.text; }
  // Argument `i`, translated and typed in the call's scope.
  Typed Arg(std::size_t i) const { return translator.Expression(*e.args.at(i), scope); }
  Typed Convert(const Typed& t, const SqlType& to) const { return translator.ConvertTo(t, to); }
  // Throws 174 unless the call has between `min` and `max` arguments.
  void Arity(std::size_t min, std::size_t max) const {
    if (e.args.size() < min || e.args.size() > max) {
      throw BatchAbort(Msg(174, 15, 1,
                           "The " + LowerCase(name()) + " function requires " +
                               std::to_string(min) + " argument(s)."));
    }
  }
};

using Handler = Typed (*)(const Call&);

SqlType Nullable(SqlType t) {
  t.nullable = true;
  return t;
}

Typed Count(const Call& c) {
  SqlType type = MakeType(c.name() == "COUNT" ? TypeId::Int : TypeId::BigInt);
  type.nullable = false;
  if (c.e.star) return Typed{"count(*)", type};
  c.Arity(1, 1);
  Typed a = c.Arg(0);
  std::string inner = a.sql + (c.e.distinct && UsesCollation(a.type) ? " COLLATE TSQLCI" : "");
  return Typed{std::string("count(") + (c.e.distinct ? "DISTINCT " : "") + inner + ")", type};
}

Typed MinMax(const Call& c) {
  c.Arity(1, 1);
  Typed a = c.Arg(0);
  std::string distinct = c.e.distinct ? "DISTINCT " : "";
  std::string inner = a.sql + (UsesCollation(a.type) ? " COLLATE TSQLCI" : "");
  return Typed{LowerCase(c.name()) + "(" + distinct + inner + ")", Nullable(a.type)};
}

// SUM and AVG: integers widen to int, decimals to precision 38 (AVG keeps at
// least six decimals), smallmoney to money and real to float.
Typed SumAvg(const Call& c) {
  const std::string& f = c.name();
  c.Arity(1, 1);
  Typed a = c.Arg(0);
  std::string distinct = c.e.distinct ? "DISTINCT " : "";
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

Typed IsNull(const Call& c) {
  c.Arity(2, 2);
  Typed a = c.Arg(0), b = c.Arg(1);
  if (a.null_literal) return b;
  if (!b.null_literal && !(IsCharacter(a.type.id) && IsCharacter(b.type.id)) &&
      !(IsNumeric(a.type.id) && IsNumeric(b.type.id)))
    b = c.Convert(b, a.type);
  SqlType type = a.type;
  type.nullable = b.type.nullable || b.null_literal;
  return Typed{"ifnull(" + a.sql + ", " + b.sql + ")", type};
}

Typed Coalesce(const Call& c) {
  if (c.e.args.size() < 2)
    throw BatchAbort(Msg(189, 15, 1, "The coalesce function requires 2 to n arguments."));
  std::vector<Typed> items;
  for (std::size_t i = 0; i < c.e.args.size(); ++i) items.push_back(c.Arg(i));
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
      t = c.Convert(t, type);
    sql += (i ? ", " : "") + t.sql;
  }
  return Typed{sql + ")", Nullable(type)};
}

Typed Len(const Call& c) {
  c.Arity(1, 1);
  Typed a = c.Arg(0);
  if (!IsCharacter(a.type.id)) a = c.Convert(a, MakeType(TypeId::VarChar, 8000));
  return Typed{"tsql_len(" + a.sql + ")", Nullable(MakeType(TypeId::Int))};
}

Typed DataLength(const Call& c) {
  c.Arity(1, 1);
  Typed a = c.Arg(0);
  SqlType type = Nullable(MakeType(TypeId::Int));
  if (IsUnicode(a.type.id)) return Typed{"(length(" + a.sql + ") * 2)", type};
  // A varchar holds code page 1252, one byte to a character.
  return Typed{"length(" + a.sql + ")", type};
}

// UPPER, LOWER, LTRIM and RTRIM: a char result becomes varchar.
Typed CaseOrTrim(const Call& c) {
  const std::string& f = c.name();
  c.Arity(1, 1);
  Typed a = c.Arg(0);
  if (!IsCharacter(a.type.id)) a = c.Convert(a, MakeType(TypeId::VarChar, 30));
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

// SUBSTRING, LEFT and RIGHT: the first argument as text, fixed-length and
// large types becoming varying ones.
Typed Substring(const Call& c) {
  const std::string& f = c.name();
  c.Arity(f == "SUBSTRING" ? 3 : 2, f == "SUBSTRING" ? 3 : 2);
  Typed a = c.Arg(0);
  if (!IsCharacter(a.type.id)) a = c.Convert(a, MakeType(TypeId::VarChar, 30));
  SqlType type = a.type;
  if (type.id == TypeId::Char || type.id == TypeId::Text) type.id = TypeId::VarChar;
  if (type.id == TypeId::NChar || type.id == TypeId::NText) type.id = TypeId::NVarChar;
  if (f == "SUBSTRING") {
    Typed start = c.Arg(1), length = c.Arg(2);
    // SQL Server counts a start before 1 against the length.
    return Typed{"substr(" + a.sql + ", max(" + start.sql + ", 1), max(0, (" + length.sql +
                     ") + min(0, (" + start.sql + ") - 1)))",
                 Nullable(type)};
  }
  Typed n = c.Arg(1);
  if (f == "LEFT") return Typed{"substr(" + a.sql + ", 1, max(0, " + n.sql + "))", Nullable(type)};
  return Typed{
      "CASE WHEN (" + n.sql + ") <= 0 THEN '' ELSE substr(" + a.sql + ", -(" + n.sql + ")) END",
      Nullable(type)};
}

Typed Replace(const Call& c) {
  c.Arity(3, 3);
  Typed a = c.Arg(0), b = c.Arg(1), d = c.Arg(2);
  SqlType type = IsCharacter(a.type.id) ? a.type : MakeType(TypeId::VarChar, 8000);
  if (type.id == TypeId::Char) type.id = TypeId::VarChar;
  type.length = type.length == SqlType::kMaxLength ? type.length : 8000;
  return Typed{"replace(" + a.sql + ", " + b.sql + ", " + d.sql + ")", Nullable(type)};
}

Typed CharIndex(const Call& c) {
  c.Arity(2, 3);
  std::string sql = "tsql_charindex(" + c.Arg(0).sql + ", " + c.Arg(1).sql;
  if (c.e.args.size() == 3) sql += ", " + c.Arg(2).sql;
  return Typed{sql + ")", Nullable(MakeType(TypeId::Int))};
}

Typed Abs(const Call& c) {
  c.Arity(1, 1);
  Typed a = c.Arg(0);
  return Typed{"abs(" + a.sql + ")", Nullable(a.type)};
}

// ROUND(x, digits[, function]); the third argument is accepted and ignored.
Typed Round(const Call& c) {
  c.Arity(1, 3);
  Typed a = c.Arg(0);
  c.Arity(2, 3);
  return Typed{"round(" + a.sql + ", " + c.Arg(1).sql + ")", Nullable(a.type)};
}

// FLOOR and CEILING keep the argument's type.
Typed FloorCeiling(const Call& c) {
  c.Arity(1, 1);
  Typed a = c.Arg(0);
  return Typed{"CAST(" + std::string(c.name() == "FLOOR" ? "floor(" : "ceil(") + a.sql + ") AS " +
                   (IsInteger(a.type.id) ? "INTEGER" : "REAL") + ")",
               Nullable(a.type)};
}

Typed NewId(const Call& c) {
  c.Arity(0, 0);
  SqlType type = MakeType(TypeId::UniqueIdentifier);
  type.nullable = false;
  return Typed{"tsql_newid()", type};
}

// OBJECT_ID('[db.][schema.]name'): resolved now, so only a literal name.
Typed ObjectId(const Call& c) {
  c.Arity(1, 2);
  const Expr& a = *c.e.args[0];
  if (a.kind != ExprKind::Literal ||
      (a.token.kind != TokenKind::String && a.token.kind != TokenKind::NString))
    throw NotSupported("OBJECT_ID of an expression");
  SqlType type = Nullable(MakeType(TypeId::Int));
  std::vector<std::string> parts;
  std::string current;
  bool bracket = false;
  for (char ch : a.token.text) {
    if (ch == '[')
      bracket = true;
    else if (ch == ']')
      bracket = false;
    else if (ch == '.' && !bracket) {
      parts.push_back(current);
      current.clear();
    } else
      current += ch;
  }
  parts.push_back(current);
  ObjectName name;
  name.object = parts.back();
  if (parts.size() >= 2) name.schema = parts[parts.size() - 2];
  if (parts.size() >= 3) name.database = parts[parts.size() - 3];
  std::optional<TableInfo> table = c.resolver.FindTable(name);
  if (!table) return Typed{"NULL", type};
  return Typed{std::to_string(table->object_id), type};
}

// YEAR, MONTH and DAY cut the canonical text of a datetime.
Typed DateField(const Call& c) {
  const std::string& f = c.name();
  c.Arity(1, 1);
  Typed a = c.Arg(0);
  if (!IsDateTime(a.type.id)) a = c.Convert(a, MakeType(TypeId::DateTime));
  int start = f == "YEAR" ? 1 : f == "MONTH" ? 6 : 9;
  int length = f == "YEAR" ? 4 : 2;
  return Typed{"CAST(substr(" + a.sql + ", " + std::to_string(start) + ", " +
                   std::to_string(length) + ") AS INTEGER)",
               Nullable(MakeType(TypeId::Int))};
}

// DATEADD, DATEDIFF and DATEPART: the date part is the first argument, a
// literal the parser took as a word.
Typed DateArithmetic(const Call& c) {
  const std::string& f = c.name();
  c.Arity(f == "DATEPART" ? 2 : 3, f == "DATEPART" ? 2 : 3);
  std::string part = QuoteText(c.e.args[0]->token.text);
  auto as_date = [&](std::size_t i) {
    Typed d = c.Arg(i);
    if (!IsDateTime(d.type.id)) d = c.Convert(d, MakeType(TypeId::DateTime));
    return d;
  };
  SqlType int_type = Nullable(MakeType(TypeId::Int));
  if (f == "DATEPART")
    return Typed{"tsql_datepart(" + part + ", " + as_date(1).sql + ")", int_type};
  if (f == "DATEDIFF")
    return Typed{"tsql_datediff(" + part + ", " + as_date(1).sql + ", " + as_date(2).sql + ")",
                 int_type};
  Typed d = as_date(2);
  return Typed{"tsql_dateadd(" + part + ", " + c.Arg(1).sql + ", " + d.sql + ", " +
                   std::to_string(static_cast<int>(d.type.id)) + ", " +
                   std::to_string(d.type.scale) + ")",
               Nullable(d.type)};
}

Typed DbId(const Call& c) {
  c.Arity(0, 1);
  SqlType type = Nullable(MakeType(TypeId::SmallInt));
  if (c.e.args.empty())
    return Typed{"(SELECT database_id FROM " + c.resolver.DatabaseList() + " WHERE name = " +
                     c.translator.Bind(c.resolver.SessionFunction("DB_NAME")->value) +
                     " COLLATE TSQLCI)",
                 type};
  Typed name = c.Arg(0);
  return Typed{"(SELECT database_id FROM " + c.resolver.DatabaseList() + " WHERE name = (" +
                   name.sql + ") COLLATE TSQLCI)",
               type};
}

// A function without arguments whose value the session knows (GETDATE,
// DB_NAME, ...), under its own name or `session_name`; with arguments it is
// not a function SQL Server knows either.
Typed SessionValue(const Call& c, const std::string& session_name) {
  if (!c.e.args.empty()) throw UnknownFunction(c.name());
  std::optional<Param> p = c.resolver.SessionFunction(session_name);
  if (!p) throw UnknownFunction(c.name());
  return Typed{c.translator.Bind(ToStorage(p->value, p->type)), p->type};
}

Typed SessionNamed(const Call& c) {
  return SessionValue(c, c.name());
}
Typed SessionNow(const Call& c) {
  return SessionValue(c, "GETDATE");
}
Typed SessionLogin(const Call& c) {
  return SessionValue(c, "SUSER_SNAME");
}
Typed SessionUser(const Call& c) {
  return SessionValue(c, "USER_NAME");
}

Typed DbName(const Call& c) {
  if (!c.e.args.empty()) throw NotSupported("DB_NAME(database_id)");
  return SessionNamed(c);
}

const std::unordered_map<std::string, Handler>& Handlers() {
  static const std::unordered_map<std::string, Handler> handlers = {
      {"COUNT", Count},
      {"COUNT_BIG", Count},
      {"MIN", MinMax},
      {"MAX", MinMax},
      {"SUM", SumAvg},
      {"AVG", SumAvg},
      {"ISNULL", IsNull},
      {"COALESCE", Coalesce},
      {"LEN", Len},
      {"DATALENGTH", DataLength},
      {"UPPER", CaseOrTrim},
      {"LOWER", CaseOrTrim},
      {"LTRIM", CaseOrTrim},
      {"RTRIM", CaseOrTrim},
      {"SUBSTRING", Substring},
      {"LEFT", Substring},
      {"RIGHT", Substring},
      {"REPLACE", Replace},
      {"CHARINDEX", CharIndex},
      {"ABS", Abs},
      {"ROUND", Round},
      {"FLOOR", FloorCeiling},
      {"CEILING", FloorCeiling},
      {"NEWID", NewId},
      {"OBJECT_ID", ObjectId},
      {"YEAR", DateField},
      {"MONTH", DateField},
      {"DAY", DateField},
      {"DATEADD", DateArithmetic},
      {"DATEDIFF", DateArithmetic},
      {"DATEPART", DateArithmetic},
      {"DB_ID", DbId},
      {"DB_NAME", DbName},
      {"GETDATE", SessionNamed},
      {"SYSDATETIME", SessionNow},
      {"CURRENT_TIMESTAMP", SessionNow},
      {"SCOPE_IDENTITY", SessionNamed},
      {"USER_NAME", SessionNamed},
      {"CURRENT_USER", SessionUser},
      {"SUSER_SNAME", SessionNamed},
      {"SUSER_NAME", SessionLogin},
      {"SYSTEM_USER", SessionLogin},
      {"HOST_NAME", SessionNamed},
      {"APP_NAME", SessionNamed},
  };
  return handlers;
}

}  // namespace

Typed Translator::Function(const Expr& e, const Scope& scope) {
  const auto& handlers = Handlers();
  auto handler = handlers.find(e.text);
  if (handler == handlers.end()) throw UnknownFunction(e.text);
  return handler->second(Call{*this, resolver_, e, scope});
}

}  // namespace standin::engine
