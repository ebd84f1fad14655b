// The condition a detail dataset adds to its statement, and where it goes.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// For each (detail column, master column) pair "detail = :master", the pairs
// joined by " AND "; names quoted as QuoteName(`AQuoteNames`) does, so the
// marker ":[LOCKEY]" names the parameter LOCKEY.
std::string LinkCondition(const std::vector<std::pair<std::string, std::string>>& APairs,
                          bool AQuoteNames);

// `ASQL` with `ACondition` added to its top-level WHERE clause: an existing
// condition becomes "(existing) AND condition"; without one, "WHERE
// condition" goes before the next clause (GROUP BY, HAVING, ORDER BY, ...)
// or at the end.
std::string AddWhereCondition(std::string_view ASQL, std::string_view ACondition);
