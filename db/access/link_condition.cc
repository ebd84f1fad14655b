#include "db/access/link_condition.h"

#include <array>

#include "db/access/sql_names.h"
#include "db/access/sql_tokens.h"
#include "db/values/same_text.h"

namespace {

// Words that end a WHERE clause at the top level.
constexpr std::array<std::string_view, 9> kClausesAfterWhere = {
    "GROUP", "HAVING", "ORDER", "UNION", "EXCEPT", "INTERSECT", "FOR", "OPTION", "COMPUTE"};

bool IsTopLevelWord(const TSqlToken& AToken, std::string_view ASQL, std::string_view AWord) {
  return AToken.Depth == 0 && AToken.Kind == TSqlToken::kWord && SameText(AToken.In(ASQL), AWord);
}

bool IsBlank(char AChar) {
  return AChar == ' ' || AChar == '\t' || AChar == '\r' || AChar == '\n';
}

// `AText` without its trailing blanks, and those blanks.
std::pair<std::string_view, std::string_view> SplitTrailingBlanks(std::string_view AText) {
  std::size_t end = AText.size();
  while (end > 0 && IsBlank(AText[end - 1])) --end;
  return {AText.substr(0, end), AText.substr(end)};
}

}  // namespace

std::string LinkCondition(const std::vector<std::pair<std::string, std::string>>& APairs,
                          bool AQuoteNames) {
  std::string condition;
  for (const auto& [detail, master] : APairs) {
    if (!condition.empty()) condition += " AND ";
    condition += QuoteName(detail, AQuoteNames);
    condition += " = :";
    condition += QuoteName(master, AQuoteNames);
  }
  return condition;
}

std::string AddWhereCondition(std::string_view ASQL, std::string_view ACondition) {
  const std::vector<TSqlToken> tokens = TokenizeSql(ASQL);
  std::size_t where = std::string_view::npos;
  std::size_t clause = ASQL.size();
  for (const TSqlToken& token : tokens) {
    if (where == std::string_view::npos && IsTopLevelWord(token, ASQL, "WHERE")) {
      where = token.Pos;
      continue;
    }
    bool ends_where = false;
    for (std::string_view word : kClausesAfterWhere)
      ends_where |= IsTopLevelWord(token, ASQL, word);
    if (ends_where) {
      clause = token.Pos;
      break;
    }
  }
  const auto [head, head_blanks] = SplitTrailingBlanks(ASQL.substr(0, clause));
  // A comment closing the head would swallow what follows on its line.
  std::size_t last_token_end = 0;
  for (const TSqlToken& token : tokens) {
    if (token.Pos < head.size()) last_token_end = token.Pos + token.Length;
  }
  const bool head_ends_in_comment = last_token_end < head.size();
  const std::string comment_break = head_ends_in_comment ? "\r\n" : "";
  const std::string separator = !head_blanks.empty()   ? std::string(head_blanks)
                                : head_ends_in_comment ? "\r\n"
                                                       : " ";
  const std::string_view tail = ASQL.substr(clause);
  std::string text;
  if (where != std::string_view::npos) {
    std::string_view existing = head.substr(where + 5);
    while (!existing.empty() && IsBlank(existing.front())) existing.remove_prefix(1);
    text = std::string(head.substr(0, where)) + "WHERE (" + std::string(existing) + comment_break +
           ") AND " + std::string(ACondition);
  } else {
    text = std::string(head) + separator + "WHERE " + std::string(ACondition);
  }
  if (!tail.empty()) {
    text += head_blanks.empty() ? " " : std::string(head_blanks);
    text += tail;
  } else {
    text += head_blanks;
  }
  return text;
}
