// How the server puts a typed column or value on the wire: TYPE_INFO and the
// value bytes of ROW, NBCROW and RETURNVALUE, exactly as SQL Server sends them
// to a client of the given TDS version (older clients get the types they know:
// (max) types as text/ntext/image below 7.2, date and time as nvarchar below 7.3).
#pragma once

#include "byte_writer.h"
#include "server_version.h"
#include "sql_value.h"

namespace standin::tds {

// Writes the TYPE_INFO of a column of type `type`.
void WriteTypeInfo(ByteWriter& out, const SqlType& type, TdsVersion version);

// True if COLMETADATA follows this type's TYPE_INFO with a table name (text, ntext, image).
bool HasTableName(const SqlType& type, TdsVersion version);

// Writes one value of a column of type `type`; a value whose form does not
// match the type throws std::invalid_argument.
void WriteValue(ByteWriter& out, const SqlType& type, const Value& value, TdsVersion version);

}  // namespace standin::tds
