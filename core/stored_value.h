// One value as a stored description holds it, before a property gives it a
// meaning: an identifier (an enumeration value, True/False, or the name of a
// component), a string, an integer, or a set of identifiers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum TStoredValueKind { svIdent, svString, svInteger, svSet };

struct TStoredValue {
  TStoredValueKind Kind = svIdent;
  std::string Text;                   // svIdent, svString
  std::int64_t Integer = 0;           // svInteger
  std::vector<std::string> Elements;  // svSet, in stored order

  static TStoredValue Ident(std::string AText) { return {svIdent, std::move(AText), 0, {}}; }
  static TStoredValue String(std::string AText) { return {svString, std::move(AText), 0, {}}; }
  static TStoredValue Int(std::int64_t AValue) { return {svInteger, {}, AValue, {}}; }
  static TStoredValue Set(std::vector<std::string> AElements) {
    return {svSet, {}, 0, std::move(AElements)};
  }

  bool operator==(const TStoredValue&) const = default;
};

// The value as the description's text writes it: the identifier as is; a
// string in single quotes ('' for a quote, #N for a control character
// outside them, e.g. 'a'#13#10'b'); decimal digits; "[a, b]".
std::string RenderStoredValue(const TStoredValue& AValue);
