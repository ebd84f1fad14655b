// Splits Transact-SQL text into tokens.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace standin::engine {

enum class TokenKind {
  Word,        // a keyword or regular identifier (may start with # or ##)
  QuotedName,  // [name] or "name" (the latter only under QUOTED_IDENTIFIER ON)
  String,      // '...' or "..." under QUOTED_IDENTIFIER OFF
  NString,     // N'...'
  Number,      // 12, 1.5, 1e3
  Binary,      // 0x0AFF
  Variable,    // @name or @@name
  Symbol,      // operators and punctuation
  End,
};

struct Token {
  TokenKind kind = TokenKind::End;
  std::string text;  // identifiers and strings unquoted; symbols as written
  int line = 1;
  std::size_t offset = 0;  // byte offset of the token in the batch

  // True for a Word equal to `keyword` regardless of case.
  bool Is(std::string_view keyword) const;
  bool IsSymbol(std::string_view symbol) const {
    return kind == TokenKind::Symbol && text == symbol;
  }
};

// Tokenizes a batch; the result always ends with an End token. An unclosed
// quote or comment fails with SQL Server's error 105 or 113.
std::vector<Token> Lex(std::string_view sql, bool quoted_identifier);

}  // namespace standin::engine
