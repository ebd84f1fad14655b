// Table hints: SQL Server checks their names at compile time and refuses the
// ones that would read uncommitted rows on a table being changed. The
// stand-in runs every statement alike, so a hint has no effect beyond that.
#include <algorithm>
#include <array>

#include "parse/parser_impl.h"
#include "values/collation.h"

namespace standin::engine::parsing {
namespace {

bool IsTableHint(const std::string& upper) {
  static constexpr std::array<std::string_view, 25> kHints = {"FORCESCAN",
                                                              "FORCESEEK",
                                                              "HOLDLOCK",
                                                              "IGNORE_CONSTRAINTS",
                                                              "IGNORE_TRIGGERS",
                                                              "INDEX",
                                                              "KEEPDEFAULTS",
                                                              "KEEPIDENTITY",
                                                              "NOEXPAND",
                                                              "NOLOCK",
                                                              "NOWAIT",
                                                              "PAGLOCK",
                                                              "READCOMMITTED",
                                                              "READCOMMITTEDLOCK",
                                                              "READPAST",
                                                              "READUNCOMMITTED",
                                                              "REPEATABLEREAD",
                                                              "ROWLOCK",
                                                              "SERIALIZABLE",
                                                              "SNAPSHOT",
                                                              "SPATIAL_WINDOW_MAX_CELLS",
                                                              "TABLOCK",
                                                              "TABLOCKX",
                                                              "UPDLOCK",
                                                              "XLOCK"};
  return std::find(kHints.begin(), kHints.end(), upper) != kHints.end();
}

}  // namespace

std::vector<std::string> Parser::TableHints() {
  if (Peek().Is("WITH") && Peek(1).IsSymbol("(")) {
    Take();
  } else if (!Peek().IsSymbol("(")) {
    return {};
  }
  ExpectSymbol("(");
  std::vector<std::string> hints;
  do {
    if (Peek().kind != TokenKind::Word && Peek().kind != TokenKind::QuotedName) Fail();
    const Token& name = Take();
    std::string hint = UpperCase(name.text);
    if (!IsTableHint(hint)) throw UnknownTableHint(name.text);
    // INDEX(ix), FORCESEEK(ix(col)), INDEX = ix, SPATIAL_WINDOW_MAX_CELLS = 512
    if (Peek().IsSymbol("(")) {
      SkipParens();
    } else if (AcceptSymbol("=")) {
      if (Peek().IsSymbol("(")) {
        SkipParens();
      } else {
        Take();
      }
    }
    hints.push_back(std::move(hint));
    AcceptSymbol(",");  // the list's commas are optional
  } while (!AcceptSymbol(")"));
  return hints;
}

void Parser::TargetTableHints() {
  for (const std::string& hint : TableHints())
    if (hint == "NOLOCK" || hint == "READUNCOMMITTED") throw ReadUncommittedTarget();
}

}  // namespace standin::engine::parsing
