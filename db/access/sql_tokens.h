// The tokens of a statement text as far as the layer needs them: words,
// quoted names and single characters, with the parenthesis depth at which
// each stands. Comments are skipped.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

struct TSqlToken {
  enum TKind {
    kWord,     // letters, digits, "_", "@", "#", "$" (keywords and plain names)
    kQuoted,   // "[name]" or "\"name\"", quotes included
    kLiteral,  // '...' string literal, quotes included
    kSymbol,   // any other single character
  };
  TKind Kind;
  std::size_t Pos;
  std::size_t Length;
  int Depth;  // parentheses open before the token; 0 at the top level

  std::string_view In(std::string_view AText) const { return AText.substr(Pos, Length); }
};

// The tokens of `AText` in order.
std::vector<TSqlToken> TokenizeSql(std::string_view AText);
