// Any bytes as a statement text with ":NAME" markers. For any input: the
// text sent holds the input with each marker (":" + name, or ":[" + name + "]"
// with each "]" of the name doubled) turned into one "?", everything else
// copied unchanged; and every marker stands where the statement tokenizer
// sees a bare ":", so the two agree on what is quoted or commented out.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "db/access/param_markers.h"
#include "db/access/sql_tokens.h"

namespace {

[[noreturn]] void Fail(const char* AWhat, std::string_view AText) {
  std::fprintf(stderr, "%s: %.*s\n", AWhat, static_cast<int>(AText.size()), AText.data());
  std::abort();
}

bool IsNameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '$' || c == '#' || static_cast<unsigned char>(c) >= 0x80;
}

// ":[" + `AName` + "]", its "]" doubled as inside any brackets.
std::string Bracketed(const std::string& AName) {
  std::string bracketed = ":[";
  for (char c : AName) {
    bracketed += c;
    if (c == ']') bracketed += ']';
  }
  return bracketed + ']';
}

// The markers of the input, found by walking the input and the text sent side
// by side; fails when the text sent is not the input with its markers
// replaced. Only called on inputs without "?", so that every "?" of the text
// sent is a placeholder.
std::vector<std::size_t> FindMarkers(std::string_view ASQL, const TParamMarkers& AParsed) {
  std::vector<std::size_t> positions;
  std::size_t in = 0;
  for (char c : AParsed.Text) {
    if (c != '?') {
      if (in >= ASQL.size() || ASQL[in] != c) Fail("text sent differs from the input", ASQL);
      ++in;
      continue;
    }
    if (positions.size() >= AParsed.Names.size()) Fail("more placeholders than names", ASQL);
    const std::string& name = AParsed.Names[positions.size()];
    const std::string bare = ":" + name;
    const std::string bracketed = Bracketed(name);
    const std::string_view rest = ASQL.substr(in);
    positions.push_back(in);
    if (rest.starts_with(bracketed)) {
      in += bracketed.size();
    } else if (!name.empty() && rest.starts_with(bare) &&
               (rest.size() == bare.size() || !IsNameChar(rest[bare.size()]))) {
      in += bare.size();
    } else {
      Fail("a placeholder stands for no marker of its name", ASQL);
    }
  }
  if (in != ASQL.size()) Fail("text sent ends early", ASQL);
  if (positions.size() != AParsed.Names.size()) Fail("more names than placeholders", ASQL);
  return positions;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* AData, std::size_t ASize) {
  const std::string_view sql(reinterpret_cast<const char*>(AData), ASize);
  const TParamMarkers parsed = ParseParamMarkers(sql);

  // A "?" of the input is copied, unless it is part of a bracketed name.
  const auto questions = [](std::string_view s) { return std::count(s.begin(), s.end(), '?'); };
  std::ptrdiff_t expected = questions(sql) + static_cast<std::ptrdiff_t>(parsed.Names.size());
  for (const std::string& name : parsed.Names) expected -= questions(name);
  if (questions(parsed.Text) != expected) Fail("placeholders do not match the names", sql);
  if (questions(sql) != 0) return 0;

  const std::vector<std::size_t> markers = FindMarkers(sql, parsed);
  const std::vector<TSqlToken> tokens = TokenizeSql(sql);
  for (std::size_t marker : markers) {
    // Tokens come in the order of the text.
    const auto token = std::lower_bound(
        tokens.begin(), tokens.end(), marker,
        [](const TSqlToken& AToken, std::size_t APos) { return AToken.Pos < APos; });
    if (token == tokens.end() || token->Pos != marker || token->Kind != TSqlToken::kSymbol) {
      Fail("a marker inside what the tokenizer skips", sql);
    }
  }
  return 0;
}
