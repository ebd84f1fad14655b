#include "parser.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "collation.h"
#include "errors.h"
#include "sql_types.h"

namespace standin::engine {

namespace {

constexpr int kMaxDepth = 128;

// Words that end a table reference or select item instead of naming an alias.
bool IsClauseWord(const Token& t) {
  static constexpr std::array kWords = {
      "WHERE",   "JOIN",   "INNER",    "LEFT",   "RIGHT",    "FULL",    "CROSS", "OUTER",
      "ON",      "GROUP",  "ORDER",    "HAVING", "UNION",    "SET",     "WITH",  "FROM",
      "SELECT",  "INSERT", "UPDATE",   "DELETE", "CREATE",   "DROP",    "USE",   "EXEC",
      "EXECUTE", "KILL",   "BEGIN",    "COMMIT", "ROLLBACK", "IF",      "ELSE",  "VALUES",
      "INTO",    "AND",    "OR",       "NOT",    "AS",       "DECLARE", "PRINT", "WHEN",
      "THEN",    "END",    "IS",       "LIKE",   "IN",       "BETWEEN", "ASC",   "DESC",
      "OPTION",  "FOR",    "TRUNCATE", "ALTER",  "GO"};
  if (t.kind != TokenKind::Word) return false;
  for (const char* w : kWords)
    if (t.Is(w)) return true;
  return false;
}

std::string Upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

class Parser {
 public:
  Parser(std::vector<Token> tokens, std::string_view sql) : t_(std::move(tokens)), sql_(sql) {}

  std::vector<Statement> Batch() {
    std::vector<Statement> out;
    bool first = true;
    while (!AtEnd()) {
      if (Peek().IsSymbol(";")) {
        ++i_;
        continue;
      }
      out.push_back(StatementAt(first));
      first = false;
    }
    return out;
  }

  // The line of the token being read (of the last one at the end).
  int Line() const {
    if (AtEnd() && i_ > 0) return t_[i_ - 1].line;
    return Peek().line;
  }

  SqlType TypeOnly(int column) {
    SqlType t = Type(column, false);
    if (!AtEnd()) throw SyntaxError(Peek().text);
    return t;
  }

 private:
  // ---- token helpers ----
  const Token& Peek(std::size_t ahead = 0) const { return t_[std::min(i_ + ahead, t_.size() - 1)]; }
  bool AtEnd() const { return Peek().kind == TokenKind::End; }
  const Token& Take() {
    const Token& t = Peek();
    if (i_ < t_.size() - 1) ++i_;
    return t;
  }
  [[noreturn]] void Fail() const {
    // At the end of the batch SQL Server names the last token it read.
    if (AtEnd()) {
      if (i_ == 0) throw SyntaxErrorAtEnd();
      throw SyntaxError(t_[i_ - 1].text);
    }
    const Token& t = Peek();
    throw SyntaxError(t.kind == TokenKind::End ? "" : t.text);
  }
  bool Accept(std::string_view word) {
    if (Peek().Is(word)) {
      ++i_;
      return true;
    }
    return false;
  }
  bool AcceptSymbol(std::string_view s) {
    if (Peek().IsSymbol(s)) {
      ++i_;
      return true;
    }
    return false;
  }
  void Expect(std::string_view word) {
    if (!Accept(word)) Fail();
  }
  void ExpectSymbol(std::string_view s) {
    if (!AcceptSymbol(s)) Fail();
  }
  bool IsName(const Token& t) const {
    return t.kind == TokenKind::QuotedName || t.kind == TokenKind::Word;
  }
  std::string Name() {
    const Token& t = Peek();
    if (!IsName(t)) Fail();
    if (CharCount(t.text) > 128) throw IdentifierTooLong(t.text);
    ++i_;
    return t.text;
  }

  struct DepthGuard {
    explicit DepthGuard(int& d) : depth(d) {
      if (++depth > kMaxDepth)
        throw BatchAbort(Msg(191, 15, 1,
                             "Some part of your SQL statement is nested too deeply. Rewrite the "
                             "query or break it up into smaller queries."));
    }
    ~DepthGuard() { --depth; }
    int& depth;
  };

