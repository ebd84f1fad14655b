// The catalog views clients query (sys.databases, sys.tables, sys.objects,
// sys.columns and the old sysdatabases / sysobjects), made from the
// engine's own catalog tables.
#pragma once

#include <optional>
#include <string>

#include "catalog/catalog.h"

namespace standin::engine {

// The view named `name` (case-insensitive) over the database attached as
// `schema`, or nullopt when there is no such view. `master_schema` is where
// the list of databases lives.
std::optional<TableInfo> SystemView(const std::string& name, const std::string& schema,
                                    const std::string& master_schema, const std::string& database);

}  // namespace standin::engine
