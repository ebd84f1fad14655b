#include "catalog/system_views.h"

#include "storage/sqlite_db.h"
#include "values/collation.h"
#include "values/sql_types.h"

namespace standin::engine {

namespace {

ColumnInfo Col(const char* name, SqlType type) {
  type.nullable = false;
  ColumnInfo c;
  c.name = name;
  c.type = type;
  return c;
}

SqlType Sysname() {
  return MakeType(TypeId::NVarChar, 128);
}

}  // namespace

std::optional<TableInfo> SystemView(const std::string& name, const std::string& schema,
                                    const std::string& master_schema, const std::string& database) {
  std::string view = LowerCase(name);
  std::string tables = QuoteName(schema) + ".__standin_tables";
  std::string columns = QuoteName(schema) + ".__standin_columns";
  std::string databases = QuoteName(master_schema) + ".__standin_databases";
  TableInfo t;
  t.schema = schema;
  t.database = database;
  t.name = name;
  t.stored_name = name;
  if (view == "databases" || view == "sysdatabases") {
    const char* id = view == "databases" ? "database_id" : "dbid";
    t.derived_sql = std::string("SELECT 'master' COLLATE TSQLCI AS name, 1 AS ") + id +
                    " UNION ALL SELECT 'tempdb', 2 UNION ALL SELECT name, rowid + 4 FROM " +
                    databases;
    t.columns = {Col("name", Sysname()),
                 Col(id, MakeType(view == "databases" ? TypeId::Int : TypeId::SmallInt))};
  } else if (view == "tables" || view == "objects" || view == "sysobjects") {
    bool old = view == "sysobjects";
    t.derived_sql = "SELECT name, rowid * 16 + 5 AS " + std::string(old ? "id" : "object_id") +
                    ", 'U ' AS " + (old ? "xtype" : "type") + ", " +
                    (old ? "'U ' AS type" : "'USER_TABLE' AS type_desc") + " FROM " + tables;
    t.columns = {Col("name", Sysname()), Col(old ? "id" : "object_id", MakeType(TypeId::Int)),
                 Col(old ? "xtype" : "type", MakeType(TypeId::Char, 2)),
                 old ? Col("type", MakeType(TypeId::Char, 2))
                     : Col("type_desc", MakeType(TypeId::NVarChar, 60))};
  } else if (view == "columns") {
    t.derived_sql = "SELECT (SELECT rowid * 16 + 5 FROM " + tables +
                    " WHERE name = c.table_name) AS object_id, c.name AS name, c.ordinal + 1 AS "
                    "column_id, c.nullable AS is_nullable, c.is_identity AS is_identity FROM " +
                    columns + " AS c";
    t.columns = {Col("object_id", MakeType(TypeId::Int)), Col("name", Sysname()),
                 Col("column_id", MakeType(TypeId::Int)), Col("is_nullable", MakeType(TypeId::Bit)),
                 Col("is_identity", MakeType(TypeId::Bit))};
  } else {
    return std::nullopt;
  }
  return t;
}

}  // namespace standin::engine
