// The ":NAME" parameter markers of a statement text.
//
// A ":" directly followed by a name is a marker; the name is an identifier or
// keyword, or any text enclosed in "[" and "]" (the brackets are not part of
// the name, and "]]" inside stands for one "]"). A ":" inside a string literal, a quoted or
// bracketed identifier or a comment is not a marker, and a ":" followed by anything else (a digit,
// another ":", a blank) stays in the text unchanged.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct TParamMarkers {
  std::string Text;                // the statement with every marker replaced by "?"
  std::vector<std::string> Names;  // one name per marker, in the order of the text
};

// Finds the markers of `ASQL` and the text to send with positional placeholders.
TParamMarkers ParseParamMarkers(std::string_view ASQL);
