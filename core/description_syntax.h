// The text of a stored description, one item per line:
//
//   // The location table, read by the pass.
//   object tblCFGPropertyLocation: TMSTable
//     Connection = dbJail
//     TableName = 'CFGPROPL'
//     Options.QuoteNames = True
//     RefreshOptions = [roBeforeEdit]
//   end
//
// Each "object Name: Class" ... "end" block is one component, in creation
// order; inside it, "Entry = value" lines in assignment order, an entry of a
// nested object written "Object.Entry". A value is an identifier (an
// enumeration value, True or False, or a component's name), a string in
// single quotes ('' inside for a quote, #N outside for character N, pieces
// run together: 'a'#13#10'b'), a decimal integer, or a set "[a, b]". Lines
// starting with "//" and blank lines are ignored; names are case-sensitive.
// Blocks do not nest.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/stored_value.h"

struct TStoredEntryText {
  std::string Path;  // "TableName", "Options.QuoteNames"
  TStoredValue Value;
  int Line = 0;
};

struct TStoredObjectText {
  std::string Name;
  std::string ClassName;
  int Line = 0;
  std::vector<TStoredEntryText> Entries;
};

// The blocks of `AText` in order. Throws EReadError "Line N: <what is
// wrong>" at the first line that breaks the syntax above.
std::vector<TStoredObjectText> ParseDescription(std::string_view AText);