  // ---- statements ----
  Statement StatementAt(bool first_in_batch) {
    DepthGuard guard(depth_);
    Statement s;
    s.line = Peek().line;
    const Token& t = Peek();
    if (t.Is("SELECT") || t.IsSymbol("(")) {
      s.body = SelectChain();
    } else if (t.Is("INSERT")) {
      s.body = Insert();
    } else if (t.Is("UPDATE")) {
      s.body = Update();
    } else if (t.Is("DELETE")) {
      s.body = Delete();
    } else if (t.Is("CREATE")) {
      s.body = Create();
    } else if (t.Is("DROP")) {
      s.body = Drop();
    } else if (t.Is("USE")) {
      Take();
      s.body = UseStmt{Name()};
    } else if (t.Is("SET") && Peek(1).kind == TokenKind::Variable) {
      Take();
      AssignStmt a;
      a.name = Take().text;
      ExpectSymbol("=");
      a.value = Expression();
      s.body = std::move(a);
    } else if (t.Is("SET")) {
      s.body = Set();
    } else if (t.Is("DECLARE")) {
      Take();
      DeclareStmt d;
      do {
        if (Peek().kind != TokenKind::Variable) Fail();
        DeclareStmt::Variable v;
        v.name = Take().text;
        Accept("AS");
        v.type = Type(static_cast<int>(d.variables.size()) + 1, true);
        if (AcceptSymbol("=")) v.initial = Expression();
        d.variables.push_back(std::move(v));
      } while (AcceptSymbol(","));
      s.body = std::move(d);
    } else if (t.Is("EXEC") || t.Is("EXECUTE")) {
      Take();
      s.body = Exec();
    } else if (t.Is("KILL")) {
      Take();
      s.body = KillStmt{Expression()};
    } else if (t.Is("BEGIN")) {
      Take();
      if (!Accept("TRAN") && !Accept("TRANSACTION")) Fail();
      SkipTransactionName();
      s.body = TransactionStmt{TransactionStmt::Begin};
    } else if (t.Is("COMMIT") || t.Is("ROLLBACK")) {
      bool commit = Take().Is("COMMIT");
      if (Accept("TRAN") || Accept("TRANSACTION") || Accept("WORK")) SkipTransactionName();
      s.body = TransactionStmt{commit ? TransactionStmt::Commit : TransactionStmt::Rollback};
    } else if (t.Is("IF")) {
      s.body = If();
    } else if (t.Is("PRINT")) {
      Take();
      MessageStmt m;
      m.args.push_back(Expression());
      s.body = std::move(m);
    } else if (t.Is("RAISERROR")) {
      Take();
      MessageStmt m;
      m.raise = true;
      ExpectSymbol("(");
      do m.args.push_back(Expression());
      while (AcceptSymbol(","));
      ExpectSymbol(")");
      if (m.args.size() < 3) Fail();
      if (Accept("WITH")) {
        do Name();
        while (AcceptSymbol(","));
      }
      s.body = std::move(m);
    } else if (first_in_batch && IsName(t) && !IsClauseWord(t)) {
      s.body = Exec();
    } else {
      Fail();
    }
    return s;
  }

  void SkipTransactionName() {
    if ((Peek().kind == TokenKind::Word && !IsClauseWord(Peek())) ||
        Peek().kind == TokenKind::QuotedName || Peek().kind == TokenKind::Variable)
      Take();
  }

  std::shared_ptr<IfStmt> If() {
    Expect("IF");
    auto s = std::make_shared<IfStmt>();
    s->condition = Condition();
    s->then_branch = Block();
    if (Accept("ELSE")) s->else_branch = Block();
    return s;
  }

  std::vector<Statement> Block() {
    std::vector<Statement> out;
    if (Peek().Is("BEGIN") && !Peek(1).Is("TRAN") && !Peek(1).Is("TRANSACTION")) {
      Take();
      while (!Accept("END")) {
        if (AtEnd()) Fail();
        if (AcceptSymbol(";")) continue;
        out.push_back(StatementAt(false));
      }
    } else {
      out.push_back(StatementAt(false));
    }
    return out;
  }

  ObjectName Object() {
    std::vector<std::string> parts;
    parts.push_back(Name());
    while (Peek().IsSymbol(".")) {
      Take();
      if (Peek().IsSymbol(".")) {
        parts.emplace_back();
        continue;
      }
      parts.push_back(Name());
    }
    if (parts.size() > 4) Fail();
    ObjectName n;
    n.object = parts.back();
    if (parts.size() >= 2) n.schema = parts[parts.size() - 2];
    if (parts.size() >= 3) n.database = parts[parts.size() - 3];
    if (parts.size() == 3 && n.database.empty()) Fail();
    return n;
  }

  InsertStmt Insert() {
    Expect("INSERT");
    Accept("INTO");
    InsertStmt s;
    s.table = Object();
    if (Peek().Is("WITH") && Peek(1).IsSymbol("(")) {
      Take();
      SkipParens();
    }
    if (Peek().IsSymbol("(") && !Peek(1).Is("SELECT")) {
      Take();
      do s.columns.push_back(Name());
      while (AcceptSymbol(","));
      ExpectSymbol(")");
    }
    if (Accept("VALUES")) {
      do {
        ExpectSymbol("(");
        std::vector<ExprPtr> row;
        do row.push_back(Expression());
        while (AcceptSymbol(","));
        ExpectSymbol(")");
        s.rows.push_back(std::move(row));
      } while (AcceptSymbol(","));
    } else if (Peek().Is("SELECT") || Peek().IsSymbol("(")) {
      s.select = SelectChain();
    } else if (Accept("DEFAULT")) {
      Expect("VALUES");
      s.default_values = true;
    } else {
      Fail();
    }
    return s;
  }

