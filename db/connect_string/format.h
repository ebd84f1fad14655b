// The connect-string text format every connection shares: entries of a name,
// "=" and a value, separated by ";", and the value conversions its keys use.
// Which names exist and what they set belongs to the connection class.
//
// No message shows the text of an entry that follows a password entry: an
// unquoted password may hold ";", and then the entries after it are the rest
// of the password. Such an entry is named by its number instead ("entry 3").
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// One entry of a connect string, name and value trimmed.
struct TConnectStringEntry {
  std::string Name;
  std::string Value;    // without the double quotes that enclosed it
  bool Quoted = false;  // the value was enclosed in double quotes
  // Its place among the text's entries, from 1, blank ones not counted.
  std::size_t Number = 0;
  // A password entry comes before it: messages name it by Number alone.
  bool AfterPassword = false;
};

// The entries of `AText`, in order: the text is trimmed and split at ";"
// outside runs enclosed in double or single quotes; blank entries are
// skipped; an entry without "=" is all name. Names are not checked here.
std::vector<TConnectStringEntry> SplitConnectString(std::string_view AText);

// Whether `AName` names the password: "Password" or "PWD" in any letter case.
bool IsPasswordName(std::string_view AName);

// Whether the connect string `AText` gives a password: it has a password
// entry with a value.
bool HoldsPassword(std::string_view AText);

// What a message shows for `AText`, a part of `AEntry`: `AText` itself, or
// "entry N" (N its Number) when the entry follows a password entry.
std::string EntryInMessage(const TConnectStringEntry& AEntry, const std::string& AText);

// Throws Exception "Connection parameter name missing" for an empty name, and
// "Invalid character '%s' in non-quoted connection parameter value" (the
// whole UTF-8 character; after a password entry "Invalid character in
// non-quoted connection parameter value: entry N") when an unquoted value,
// other than a password's, holds a character outside the ranges a bare value
// may use.
void CheckConnectStringEntry(const TConnectStringEntry& AEntry);

// Whether `AName` equals `AKey` without regard to ASCII letter case.
bool SameKeyName(std::string_view AName, std::string_view AKey);

// The value of `AEntry`: "True"/"False" in any letter case, or a decimal
// number (0 is false, any other number true). Throws Exception "'%s' is not a
// valid boolean value" (after a password entry "The value of entry N is not a
// valid boolean value").
bool ConnectStringBoolean(const TConnectStringEntry& AEntry);

// The value of `AEntry`: a decimal 32-bit integer with an optional sign.
// Throws Exception "'%s' is not a valid integer value" (after a password
// entry "The value of entry N is not a valid integer value").
int ConnectStringInteger(const TConnectStringEntry& AEntry);
