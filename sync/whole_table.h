// A table dataset over the whole of a declared property table, whatever
// master the window links it to.
#pragma once

#include <memory>

#include "db/sqlserver/connection.h"
#include "db/sqlserver/table.h"
#include "sync/property_declarations.h"

// A closed TMSTable on `AConnection` reading `ADeclaration`'s table without
// a master, with its declared fields (owned by the table), so it refuses the
// same column types the window's dataset refuses. Text, 32-bit, 64-bit and
// Boolean columns only; throws std::invalid_argument for another type.
std::unique_ptr<TMSTable> MakeWholeTable(TCustomMSConnection& AConnection,
                                         const TTableDeclaration& ADeclaration);