  UpdateStmt Update() {
    Expect("UPDATE");
    UpdateStmt s;
    if (Accept("TOP")) s.top = TopValue();
    s.table = Object();
    SkipTableHints();
    Expect("SET");
    do {
      std::string column = Name();
      while (AcceptSymbol(".")) column = Name();  // T.col: the target's column
      ExpectSymbol("=");
      s.assignments.emplace_back(column, Expression());
    } while (AcceptSymbol(","));
    if (Accept("FROM")) s.from = FromList();
    if (Accept("WHERE")) s.where = Condition();
    return s;
  }

  DeleteStmt Delete() {
    Expect("DELETE");
    DeleteStmt s;
    if (Accept("TOP")) s.top = TopValue();
    Accept("FROM");
    s.table = Object();
    SkipTableHints();
    if (Accept("FROM")) s.from = FromList();
    if (Accept("WHERE")) s.where = Condition();
    return s;
  }

  ExprPtr TopValue() {
    if (AcceptSymbol("(")) {
      ExprPtr e = Expression();
      ExpectSymbol(")");
      return e;
    }
    return Primary();
  }

  StatementBody Create() {
    Expect("CREATE");
    if (Accept("TABLE")) return CreateTable();
    if (Accept("DATABASE")) {
      CreateDatabaseStmt s{Name()};
      while (!AtEnd() && !Peek().IsSymbol(";") && !StartsStatement()) Take();  // ON/LOG ON/COLLATE
      return s;
    }
    CreateIndexStmt s;
    s.unique = Accept("UNIQUE");
    if (!Accept("NONCLUSTERED")) Accept("CLUSTERED");
    Expect("INDEX");
    s.name = Name();
    Expect("ON");
    s.table = Object();
    ExpectSymbol("(");
    do {
      s.columns.push_back(Name());
      if (!Accept("ASC")) Accept("DESC");
    } while (AcceptSymbol(","));
    ExpectSymbol(")");
    if (Accept("WITH")) SkipParens();
    if (Accept("ON")) Name();
    return s;
  }

  bool StartsStatement() const {
    const Token& t = Peek();
    for (const char* w :
         {"SELECT", "INSERT", "UPDATE", "DELETE", "CREATE", "DROP", "USE", "SET", "EXEC", "EXECUTE",
          "KILL", "BEGIN", "COMMIT", "ROLLBACK", "IF", "PRINT", "RAISERROR", "DECLARE"})
      if (t.Is(w)) return true;
    return false;
  }

  void SkipParens() {
    ExpectSymbol("(");
    int depth = 1;
    while (depth > 0) {
      if (AtEnd()) Fail();
      const Token& t = Take();
      if (t.IsSymbol("(")) ++depth;
      if (t.IsSymbol(")")) --depth;
    }
  }

  void SkipTableHints() {
    if (Peek().Is("WITH") && Peek(1).IsSymbol("(")) {
      Take();
      SkipParens();
    } else if (Peek().IsSymbol("(")) {
      SkipParens();
    }
  }

  CreateTableStmt CreateTable() {
    CreateTableStmt s;
    s.table = Object();
    ExpectSymbol("(");
    do {
      if (Peek().Is("CONSTRAINT") || Peek().Is("PRIMARY") || Peek().Is("UNIQUE")) {
        s.keys.push_back(TableKey());
        continue;
      }
      s.columns.push_back(ColumnDefinition(static_cast<int>(s.columns.size()) + 1));
    } while (AcceptSymbol(","));
    ExpectSymbol(")");
    if (Accept("ON")) Name();
    return s;
  }

  KeyDef TableKey() {
    KeyDef k;
    if (Accept("CONSTRAINT")) k.name = Name();
    if (Accept("PRIMARY")) {
      Expect("KEY");
      k.primary = true;
    } else {
      Expect("UNIQUE");
    }
    if (!Accept("NONCLUSTERED")) Accept("CLUSTERED");
    ExpectSymbol("(");
    do {
      k.columns.push_back(Name());
      if (!Accept("ASC")) Accept("DESC");
    } while (AcceptSymbol(","));
    ExpectSymbol(")");
    return k;
  }

