// Expressions and search conditions, by precedence.
#include "parse/parser_impl.h"
#include "values/sql_types.h"

namespace standin::engine::parsing {

ExprPtr Parser::Make(ExprKind kind) {
  auto e = std::make_unique<Expr>();
  e->kind = kind;
  return e;
}

ExprPtr Parser::MakeBinary(std::string op, ExprPtr a, ExprPtr b) {
  ExprPtr e = Make(ExprKind::Binary);
  e->text = std::move(op);
  e->args.push_back(std::move(a));
  e->args.push_back(std::move(b));
  return e;
}

ExprPtr Parser::Condition() {
  return Or();
}

ExprPtr Parser::Or() {
  DepthGuard guard(depth_);
  ExprPtr left = And();
  while (Accept("OR")) left = MakeBinary("OR", std::move(left), And());
  return left;
}

ExprPtr Parser::And() {
  ExprPtr left = Not();
  while (Accept("AND")) left = MakeBinary("AND", std::move(left), Not());
  return left;
}

ExprPtr Parser::Not() {
  DepthGuard guard(depth_);
  if (Accept("NOT")) {
    ExprPtr e = Make(ExprKind::Unary);
    e->text = "NOT";
    e->args.push_back(Not());
    return e;
  }
  return Predicate();
}

ExprPtr Parser::Predicate() {
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

ExprPtr Parser::Expression() {
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

ExprPtr Parser::Term() {
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

ExprPtr Parser::Unary() {
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

ExprPtr Parser::Primary() {
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

ExprPtr Parser::Function() {
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

ExprPtr Parser::Case() {
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

}  // namespace standin::engine::parsing
