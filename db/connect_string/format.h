// The connect-string text format every connection shares: entries of a name,
// "=" and a value, separated by ";", and the value conversions its keys use.
// Which names exist and what they set belongs to the connection class.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// One entry of a connect string, name and value trimmed.
struct TConnectStringEntry {
  std::string Name;
  std::string Value;    // without the double quotes that enclosed it
  bool Quoted = false;  // the value was enclosed in double quotes
};

// The entries of `AText`, in order: the text is trimmed and split at ";"
// outside runs enclosed in double or single quotes; blank entries are
// skipped; an entry without "=" is all name. Names are not checked here.
std::vector<TConnectStringEntry> SplitConnectString(std::string_view AText);

// Throws Exception "Connection parameter name missing" for an empty name, and
// "Invalid character '%s' in non-quoted connection parameter value" (the
// whole UTF-8 character) when an unquoted value, other than a password's,
// holds a character outside the ranges a bare value may use.
void CheckConnectStringEntry(const TConnectStringEntry& AEntry);

// Whether `AName` equals `AKey` without regard to ASCII letter case.
bool SameKeyName(std::string_view AName, std::string_view AKey);

// "True"/"False" in any letter case, or a decimal number (0 is false, any
// other number true). Throws Exception "'%s' is not a valid boolean value".
bool ConnectStringBoolean(const std::string& AValue);

// A decimal 32-bit integer with an optional sign. Throws Exception
// "'%s' is not a valid integer value".
int ConnectStringInteger(const std::string& AValue);