  ColumnDef ColumnDefinition(int number) {
    ColumnDef c;
    c.name = Name();
    c.type = Type(number, true);
    c.type.nullable = true;
    for (;;) {
      if (Accept("NULL")) {
        c.type.nullable = true;
      } else if (Peek().Is("NOT") && Peek(1).Is("NULL")) {
        i_ += 2;
        c.type.nullable = false;
      } else if (Accept("IDENTITY")) {
        c.identity = true;
        if (AcceptSymbol("(")) {
          c.seed = SignedInteger();
          ExpectSymbol(",");
          c.increment = SignedInteger();
          ExpectSymbol(")");
        }
      } else if (Accept("DEFAULT")) {
        std::size_t start = Peek().offset;
        c.default_value = Primary();
        std::size_t end = Peek().offset;
        c.default_text = std::string(sql_.substr(start, end - start));
        while (!c.default_text.empty() &&
               std::isspace(static_cast<unsigned char>(c.default_text.back())))
          c.default_text.pop_back();
      } else if (Accept("CONSTRAINT")) {
        c.constraint_name = Name();
      } else if (Accept("PRIMARY")) {
        Expect("KEY");
        if (!Accept("NONCLUSTERED")) Accept("CLUSTERED");
        c.primary_key = true;
      } else if (Accept("UNIQUE")) {
        if (!Accept("NONCLUSTERED")) Accept("CLUSTERED");
        c.unique = true;
      } else if (Accept("COLLATE")) {
        Name();
      } else {
        break;
      }
    }
    if (c.identity || c.primary_key)
      c.type.nullable = c.type.nullable && !c.identity && !c.primary_key;
    return c;
  }

  std::int64_t SignedInteger() {
    bool negative = AcceptSymbol("-");
    const Token& t = Take();
    if (t.kind != TokenKind::Number || t.text.find_first_not_of("0123456789") != std::string::npos)
      throw SyntaxError(t.text);
    std::int64_t v = std::stoll(t.text);
    return negative ? -v : v;
  }

  // A type name with its optional (length) or (precision, scale).
  SqlType Type(int column, bool declaration) {
    const Token& name_token = Peek();
    std::string name = Name();
    if (CompareCi(name, "double") == 0 && Accept("precision")) name = "float";
    std::optional<TypeId> id = TypeFromName(name);
    if (!id && !declaration)
      throw BatchAbort(Msg(243, 16, 1, "Type " + name + " is not a defined system type."));
    if (!id) throw UnknownType(column, name);
    SqlType t = DefaultType(*id);
    if (!declaration && (*id == TypeId::Char || *id == TypeId::VarChar || *id == TypeId::NChar ||
                         *id == TypeId::NVarChar))
      t.length = 30;
    if (AcceptSymbol("(")) {
      std::vector<std::int64_t> args;
      bool max = false;
      do {
        if (Accept("MAX")) {
          max = true;
        } else {
          const Token& n = Take();
          if (n.kind != TokenKind::Number) throw SyntaxError(n.text);
          args.push_back(std::stoll(n.text));
        }
      } while (AcceptSymbol(","));
      ExpectSymbol(")");
      switch (*id) {
        case TypeId::Char:
        case TypeId::VarChar:
        case TypeId::NChar:
        case TypeId::NVarChar:
        case TypeId::Binary:
        case TypeId::VarBinary:
          if (max && *id != TypeId::VarChar && *id != TypeId::NVarChar && *id != TypeId::VarBinary)
            throw SyntaxError("max");
          if (args.size() > 1) throw SyntaxError(",");
          t.length = max ? SqlType::kMaxLength : static_cast<std::int32_t>(args.at(0));
          if (!max && (t.length < 1 || t.length > (IsUnicode(*id) ? 4000 : 8000)))
            throw BatchAbort(Msg(131, 15, 2,
                                 "The size (" + std::to_string(t.length) + ") given to the type '" +
                                     TypeName(*id) +
                                     "' exceeds the maximum allowed for any data type (" +
                                     (IsUnicode(*id) ? "4000" : "8000") + ")."));
          break;
        case TypeId::Decimal:
          if (max || args.empty() || args.size() > 2 || args[0] < 1 || args[0] > 38 ||
              (args.size() == 2 && (args[1] < 0 || args[1] > args[0])))
            throw SyntaxError(name_token.text);
          t.precision = static_cast<std::uint8_t>(args[0]);
          t.scale = static_cast<std::uint8_t>(args.size() == 2 ? args[1] : 0);
          break;
        case TypeId::Time:
          if (max || args.size() != 1 || args[0] < 0 || args[0] > 7) throw SyntaxError(name);
          t.scale = static_cast<std::uint8_t>(args[0]);
          break;
        case TypeId::Float:
          if (args.size() == 1 && args[0] <= 24) t.id = TypeId::Real;
          break;
        case TypeId::DateTime:
          // datetime2(n): kept as datetime, whose precision the stand-in stores.
          if (CompareCi(name, "datetime2") != 0 || max || args.size() != 1 || args[0] < 0 ||
              args[0] > 7)
            throw SyntaxError("(");
          break;
        default:
          throw SyntaxError("(");
      }
    }
    return t;
  }

