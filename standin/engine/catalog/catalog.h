// The declared shape of tables, kept beside them in each database file,
// because SQLite's own schema cannot say "varchar(30)" or "IDENTITY(1,1)".
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sql_value.h"

namespace standin::engine {

struct ColumnInfo {
  std::string name;
  SqlType type;
  bool identity = false;
  std::int64_t seed = 1;
  std::int64_t increment = 1;
  std::string default_text;  // T-SQL expression text, empty when none
  int key_ordinal = 0;       // position in the primary key, 0 when not in it
};

struct IndexInfo {
  std::string name;
  bool unique = false;
  std::vector<std::string> columns;
};

struct TableInfo {
  std::string schema;       // SQLite schema the database is attached as
  std::string database;     // the database's name as created
  std::string name;         // the name users write (e.g. "#t" for a local temp table)
  std::string stored_name;  // the SQLite table name
  std::string pk_name;      // empty without a primary key
  std::int64_t object_id = 0;
  std::int64_t owner = 0;  // the session that created a temporary table, 0 for others
  std::vector<ColumnInfo> columns;
  std::vector<IndexInfo> indexes;
  std::string derived_sql;  // for a catalog view: the query that makes it

  // "db.dbo.name", as SQL Server names a table in messages.
  std::string QualifiedName() const;
  // schema."stored_name" for SQLite (or the view's query in parentheses).
  std::string SqliteName() const;
  // Index of the column named `name` (case-insensitive), or -1.
  int FindColumn(const std::string& name) const;
};

namespace catalog {

// Creates the catalog tables in `schema` when missing.
void Initialize(sqlite3* db, const std::string& schema);

// The table stored as `stored_name` (case-insensitive), if any.
std::optional<TableInfo> Find(sqlite3* db, const std::string& schema, const std::string& database,
                              const std::string& stored_name);

// Records a table created by the session numbered `owner`; returns its object id.
std::int64_t Add(sqlite3* db, const TableInfo& table, std::int64_t owner);
void Remove(sqlite3* db, const std::string& schema, const std::string& stored_name);
// Records a column added to `table` at position `ordinal` (from 0).
void AddColumn(sqlite3* db, const TableInfo& table, const ColumnInfo& column, int ordinal);
void AddIndex(sqlite3* db, const TableInfo& table, const IndexInfo& index);
void RemoveIndex(sqlite3* db, const TableInfo& table, const std::string& name);

// The last identity value handed out, if any, and recording a new one.
std::optional<std::int64_t> LastIdentity(sqlite3* db, const TableInfo& table);
void SetLastIdentity(sqlite3* db, const TableInfo& table, std::int64_t value);
// Makes the next identity value the seed again (TRUNCATE TABLE).
void ResetIdentity(sqlite3* db, const TableInfo& table);

// Stored names of the tables created by session `owner`.
std::vector<std::string> OwnedBy(sqlite3* db, const std::string& schema, std::int64_t owner);
// Stored names of all tables.
std::vector<std::string> AllTables(sqlite3* db, const std::string& schema);

}  // namespace catalog
}  // namespace standin::engine
