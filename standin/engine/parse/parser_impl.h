// The parser's machinery, shared by the files that parse statements, SELECTs
// and expressions. Only parser.cc's entry points use it.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "errors.h"
#include "parse/ast.h"
#include "values/collation.h"

namespace standin::engine::parsing {

constexpr int kMaxDepth = 128;

// Words that end a table reference or select item instead of naming an alias.
bool IsClauseWord(const Token& t);
std::string Upper(std::string_view s);

// Recursive descent over a batch's tokens, one method per construct.
class Parser {
 public:
  Parser(std::vector<Token> tokens, std::string_view sql) : t_(std::move(tokens)), sql_(sql) {}

  std::vector<Statement> Batch();
  // The line of the token being read (of the last one at the end).
  int Line() const;
  SqlType TypeOnly(int column);

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

  // ---- statements (parse_statements.cc) ----
  Statement StatementAt(bool first_in_batch);
  void SkipTransactionName();
  std::shared_ptr<IfStmt> If();
  std::vector<Statement> Block();
  ObjectName Object();
  InsertStmt Insert();
  UpdateStmt Update();
  DeleteStmt Delete();
  ExprPtr TopValue();
  StatementBody Create();
  bool StartsStatement() const;
  void SkipParens();
  // The hints after a table, WITH (...) or the older bare (...), in upper
  // case; none if no list follows. Throws 321 for a name SQL Server lacks.
  std::vector<std::string> TableHints();
  // The hints of an INSERT, UPDATE or DELETE target; NOLOCK and
  // READUNCOMMITTED are refused there (1065).
  void TargetTableHints();
  CreateTableStmt CreateTable();
  KeyDef TableKey();
  ColumnDef ColumnDefinition(int number);
  std::int64_t SignedInteger();
  // A type name with its optional (length) or (precision, scale).
  SqlType Type(int column, bool declaration);
  StatementBody Drop();
  SetStmt Set();
  ExecStmt Exec();

  // ---- SELECT (parse_select.cc) ----
  std::shared_ptr<Select> SelectChain();
  std::shared_ptr<Select> SelectCore();
  SelectItem Item();
  std::vector<FromItem> FromList();
  TableRef Table();

  // ---- expressions (parse_expressions.cc) ----
  ExprPtr Make(ExprKind kind);
  ExprPtr MakeBinary(std::string op, ExprPtr a, ExprPtr b);
  ExprPtr Condition();
  ExprPtr Or();
  ExprPtr And();
  ExprPtr Not();
  ExprPtr Predicate();
  ExprPtr Expression();
  ExprPtr Term();
  ExprPtr Unary();
  ExprPtr Primary();
  ExprPtr Function();
  ExprPtr Case();

  std::vector<Token> t_;
  std::string_view sql_;
  std::size_t i_ = 0;
  int depth_ = 0;
};

}  // namespace standin::engine::parsing