  StatementBody Drop() {
    Expect("DROP");
    if (Accept("TABLE")) {
      DropTableStmt s;
      if (Peek().Is("IF") && Peek(1).Is("EXISTS")) {
        i_ += 2;
        s.if_exists = true;
      }
      do s.tables.push_back(Object());
      while (AcceptSymbol(","));
      return s;
    }
    if (Accept("DATABASE")) {
      DropDatabaseStmt s;
      if (Peek().Is("IF") && Peek(1).Is("EXISTS")) {
        i_ += 2;
        s.if_exists = true;
      }
      s.name = Name();
      return s;
    }
    Expect("INDEX");
    DropIndexStmt s;
    ObjectName first = Object();
    if (Accept("ON")) {
      s.name = first.object;
      s.table = Object();
    } else {
      // table.index
      s.name = first.object;
      s.table.object = first.schema;
      s.table.database = "";
      if (s.table.object.empty()) Fail();
    }
    return s;
  }

  SetStmt Set() {
    Expect("SET");
    SetStmt s;
    if (Peek().kind == TokenKind::Variable) throw NotSupported("SET @variable");
    do {
      const Token& t = Take();
      if (t.kind != TokenKind::Word) throw SyntaxError(t.text);
      s.options.push_back(Upper(t.text));
    } while (AcceptSymbol(","));
    const Token& v = Peek();
    if (v.kind == TokenKind::Word || v.kind == TokenKind::Number ||
        v.kind == TokenKind::QuotedName || v.kind == TokenKind::String ||
        v.kind == TokenKind::NString) {
      s.value = Take().text;
    } else if (v.IsSymbol("-") && Peek(1).kind == TokenKind::Number) {
      Take();
      s.value = "-" + Take().text;
    } else if (v.kind == TokenKind::Variable) {
      s.expr = Primary();
    } else {
      Fail();
    }
    // SET TRANSACTION ISOLATION LEVEL READ COMMITTED and the like
    while (Peek().kind == TokenKind::Word && !StartsStatement() && !Peek().Is("ELSE") &&
           !Peek().Is("END"))
      s.value += " " + Take().text;
    return s;
  }

  ExecStmt Exec() {
    ExecStmt s;
    if (Peek().kind == TokenKind::Variable && Peek(1).IsSymbol("="))
      i_ += 2;  // EXEC @status = proc
    if (Peek().IsSymbol("(")) throw NotSupported("EXEC of a string");
    s.procedure = Object();
    if (AtEnd() || Peek().IsSymbol(";") || StartsStatement()) return s;
    do {
      ExecArg a;
      if (Peek().kind == TokenKind::Variable && Peek(1).IsSymbol("=")) {
        a.name = Take().text;
        Take();
      }
      if (Accept("DEFAULT")) {
        a.value = nullptr;
      } else if (Peek().kind == TokenKind::Word && !IsClauseWord(Peek()) && !Peek().Is("NULL") &&
                 !Peek(1).IsSymbol("(") && !Peek(1).IsSymbol(".")) {
        // A bare word argument is a string: EXEC sp_columns CFGPROPL
        auto e = std::make_unique<Expr>();
        e->kind = ExprKind::Literal;
        e->token = Take();
        e->token.kind = TokenKind::String;
        a.value = std::move(e);
      } else {
        a.value = Expression();
      }
      if (Accept("OUTPUT") || Accept("OUT")) a.output = true;
      s.args.push_back(std::move(a));
    } while (AcceptSymbol(","));
    return s;
  }

  // ---- SELECT ----
  std::shared_ptr<Select> SelectChain() {
    DepthGuard guard(depth_);
    std::shared_ptr<Select> first;
    if (AcceptSymbol("(")) {
      first = SelectChain();
      ExpectSymbol(")");
    } else {
      first = SelectCore();
    }
    Select* last = first.get();
    while (Accept("UNION")) {
      last->union_all = Accept("ALL");
      if (AcceptSymbol("(")) {
        last->union_next = SelectChain();
        ExpectSymbol(")");
      } else {
        last->union_next = SelectCore();
      }
      last = last->union_next.get();
    }
    if (Accept("ORDER")) {
      Expect("BY");
      do {
        OrderItem o;
        o.expr = Expression();
        if (Accept("DESC"))
          o.descending = true;
        else
          Accept("ASC");
        first->order_by.push_back(std::move(o));
      } while (AcceptSymbol(","));
    }
    return first;
  }

