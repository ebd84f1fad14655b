// Table and column names in statement texts: quoting, unquoting, and the
// table a query reads first.
#pragma once

#include <string>
#include <string_view>

// True for a name the server takes without brackets: a letter, "_", "@" or
// "#", then letters, digits, "_", "@", "#" or "$".
bool IsPlainIdentifier(std::string_view AName);

// The one name `AName`, dots and all, enclosed in "[" and "]" with each "]"
// in it doubled ("a]b" gives "[a]]b]").
std::string BracketName(std::string_view AName);

// `AName` split at the dots outside quotes, each part bracketed as
// BracketName does when `AQuoteNames` is true or it is not a plain
// identifier; a part already enclosed in brackets stays as it is.
std::string QuoteName(std::string_view AName, bool AQuoteNames);

// `AName` trimmed, with an enclosing "[" "]" or pair of double quotes
// removed from each dot-separated part and the closing character doubled
// inside them made single.
std::string UnquoteName(std::string_view AName);

// The first table named after a top-level FROM of `ASQL`, unquoted
// ("dbo.T" for "FROM [dbo].[T]"); "" when there is none.
std::string FirstTableAfterFrom(std::string_view ASQL);
