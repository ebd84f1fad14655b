// The tables of the site and jail databases, described once so that the
// generator, the tests and the benchmark agree on names and types.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace jailgen {

struct ColumnDef {
  std::string_view name;
  std::string_view type;  // T-SQL type as declared, e.g. "varchar(30)"
  bool identity = false;  // IDENTITY(1,1) NOT NULL; the server assigns the value
};

struct IndexDef {
  std::string_view name;
  std::vector<std::string_view> columns;
};

struct TableDef {
  std::string_view name;
  std::vector<ColumnDef> columns;
  std::string_view primary_key;  // column name; empty: the table has none
  std::vector<IndexDef> indexes;

  // The columns a script supplies values for: every column but the identity.
  std::vector<const ColumnDef*> InsertColumns() const;
};

// The site database's tables: ConnectLib, where each program finds its database.
const std::vector<TableDef>& SiteTables();

// The jail database's tables, in the order a script creates and fills them.
const std::vector<TableDef>& JailTables();

// The table named `name` (as spelled above) among SiteTables() and JailTables();
// throws std::out_of_range for any other name.
const TableDef& Table(std::string_view name);

// `name` ready for a statement: bracketed when it is a T-SQL reserved word.
std::string SqlName(std::string_view name);

// CREATE TABLE for `table`, on one line, primary key included.
std::string CreateTableSql(const TableDef& table);

// One CREATE INDEX statement per index of `table`.
std::vector<std::string> CreateIndexSql(const TableDef& table);

}  // namespace jailgen