  std::shared_ptr<Select> SelectCore() {
    Expect("SELECT");
    auto s = std::make_shared<Select>();
    if (Accept("DISTINCT"))
      s->distinct = true;
    else
      Accept("ALL");
    if (Accept("TOP")) {
      s->top = TopValue();
      if (Accept("PERCENT")) s->top_percent = true;
    }
    do s->items.push_back(Item());
    while (AcceptSymbol(","));
    if (Accept("INTO")) s->into = Object();
    if (Accept("FROM")) s->from = FromList();
    if (Accept("WHERE")) s->where = Condition();
    if (Accept("GROUP")) {
      Expect("BY");
      do s->group_by.push_back(Expression());
      while (AcceptSymbol(","));
    }
    if (Accept("HAVING")) s->having = Condition();
    return s;
  }

  SelectItem Item() {
    SelectItem item;
    if (AcceptSymbol("*")) {
      item.star = true;
      return item;
    }
    // T.* and db.schema.T.*
    std::size_t k = 0;
    while (IsName(Peek(k)) && Peek(k + 1).IsSymbol(".")) k += 2;
    if (k > 0 && Peek(k).IsSymbol("*")) {
      for (std::size_t j = 0; j < k; j += 2) item.star_qualifier.push_back(Peek(j).text);
      i_ += k + 1;
      item.star = true;
      return item;
    }
    // alias = expression
    if ((IsName(Peek()) || Peek().kind == TokenKind::String) && Peek(1).IsSymbol("=") &&
        !IsClauseWord(Peek())) {
      item.alias = Take().text;
      Take();
      item.expr = Expression();
      return item;
    }
    item.expr = Expression();
    if (Accept("AS")) {
      const Token& t = Take();
      if (!IsName(t) && t.kind != TokenKind::String) throw SyntaxError(t.text);
      item.alias = t.text;
    } else if ((Peek().kind == TokenKind::Word && !IsClauseWord(Peek())) ||
               Peek().kind == TokenKind::QuotedName || Peek().kind == TokenKind::String) {
      item.alias = Take().text;
    }
    if (CharCount(item.alias) > 128) throw IdentifierTooLong(item.alias);
    return item;
  }

  std::vector<FromItem> FromList() {
    std::vector<FromItem> out;
    do {
      FromItem f;
      f.first = Table();
      for (;;) {
        Join j;
        if (Accept("CROSS")) {
          Expect("JOIN");
          j.kind = "CROSS";
        } else if (Accept("INNER")) {
          Expect("JOIN");
          j.kind = "INNER";
        } else if (Accept("JOIN")) {
          j.kind = "INNER";
        } else if (Peek().Is("LEFT") || Peek().Is("RIGHT") || Peek().Is("FULL")) {
          j.kind = Upper(Take().text);
          Accept("OUTER");
          Expect("JOIN");
        } else {
          break;
        }
        j.table = Table();
        if (j.kind != "CROSS") {
          Expect("ON");
          j.on = Condition();
        }
        f.joins.push_back(std::move(j));
      }
      out.push_back(std::move(f));
    } while (AcceptSymbol(","));
    return out;
  }

  TableRef Table() {
    TableRef t;
    if (AcceptSymbol("(")) {
      t.derived = SelectChain();
      ExpectSymbol(")");
    } else {
      t.name = Object();
    }
    SkipTableHints();
    if (Accept("AS")) {
      t.alias = Name();
    } else if ((Peek().kind == TokenKind::Word && !IsClauseWord(Peek())) ||
               Peek().kind == TokenKind::QuotedName) {
      t.alias = Name();
    }
    SkipTableHints();
    if (t.derived && t.alias.empty()) Fail();
    return t;
  }

  // ---- expressions ----
  ExprPtr Make(ExprKind kind) {
    auto e = std::make_unique<Expr>();
    e->kind = kind;
    return e;
  }

  ExprPtr MakeBinary(std::string op, ExprPtr a, ExprPtr b) {
    ExprPtr e = Make(ExprKind::Binary);
    e->text = std::move(op);
    e->args.push_back(std::move(a));
    e->args.push_back(std::move(b));
    return e;
  }

  ExprPtr Condition() { return Or(); }

  ExprPtr Or() {
    DepthGuard guard(depth_);
    ExprPtr left = And();
    while (Accept("OR")) left = MakeBinary("OR", std::move(left), And());
    return left;
  }

  ExprPtr And() {
    ExprPtr left = Not();
    while (Accept("AND")) left = MakeBinary("AND", std::move(left), Not());
    return left;
  }

