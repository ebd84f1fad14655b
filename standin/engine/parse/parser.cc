#include "parse/parser.h"

#include <array>
#include <cctype>

#include "parse/parser_impl.h"

namespace standin::engine {

namespace parsing {

bool IsClauseWord(const Token& t) {
  static constexpr std::array kWords = {
      "WHERE",   "JOIN",   "INNER",    "LEFT",   "RIGHT",    "FULL",    "CROSS",    "OUTER",
      "ON",      "GROUP",  "ORDER",    "HAVING", "UNION",    "SET",     "WITH",     "FROM",
      "SELECT",  "INSERT", "UPDATE",   "DELETE", "CREATE",   "DROP",    "USE",      "EXEC",
      "EXECUTE", "KILL",   "BEGIN",    "COMMIT", "ROLLBACK", "IF",      "ELSE",     "VALUES",
      "INTO",    "AND",    "OR",       "NOT",    "AS",       "DECLARE", "PRINT",    "WHEN",
      "THEN",    "END",    "IS",       "LIKE",   "IN",       "BETWEEN", "ASC",      "DESC",
      "OPTION",  "FOR",    "TRUNCATE", "ALTER",  "GO",       "WAITFOR", "RAISERROR"};
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

std::vector<Statement> Parser::Batch() {
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
int Parser::Line() const {
  if (AtEnd() && i_ > 0) return t_[i_ - 1].line;
  return Peek().line;
}

SqlType Parser::TypeOnly(int column) {
  SqlType t = Type(column, false);
  if (!AtEnd()) throw SyntaxError(Peek().text);
  return t;
}

}  // namespace parsing

using parsing::Parser;

std::vector<Statement> ParseBatch(std::string_view sql, bool quoted_identifier) {
  Parser parser(Lex(sql, quoted_identifier), sql);
  try {
    return parser.Batch();
  } catch (const SqlError& e) {
    // Syntax errors name the line they were found on.
    std::vector<ServerMessage> messages = e.messages();
    for (ServerMessage& m : messages)
      if (m.line == 0) m.line = parser.Line();
    throw SqlError(std::move(messages), e.aborts_batch(), e.terminates_statement());
  }
}

SqlType ParseTypeText(std::string_view text, int column) {
  return Parser(Lex(text, true), text).TypeOnly(column);
}

}  // namespace standin::engine
