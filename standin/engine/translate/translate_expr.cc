// Translation of expressions and search conditions.
#include <algorithm>
#include <cmath>

#include "errors.h"
#include "storage/sqlite_db.h"
#include "storage/storage.h"
#include "translate/translator.h"
#include "values/collation.h"
#include "values/sql_types.h"

namespace standin::engine {

namespace {

std::string JoinNames(const std::vector<std::string>& names) {
  std::string out;
  for (const std::string& n : names) out += (out.empty() ? "" : ".") + n;
  return out;
}

bool QualifierMatches(const Source& src, const std::vector<std::string>& names) {
  // names: [..., table, column]; a table part must name the source.
  return CompareCi(src.exposed, names[names.size() - 2]) == 0;
}

// Precision and scale an exact or integer type counts as in decimal arithmetic.
void DecimalShape(const SqlType& t, int& p, int& s) {
  switch (t.id) {
    case TypeId::Decimal:
      p = t.precision;
      s = t.scale;
      return;
    case TypeId::Money:
      p = 19;
      s = 4;
      return;
    case TypeId::SmallMoney:
      p = 10;
      s = 4;
      return;
    case TypeId::BigInt:
      p = 19;
      s = 0;
      return;
    case TypeId::Int:
      p = 10;
      s = 0;
      return;
    case TypeId::SmallInt:
      p = 5;
      s = 0;
      return;
    default:
      p = 3;
      s = 0;
      return;
  }
}

SqlType ArithmeticType(const std::string& op, const SqlType& a, const SqlType& b) {
  if (a.id == TypeId::Float || b.id == TypeId::Float || a.id == TypeId::Real ||
      b.id == TypeId::Real)
    return MakeType(TypeId::Float);
  if (IsInteger(a.id) && IsInteger(b.id)) {
    SqlType t = Dominant(a, b);
    if (t.id == TypeId::Bit) t = MakeType(TypeId::Int);
    t.nullable = true;
    return t;
  }
  bool money_a = a.id == TypeId::Money || a.id == TypeId::SmallMoney;
  bool money_b = b.id == TypeId::Money || b.id == TypeId::SmallMoney;
  if ((money_a || money_b) && a.id != TypeId::Decimal && b.id != TypeId::Decimal)
    return MakeType(TypeId::Money, 0, 19, 4);
  int p1, s1, p2, s2;
  DecimalShape(a, p1, s1);
  DecimalShape(b, p2, s2);
  int p, s;
  if (op == "*") {
    p = p1 + p2 + 1;
    s = s1 + s2;
  } else if (op == "/") {
    s = std::max(6, s1 + p2 + 1);
    p = p1 - s1 + s2 + s;
  } else if (op == "%") {
    s = std::max(s1, s2);
    p = std::min(p1 - s1, p2 - s2) + s;
  } else {
    s = std::max(s1, s2);
    p = std::max(p1 - s1, p2 - s2) + s + 1;
  }
  if (p > 38) {
    s = std::max(std::min(s, 6), s - (p - 38));
    p = 38;
  }
  return MakeType(TypeId::Decimal, 0, static_cast<std::uint8_t>(p), static_cast<std::uint8_t>(s));
}

bool SameFamily(const SqlType& a, const SqlType& b) {
  if (IsCharacter(a.id) && IsCharacter(b.id)) return true;
  if (IsNumeric(a.id) && IsNumeric(b.id)) return true;
  if (IsBinary(a.id) && IsBinary(b.id)) return true;
  return a.id == b.id;
}

}  // namespace

Typed Translator::ConvertTo(const Typed& t, const SqlType& to, bool assign, int style) const {
  if (t.null_literal) return Typed{"NULL", to, true};
  auto n = [](auto v) { return std::to_string(static_cast<int>(v)); };
  const SqlType& f = t.type;
  Typed out;
  out.sql = "tsql_convert(" + t.sql + ", " + n(to.id) + ", " + n(to.length) + ", " +
            n(to.precision) + ", " + n(to.scale) + ", " + n(f.id) + ", " + n(f.length) + ", " +
            n(f.precision) + ", " + n(f.scale) + ", " + (assign ? "1" : "0") +
            (style >= 0 ? ", " + std::to_string(style) : std::string()) + ")";
  out.type = to;
  out.type.nullable = true;
  return out;
}

void Translator::Unify(Typed& a, Typed& b) const {
  if (a.null_literal || b.null_literal) return;
  if (IsDateTime(a.type.id) && a.type.id == b.type.id) {
    // Fractions of different lengths compare only at the finer one.
    if (a.type.scale < b.type.scale) a = ConvertTo(a, b.type);
    if (b.type.scale < a.type.scale) b = ConvertTo(b, a.type);
    return;
  }
  if (SameFamily(a.type, b.type)) return;
  if (Precedence(a.type.id) >= Precedence(b.type.id))
    b = ConvertTo(b, a.type);
  else
    a = ConvertTo(a, b.type);
}

std::string Translator::Comparison(const std::string& op, Typed a, Typed b) {
  Unify(a, b);
  std::string sql = "(" + a.sql + ") " + op + " (" + b.sql + ")";
  if (UsesCollation(a.type) && UsesCollation(b.type)) sql += " COLLATE TSQLCI";
  return "(" + sql + ")";
}

Typed Translator::ColumnRef(const Expr& e, const Scope& scope) {
  const std::vector<std::string>& names = e.names;
  const std::string& column = names.back();
  bool qualified = names.size() > 1;
  bool qualifier_seen = false;
  for (const Scope* s = &scope; s; s = s->outer) {
    const Source* found_src = nullptr;
    const ColumnInfo* found = nullptr;
    for (const Source& src : s->sources) {
      if (qualified && !QualifierMatches(src, names)) continue;
      if (qualified) qualifier_seen = true;
      for (const ColumnInfo& c : src.columns) {
        if (CompareCi(c.name, column) == 0 && CharCount(c.name) == CharCount(column)) {
          if (found) throw AmbiguousColumn(column);
          found = &c;
          found_src = &src;
        }
      }
    }
    if (found) return Typed{found_src->sql_alias + "." + QuoteName(found->name), found->type};
    if (qualifier_seen) throw InvalidColumn(column);
  }
  if (qualified) throw MultipartNotBound(JoinNames(names));
  throw InvalidColumn(column);
}

Typed Translator::Literal(const Expr& e) {
  const Token& t = e.token;
  Typed out;
  switch (t.kind) {
    case TokenKind::Number: {
      out.sql = t.text;
      std::size_t dot = t.text.find('.');
      bool exponent = t.text.find_first_of("eE") != std::string::npos;
      if (exponent) {
        out.type = MakeType(TypeId::Float);
      } else if (dot == std::string::npos) {
        double v = std::strtod(t.text.c_str(), nullptr);
        std::size_t digits = t.text.size() - (t.text[0] == '-' ? 1 : 0);
        if (v >= -2147483648.0 && v <= 2147483647.0) {
          out.type = MakeType(TypeId::Int);
          out.literal_digits = static_cast<int>(digits);
        } else if (digits <= 38) {
          out.type = MakeType(TypeId::Decimal, 0, static_cast<std::uint8_t>(digits), 0);
          if (digits > 18) out.sql = t.text + ".0";
        } else {
          throw BatchAbort(Msg(1007, 15, 1,
                               "The number '" + t.text +
                                   "' is out of the range for numeric "
                                   "representation (maximum precision 38)."));
        }
      } else {
        std::string whole =
            t.text.substr(t.text[0] == '-' ? 1 : 0, dot - (t.text[0] == '-' ? 1 : 0));
        std::size_t first = whole.find_first_not_of('0');
        whole = first == std::string::npos ? "" : whole.substr(first);
        std::size_t scale = t.text.size() - dot - 1;
        std::string digits = whole + t.text.substr(dot + 1);
        std::size_t precision = std::max<std::size_t>(whole.size() + scale, 1);
        if (precision > 38) precision = 38;
        if (precision == 0) precision = 1;
        out.type = MakeType(TypeId::Decimal, 0, static_cast<std::uint8_t>(precision),
                            static_cast<std::uint8_t>(std::min<std::size_t>(scale, 38)));
        // Beyond what a double holds exactly, the literal travels as text.
        if (digits.size() > 15) out.sql = QuoteText(t.text);
        if (out.sql[0] == '.') out.sql = "0" + out.sql;
        if (out.sql.rfind("-.", 0) == 0) out.sql = "-0" + out.sql.substr(1);
        if (out.sql.back() == '.') out.sql += "0";
      }
      out.type.nullable = false;
      return out;
    }
    case TokenKind::String: {
      std::string value = ToCodePage1252(t.text);
      std::size_t n = CharCount(value);
      out.type = MakeType(
          TypeId::VarChar,
          n > 8000 ? SqlType::kMaxLength : static_cast<std::int32_t>(std::max<std::size_t>(n, 1)));
      out.sql = QuoteText(value);
      out.type.nullable = false;
      return out;
    }
    case TokenKind::NString: {
      std::size_t n = CharCount(t.text);
      out.type = MakeType(
          TypeId::NVarChar,
          n > 4000 ? SqlType::kMaxLength : static_cast<std::int32_t>(std::max<std::size_t>(n, 1)));
      out.sql = QuoteText(t.text);
      out.type.nullable = false;
      return out;
    }
    case TokenKind::Binary: {
      std::string hex = t.text.size() % 2 ? "0" + t.text : t.text;
      out.sql = "X'" + hex + "'";
      out.type = MakeType(TypeId::VarBinary,
                          static_cast<std::int32_t>(std::max<std::size_t>(hex.size() / 2, 1)));
      out.type.nullable = false;
      return out;
    }
    default:  // NULL
      out.sql = "NULL";
      out.type = MakeType(TypeId::Int);
      out.null_literal = true;
      return out;
  }
}

Typed Translator::Arithmetic(const Expr& e, const Scope& scope) {
  Typed a = Expression(*e.args[0], scope);
  Typed b = Expression(*e.args[1], scope);
  const std::string& op = e.text;
  if (op == "+" && (IsCharacter(a.type.id) || a.null_literal) &&
      (IsCharacter(b.type.id) || b.null_literal) && !(a.null_literal && b.null_literal)) {
    const SqlType& ta = a.null_literal ? b.type : a.type;
    const SqlType& tb = b.null_literal ? a.type : b.type;
    bool unicode = IsUnicode(ta.id) || IsUnicode(tb.id);
    std::int32_t limit = unicode ? 4000 : 8000;
    std::int32_t length = (ta.length == SqlType::kMaxLength || tb.length == SqlType::kMaxLength)
                              ? SqlType::kMaxLength
                              : std::min(ta.length + tb.length, limit);
    SqlType type = MakeType(unicode ? TypeId::NVarChar : TypeId::VarChar, length);
    type.nullable = a.null_literal || b.null_literal || ta.nullable || tb.nullable;
    return Typed{"(" + a.sql + " || " + b.sql + ")", type};
  }
  if (a.null_literal) a.type = b.type;
  if (b.null_literal) b.type = a.type;
  // A datetime plus or minus a number moves it by that many days.
  if ((op == "+" || op == "-") &&
      (a.type.id == TypeId::DateTime || a.type.id == TypeId::SmallDateTime) &&
      IsNumeric(b.type.id)) {
    std::string days = op == "-" ? "-(" + b.sql + ")" : b.sql;
    return Typed{"tsql_dateadd('day', " + days + ", " + a.sql + ", " +
                     std::to_string(static_cast<int>(a.type.id)) + ", 0)",
                 a.type};
  }
  if (op == "+" && IsNumeric(a.type.id) &&
      (b.type.id == TypeId::DateTime || b.type.id == TypeId::SmallDateTime))
    return Typed{"tsql_dateadd('day', " + a.sql + ", " + b.sql + ", " +
                     std::to_string(static_cast<int>(b.type.id)) + ", 0)",
                 b.type};
  if (!IsNumeric(a.type.id) || !IsNumeric(b.type.id)) {
    // Text meets a number: the text converts to the number's type.
    if (IsCharacter(a.type.id) && IsNumeric(b.type.id))
      a = ConvertTo(a, b.type);
    else if (IsCharacter(b.type.id) && IsNumeric(a.type.id))
      b = ConvertTo(b, a.type);
    else
      throw BatchAbort(Msg(8117, 16, 1,
                           "Operand data type " + TypeName(a.type.id) + " is invalid for " +
                               (op == "+"   ? "add"
                                : op == "-" ? "subtract"
                                : op == "*" ? "multiply"
                                : op == "/" ? "divide"
                                            : "modulo") +
                               " operator."));
  }
  // Next to a decimal, an integer literal counts with its own digits (2 is decimal(1,0)).
  auto shape = [](const Typed& t, const Typed& other) {
    return t.literal_digits > 0 && IsExact(other.type.id)
               ? MakeType(TypeId::Decimal, 0, static_cast<std::uint8_t>(t.literal_digits), 0)
               : t.type;
  };
  SqlType type = ArithmeticType(op, shape(a, b), shape(b, a));
  type.nullable = a.null_literal || b.null_literal || a.type.nullable || b.type.nullable;
  if (op == "/" || op == "%") {
    std::string left = IsInteger(type.id) ? a.sql : "(" + a.sql + ") * 1.0";
    return Typed{std::string(op == "/" ? "tsql_div(" : "tsql_mod(") + left + ", " + b.sql + ")",
                 type};
  }
  if (op == "^")
    return Typed{"((" + a.sql + ") | (" + b.sql + ")) - ((" + a.sql + ") & (" + b.sql + "))", type};
  return Typed{"(" + a.sql + " " + op + " " + b.sql + ")", type};
}

Typed Translator::Case(const Expr& e, const Scope& scope) {
  std::size_t i = 0;
  std::optional<Typed> operand;
  if (e.has_operand) operand = Expression(*e.args[i++], scope);
  std::string sql = "CASE";
  std::vector<Typed> results;
  std::size_t end = e.args.size() - (e.has_else ? 1 : 0);
  std::vector<std::string> whens;
  for (; i < end; i += 2) {
    std::string when = operand ? Comparison("=", *operand, Expression(*e.args[i], scope))
                               : Condition(*e.args[i], scope);
    whens.push_back(when);
    results.push_back(Expression(*e.args[i + 1], scope));
  }
  if (e.has_else) results.push_back(Expression(*e.args.back(), scope));
  SqlType type = MakeType(TypeId::Int);
  bool typed = false;
  for (const Typed& r : results) {
    if (r.null_literal) continue;
    if (!typed) {
      type = r.type;
      typed = true;
    } else {
      SqlType longer = Dominant(type, r.type);
      if (IsCharacter(longer.id) && IsCharacter(type.id) && IsCharacter(r.type.id))
        longer.length = (type.length == SqlType::kMaxLength || r.type.length == SqlType::kMaxLength)
                            ? SqlType::kMaxLength
                            : std::max(type.length, r.type.length);
      type = longer;
    }
  }
  type.nullable = true;
  for (std::size_t k = 0; k < whens.size(); ++k) {
    Typed r = results[k];
    if (!SameFamily(r.type, type) && !r.null_literal) r = ConvertTo(r, type);
    sql += " WHEN " + whens[k] + " THEN " + r.sql;
  }
  if (e.has_else) {
    Typed r = results.back();
    if (!SameFamily(r.type, type) && !r.null_literal) r = ConvertTo(r, type);
    sql += " ELSE " + r.sql;
  }
  return Typed{sql + " END", type};
}

Typed Translator::Subquery(const Select& s, const Scope& scope) {
  std::string sql;
  std::vector<Column> cols = Query(s, &scope, sql);
  if (cols.size() != 1) throw SubqueryColumns();
  SqlType type = cols[0].type;
  type.nullable = true;
  return Typed{"(" + sql + ")", type};
}

Typed Translator::Expression(const Expr& e, const Scope& scope) {
  switch (e.kind) {
    case ExprKind::Literal:
      return Literal(e);
    case ExprKind::Column:
      return ColumnRef(e, scope);
    case ExprKind::Variable: {
      Param p = resolver_.Variable(e.text);
      return Typed{Bind(ToStorage(p.value, p.type)), p.type};
    }
    case ExprKind::Unary: {
      if (e.text == "NOT") throw SyntaxError("NOT");
      Typed a = Expression(*e.args[0], scope);
      if (e.text == "+") return a;
      if (IsCharacter(a.type.id)) a = ConvertTo(a, MakeType(TypeId::Int));
      return Typed{"(" + e.text + a.sql + ")", a.type};
    }
    case ExprKind::Binary:
      if (e.text == "AND" || e.text == "OR" || e.text == "=" || e.text == "<>" || e.text == "<" ||
          e.text == ">" || e.text == "<=" || e.text == ">=")
        throw SyntaxError(e.text == "AND" || e.text == "OR" ? e.text : e.text);
      return Arithmetic(e, scope);
    case ExprKind::Function:
      return Function(e, scope);
    case ExprKind::Cast: {
      Typed a = Expression(*e.args[0], scope);
      int style = -1;
      if (e.args.size() == 2) {
        const Expr& s = *e.args[1];
        if (s.kind != ExprKind::Literal || s.token.kind != TokenKind::Number ||
            s.token.text.find_first_not_of("0123456789") != std::string::npos)
          throw NotSupported("CONVERT with a style that is not a number");
        style = std::stoi(s.token.text.substr(0, 6));
      }
      return ConvertTo(a, e.cast_type, false, style);
    }
    case ExprKind::Case:
      return Case(e, scope);
    case ExprKind::Subquery:
      return Subquery(*e.subquery, scope);
    default:
      // A predicate where a value belongs: SQL Server rejects it.
      throw SyntaxError(e.kind == ExprKind::IsNull    ? "IS"
                        : e.kind == ExprKind::Like    ? "LIKE"
                        : e.kind == ExprKind::Between ? "BETWEEN"
                        : e.kind == ExprKind::Exists  ? "EXISTS"
                                                      : "IN");
  }
}

std::string Translator::Condition(const Expr& e, const Scope& scope) {
  switch (e.kind) {
    case ExprKind::Binary: {
      if (e.text == "AND" || e.text == "OR")
        return "(" + Condition(*e.args[0], scope) + " " + e.text + " " +
               Condition(*e.args[1], scope) + ")";
      if (e.text == "=" || e.text == "<>" || e.text == "<" || e.text == ">" || e.text == "<=" ||
          e.text == ">=")
        return Comparison(e.text, Expression(*e.args[0], scope), Expression(*e.args[1], scope));
      break;
    }
    case ExprKind::Unary:
      if (e.text == "NOT") return "(NOT " + Condition(*e.args[0], scope) + ")";
      break;
    case ExprKind::IsNull:
      return "((" + Expression(*e.args[0], scope).sql + ") IS " + (e.negated ? "NOT " : "") +
             "NULL)";
    case ExprKind::Like: {
      Typed a = Expression(*e.args[0], scope);
      Typed p = Expression(*e.args[1], scope);
      if (!IsCharacter(a.type.id) && !a.null_literal)
        a = ConvertTo(a, MakeType(TypeId::VarChar, 8000));
      std::string sql = "tsql_like(" + a.sql + ", " + p.sql;
      if (e.has_escape) sql += ", " + Expression(*e.args[2], scope).sql;
      sql += ")";
      return e.negated ? "(NOT " + sql + ")" : "(" + sql + ")";
    }
    case ExprKind::Between: {
      Typed a = Expression(*e.args[0], scope);
      Typed lo = Expression(*e.args[1], scope);
      Typed hi = Expression(*e.args[2], scope);
      std::string sql = "(" + Comparison(">=", a, lo) + " AND " + Comparison("<=", a, hi) + ")";
      return e.negated ? "(NOT " + sql + ")" : sql;
    }
    case ExprKind::InList: {
      Typed a = Expression(*e.args[0], scope);
      std::vector<Typed> items;
      for (std::size_t i = 1; i < e.args.size(); ++i)
        items.push_back(Expression(*e.args[i], scope));
      for (Typed& item : items) {
        Typed left = a;
        Unify(left, item);
        a = left;  // a text column meeting numbers converts once, like SQL Server
      }
      std::string sql = "(" + a.sql + ")";
      if (UsesCollation(a.type)) sql += " COLLATE TSQLCI";
      sql += e.negated ? " NOT IN (" : " IN (";
      for (std::size_t i = 0; i < items.size(); ++i) sql += (i ? ", " : "") + items[i].sql;
      return "(" + sql + "))";
    }
    case ExprKind::InSelect: {
      Typed a = Expression(*e.args[0], scope);
      std::string sub;
      std::vector<Column> cols = Query(*e.subquery, &scope, sub);
      if (cols.size() != 1) throw SubqueryColumns();
      if (!SameFamily(a.type, cols[0].type) && !a.null_literal &&
          Precedence(cols[0].type.id) > Precedence(a.type.id))
        a = ConvertTo(a, cols[0].type);
      std::string left = "(" + a.sql + ")";
      if (UsesCollation(a.type)) left += " COLLATE TSQLCI";
      return "(" + left + (e.negated ? " NOT IN (" : " IN (") + sub + "))";
    }
    case ExprKind::Exists: {
      std::string sub;
      Query(*e.subquery, &scope, sub);
      return std::string(e.negated ? "(NOT " : "(") + "EXISTS (" + sub + "))";
    }
    default:
      break;
  }
  // A value where a condition belongs, e.g. WHERE 1: SQL Server's error 4145.
  throw BatchAbort(Msg(4145, 15, 1,
                       "An expression of non-boolean type specified in a context where a "
                       "condition is expected."));
}

}  // namespace standin::engine