  ExprPtr Not() {
    DepthGuard guard(depth_);
    if (Accept("NOT")) {
      ExprPtr e = Make(ExprKind::Unary);
      e->text = "NOT";
      e->args.push_back(Not());
      return e;
    }
    return Predicate();
  }

  ExprPtr Predicate() {
    if (Peek().Is("EXISTS")) {
      Take();
      ExprPtr e = Make(ExprKind::Exists);
      ExpectSymbol("(");
      e->subquery = SelectChain();
      ExpectSymbol(")");
      return e;
    }
    ExprPtr left = Expression();
    for (const char* op : {"=", "<>", "!=", "<", ">", "<=", ">=", "!<", "!>"}) {
      if (AcceptSymbol(op)) {
        std::string o = op;
        if (o == "!=") o = "<>";
        if (o == "!<") o = ">=";
        if (o == "!>") o = "<=";
        return MakeBinary(o, std::move(left), Expression());
      }
    }
    if (Accept("IS")) {
      ExprPtr e = Make(ExprKind::IsNull);
      e->negated = Accept("NOT");
      Expect("NULL");
      e->args.push_back(std::move(left));
      return e;
    }
    bool negated = false;
    if (Peek().Is("NOT") && (Peek(1).Is("LIKE") || Peek(1).Is("IN") || Peek(1).Is("BETWEEN"))) {
      Take();
      negated = true;
    }
    if (Accept("LIKE")) {
      ExprPtr e = Make(ExprKind::Like);
      e->negated = negated;
      e->args.push_back(std::move(left));
      e->args.push_back(Expression());
      if (Accept("ESCAPE")) {
        e->has_escape = true;
        e->args.push_back(Expression());
      }
      return e;
    }
    if (Accept("BETWEEN")) {
      ExprPtr e = Make(ExprKind::Between);
      e->negated = negated;
      e->args.push_back(std::move(left));
      e->args.push_back(Expression());
      Expect("AND");
      e->args.push_back(Expression());
      return e;
    }
    if (Accept("IN")) {
      ExpectSymbol("(");
      if (Peek().Is("SELECT")) {
        ExprPtr e = Make(ExprKind::InSelect);
        e->negated = negated;
        e->args.push_back(std::move(left));
        e->subquery = SelectChain();
        ExpectSymbol(")");
        return e;
      }
      ExprPtr e = Make(ExprKind::InList);
      e->negated = negated;
      e->args.push_back(std::move(left));
      do e->args.push_back(Expression());
      while (AcceptSymbol(","));
      ExpectSymbol(")");
      return e;
    }
    if (negated) Fail();
    return left;
  }

  ExprPtr Expression() {
    DepthGuard guard(depth_);
    ExprPtr left = Term();
    for (;;) {
      const Token& t = Peek();
      if (t.IsSymbol("+") || t.IsSymbol("-") || t.IsSymbol("&") || t.IsSymbol("|") ||
          t.IsSymbol("^")) {
        std::string op = Take().text;
        left = MakeBinary(op, std::move(left), Term());
      } else {
        return left;
      }
    }
  }

  ExprPtr Term() {
    ExprPtr left = Unary();
    for (;;) {
      const Token& t = Peek();
      if (t.IsSymbol("*") || t.IsSymbol("/") || t.IsSymbol("%")) {
        std::string op = Take().text;
        left = MakeBinary(op, std::move(left), Unary());
      } else {
        return left;
      }
    }
  }

  ExprPtr Unary() {
    DepthGuard guard(depth_);
    if (Peek().IsSymbol("-") || Peek().IsSymbol("+") || Peek().IsSymbol("~")) {
      std::string op = Take().text;
      // -2147483648 and other negative literals stay literals.
      if (op == "-" && Peek().kind == TokenKind::Number) {
        ExprPtr e = Make(ExprKind::Literal);
        e->token = Take();
        e->token.text = "-" + e->token.text;
        return e;
      }
      ExprPtr e = Make(ExprKind::Unary);
      e->text = op;
      e->args.push_back(Unary());
      return e;
    }
    return Primary();
  }

