// SELECT: select lists, FROM sources and joins, UNION, ORDER BY.
#include "parse/parser_impl.h"

namespace standin::engine::parsing {

std::shared_ptr<Select> Parser::SelectChain() {
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

std::shared_ptr<Select> Parser::SelectCore() {
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

SelectItem Parser::Item() {
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

std::vector<FromItem> Parser::FromList() {
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

TableRef Parser::Table() {
  TableRef t;
  if (AcceptSymbol("(")) {
    t.derived = SelectChain();
    ExpectSymbol(")");
  } else {
    t.name = Object();
    TableHints();
  }
  if (Accept("AS")) {
    t.alias = Name();
  } else if ((Peek().kind == TokenKind::Word && !IsClauseWord(Peek())) ||
             Peek().kind == TokenKind::QuotedName) {
    t.alias = Name();
  }
  if (!t.derived) TableHints();
  if (t.derived && t.alias.empty()) Fail();
  return t;
}

}  // namespace standin::engine::parsing
