// Statements other than SELECT, and type names.
#include "parse/parser_impl.h"
#include "values/sql_types.h"

namespace standin::engine::parsing {

Statement Parser::StatementAt(bool first_in_batch) {
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
  } else if (t.Is("WAITFOR")) {
    Take();
    Expect("DELAY");
    s.body = WaitStmt{Primary()};
  } else if (t.Is("ALTER")) {
    Take();
    Expect("TABLE");
    AlterTableStmt a;
    a.table = Object();
    Expect("ADD");
    do a.added.push_back(ColumnDefinition(static_cast<int>(a.added.size()) + 1));
    while (AcceptSymbol(","));
    s.body = std::move(a);
  } else if (t.Is("TRUNCATE")) {
    Take();
    Expect("TABLE");
    DeleteStmt d;
    d.truncate = true;
    d.table = Object();
    s.body = std::move(d);
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

void Parser::SkipTransactionName() {
  if ((Peek().kind == TokenKind::Word && !IsClauseWord(Peek())) ||
      Peek().kind == TokenKind::QuotedName || Peek().kind == TokenKind::Variable)
    Take();
}

std::shared_ptr<IfStmt> Parser::If() {
  Expect("IF");
  auto s = std::make_shared<IfStmt>();
  s->condition = Condition();
  s->then_branch = Block();
  if (Accept("ELSE")) s->else_branch = Block();
  return s;
}

std::vector<Statement> Parser::Block() {
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

ObjectName Parser::Object() {
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

InsertStmt Parser::Insert() {
  Expect("INSERT");
  Accept("INTO");
  InsertStmt s;
  s.table = Object();
  // Bare parentheses here are the column list: the target's hints need WITH.
  if (Peek().Is("WITH") && Peek(1).IsSymbol("(")) TargetTableHints();
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

UpdateStmt Parser::Update() {
  Expect("UPDATE");
  UpdateStmt s;
  if (Accept("TOP")) s.top = TopValue();
  s.table = Object();
  TargetTableHints();
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

DeleteStmt Parser::Delete() {
  Expect("DELETE");
  DeleteStmt s;
  if (Accept("TOP")) s.top = TopValue();
  Accept("FROM");
  s.table = Object();
  TargetTableHints();
  if (Accept("FROM")) s.from = FromList();
  if (Accept("WHERE")) s.where = Condition();
  return s;
}

ExprPtr Parser::TopValue() {
  if (AcceptSymbol("(")) {
    ExprPtr e = Expression();
    ExpectSymbol(")");
    return e;
  }
  return Primary();
}

StatementBody Parser::Create() {
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

bool Parser::StartsStatement() const {
  const Token& t = Peek();
  for (const char* w :
       {"SELECT", "INSERT", "UPDATE",    "DELETE",  "CREATE",   "DROP",    "USE",
        "SET",    "EXEC",   "EXECUTE",   "KILL",    "BEGIN",    "COMMIT",  "ROLLBACK",
        "IF",     "PRINT",  "RAISERROR", "DECLARE", "TRUNCATE", "WAITFOR", "ALTER"})
    if (t.Is(w)) return true;
  return false;
}

void Parser::SkipParens() {
  ExpectSymbol("(");
  int depth = 1;
  while (depth > 0) {
    if (AtEnd()) Fail();
    const Token& t = Take();
    if (t.IsSymbol("(")) ++depth;
    if (t.IsSymbol(")")) --depth;
  }
}

CreateTableStmt Parser::CreateTable() {
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

KeyDef Parser::TableKey() {
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

ColumnDef Parser::ColumnDefinition(int number) {
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

std::int64_t Parser::SignedInteger() {
  bool negative = AcceptSymbol("-");
  const Token& t = Take();
  if (t.kind != TokenKind::Number || t.text.find_first_not_of("0123456789") != std::string::npos)
    throw SyntaxError(t.text);
  std::int64_t v = std::stoll(t.text);
  return negative ? -v : v;
}

// A type name with its optional (length) or (precision, scale).
SqlType Parser::Type(int column, bool declaration) {
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
      case TypeId::DateTime2:
        if (max || args.size() != 1 || args[0] < 0 || args[0] > 7) throw SyntaxError(name);
        t.scale = static_cast<std::uint8_t>(args[0]);
        break;
      case TypeId::Float:
        if (args.size() == 1 && args[0] <= 24) t.id = TypeId::Real;
        break;
      default:
        throw SyntaxError("(");
    }
  }
  return t;
}

StatementBody Parser::Drop() {
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

SetStmt Parser::Set() {
  Expect("SET");
  SetStmt s;
  if (Peek().kind == TokenKind::Variable) throw NotSupported("SET @variable");
  do {
    const Token& t = Take();
    if (t.kind != TokenKind::Word) throw SyntaxError(t.text);
    s.options.push_back(Upper(t.text));
  } while (AcceptSymbol(","));
  if (s.options.size() == 1 && s.options[0] == "IDENTITY_INSERT") {
    s.table = Object();
    if (!Peek().Is("ON") && !Peek().Is("OFF")) Fail();
    s.value = Take().text;
    return s;
  }
  const Token& v = Peek();
  if (v.kind == TokenKind::Word || v.kind == TokenKind::Number || v.kind == TokenKind::QuotedName ||
      v.kind == TokenKind::String || v.kind == TokenKind::NString) {
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

ExecStmt Parser::Exec() {
  ExecStmt s;
  if (Peek().kind == TokenKind::Variable && Peek(1).IsSymbol("=")) i_ += 2;  // EXEC @status = proc
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

}  // namespace standin::engine::parsing