  ExprPtr Primary() {
    DepthGuard guard(depth_);
    const Token& t = Peek();
    switch (t.kind) {
      case TokenKind::Number:
      case TokenKind::String:
      case TokenKind::NString:
      case TokenKind::Binary: {
        ExprPtr e = Make(ExprKind::Literal);
        e->token = Take();
        return e;
      }
      case TokenKind::Variable: {
        ExprPtr e = Make(ExprKind::Variable);
        e->text = Take().text;
        return e;
      }
      case TokenKind::Symbol:
        if (t.IsSymbol("(")) {
          Take();
          if (Peek().Is("SELECT")) {
            ExprPtr e = Make(ExprKind::Subquery);
            e->subquery = SelectChain();
            ExpectSymbol(")");
            return e;
          }
          ExprPtr e = Condition();
          ExpectSymbol(")");
          return e;
        }
        if (t.IsSymbol("$")) {
          Take();
          ExprPtr e = Make(ExprKind::Cast);
          e->cast_type = DefaultType(TypeId::Money);
          ExprPtr lit = Make(ExprKind::Literal);
          lit->token = Take();
          if (lit->token.kind != TokenKind::Number) throw SyntaxError(lit->token.text);
          e->args.push_back(std::move(lit));
          return e;
        }
        Fail();
      case TokenKind::End:
        Fail();
      case TokenKind::Word:
      case TokenKind::QuotedName:
        break;
    }
    if (t.kind == TokenKind::Word) {
      if (t.Is("NULL")) {
        ExprPtr e = Make(ExprKind::Literal);
        e->token = Take();
        return e;
      }
      if (t.Is("CASE")) return Case();
      if (t.Is("CAST") && Peek(1).IsSymbol("(")) {
        i_ += 2;
        ExprPtr e = Make(ExprKind::Cast);
        e->args.push_back(Expression());
        Expect("AS");
        e->cast_type = Type(1, false);
        ExpectSymbol(")");
        return e;
      }
      if (t.Is("CONVERT") && Peek(1).IsSymbol("(")) {
        i_ += 2;
        ExprPtr e = Make(ExprKind::Cast);
        e->cast_type = Type(1, false);
        ExpectSymbol(",");
        e->args.push_back(Expression());
        if (AcceptSymbol(",")) e->args.push_back(Expression());  // style
        ExpectSymbol(")");
        return e;
      }
      if (t.Is("CURRENT_TIMESTAMP")) {
        Take();
        ExprPtr e = Make(ExprKind::Function);
        e->text = "GETDATE";
        return e;
      }
      if (IsClauseWord(t) && !Peek(1).IsSymbol("(")) Fail();
    }
    if (Peek(1).IsSymbol("(") && t.kind == TokenKind::Word) return Function();
    ExprPtr e = Make(ExprKind::Column);
    e->names.push_back(Name());
    while (Peek().IsSymbol(".")) {
      Take();
      if (Peek().IsSymbol(".")) {
        e->names.emplace_back();
        continue;
      }
      e->names.push_back(Name());
    }
    if (e->names.size() > 4) Fail();
    return e;
  }

  ExprPtr Function() {
    ExprPtr e = Make(ExprKind::Function);
    e->text = Upper(Take().text);
    ExpectSymbol("(");
    if (AcceptSymbol(")")) return e;
    if (AcceptSymbol("*")) {
      e->star = true;
      ExpectSymbol(")");
      return e;
    }
    if (Accept("DISTINCT"))
      e->distinct = true;
    else
      Accept("ALL");
    if (e->text == "DATEADD" || e->text == "DATEDIFF" || e->text == "DATEPART" ||
        e->text == "DATENAME") {
      ExprPtr part = Make(ExprKind::Literal);
      part->token = Take();
      part->token.kind = TokenKind::String;
      e->args.push_back(std::move(part));
      ExpectSymbol(",");
    }
    do e->args.push_back(Expression());
    while (AcceptSymbol(","));
    ExpectSymbol(")");
    return e;
  }

  ExprPtr Case() {
    Expect("CASE");
    ExprPtr e = Make(ExprKind::Case);
    if (!Peek().Is("WHEN")) {
      e->has_operand = true;
      e->args.push_back(Expression());
    }
    if (!Peek().Is("WHEN")) Fail();
    while (Accept("WHEN")) {
      e->args.push_back(e->has_operand ? Expression() : Condition());
      Expect("THEN");
      e->args.push_back(Expression());
    }
    if (Accept("ELSE")) {
      e->has_else = true;
      e->args.push_back(Expression());
    }
    Expect("END");
    return e;
  }

  std::vector<Token> t_;
  std::string_view sql_;
  std::size_t i_ = 0;
  int depth_ = 0;
};

}  // namespace

std::vector<Statement> ParseBatch(std::string_view sql, bool quoted_identifier) {
  Parser parser(Lex(sql, quoted_identifier), sql);
  try {
    return parser.Batch();
  } catch (const SqlError& e) {
    // Syntax errors name the line they were found on.
    std::vector<ServerMessage> messages = e.messages();
    for (ServerMessage& m : messages)
      if (m.line == 0) m.line = parser.Line();
    throw SqlError(std::move(messages), e.aborts_batch());
  }
}

SqlType ParseTypeText(std::string_view text, int column) {
  return Parser(Lex(text, true), text).TypeOnly(column);
}

}  // namespace standin::engine
