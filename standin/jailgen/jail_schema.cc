#include "jail_schema.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace jailgen {

std::vector<const ColumnDef*> TableDef::InsertColumns() const {
  std::vector<const ColumnDef*> result;
  for (const ColumnDef& column : columns) {
    if (!column.identity) result.push_back(&column);
  }
  return result;
}

const std::vector<TableDef>& SiteTables() {
  static const std::vector<TableDef> tables = {
      {"ConnectLib",
       {{"ProgramID", "varchar(20)"},
        {"ConnString", "varchar(1000)"},
        {"HelpFile", "varchar(255)"},
        {"LogFile", "varchar(255)"},
        {"UseInitial", "bit"}},
       "ProgramID",
       {}},
  };
  return tables;
}

const std::vector<TableDef>& JailTables() {
  static const std::vector<TableDef> tables = {
      {"CFGPROPL",
       {{"LOCATIONCODE", "varchar(5)"},
        {"LOCATION", "varchar(30)"},
        {"ALLOW", "int"},
        {"ONLOC", "int"},
        {"AVAILABLE", "bit"},
        {"LOCKEY", "bigint", true}},
       "LOCKEY",
       {}},
      {"CFGPROPC",
       {{"LOCKEY", "int"},
        {"LOCATIONCODE", "varchar(5)"},
        {"CONTAINER", "varchar(30)"},
        {"AVAILABLE", "bit"},
        {"CONTAINERID", "bigint", true}},
       "CONTAINERID",
       {{"IX_CFGPROPC_LOCKEY", {"LOCKEY"}}}},
      {"WARDERLY",
       {{"BOOKNO", "varchar(15)"},
        {"KORAID", "varchar(15)"},
        {"LNAME", "varchar(15)"},
        {"FNAME", "varchar(15)"},
        {"MNAME", "varchar(15)"},
        {"NAMERELEAS", "bit"},
        {"SEX", "char(1)"},
        {"DOB", "datetime"},
        {"BOOKDATE", "datetime"},
        {"RELDATE", "datetime"}},
       "BOOKNO",
       {}},
      {"WRIPROP",
       {{"PROPERTYNO", "varchar(15)"},
        {"BOOKNO", "varchar(15)"},
        {"KORAID", "varchar(15)"},
        {"GROUPID", "int"},
        {"COMMENTS", "text"},
        {"RECDATE", "datetime"},
        {"RECTIME", "datetime"},
        {"RECOFFNO", "varchar(15)"},
        {"RECOFFNAME", "varchar(50)"},
        {"RETDATE", "datetime"},
        {"RETTIME", "datetime"},
        {"RETOFFNO", "varchar(15)"},
        {"RETOFFNAME", "varchar(50)"},
        {"PROPRELEASE", "bit"},
        {"RELEASETONAME", "varchar(50)"},
        {"RELEASETOMNINO", "varchar(15)"},
        {"LOCATION", "varchar(30)"},
        {"LOCATIONCODE", "varchar(5)"},
        {"LOCKEY", "int"},
        {"VIC_UPDATE", "bit"}},
       "",
       {{"IX_WRIPROP_LOCKEY_BOOKNO", {"LOCKEY", "BOOKNO"}}}},
      {"WRPITEMS",
       {{"PROPITEMNO", "varchar(15)"},
        {"PROPERTYNO", "varchar(15)"},
        {"BOOKNO", "varchar(15)"},
        {"KORAID", "varchar(15)"},
        {"GROUPID", "int"},
        {"QTY", "int"},
        {"DESCRIPTION", "varchar(45)"},
        {"LOCATION", "varchar(30)"},
        {"COMMENTS", "text"},
        {"CASH", "bit"},
        {"CASHAMOUNT", "money"},
        {"CHECK", "bit"},
        {"MONEYORDER", "bit"},
        {"CHECKNUMBER", "varchar(20)"},
        {"MONEYORDERNUM", "varchar(20)"},
        {"RELEASE", "bit"},
        {"RELEASENAME", "varchar(50)"},
        {"RELEASETOMNI", "varchar(15)"},
        {"CONTAINERID", "int"},
        {"VIC_UPDATE", "bit"},
        {"LOCKEY", "int"}},
       "",
       {{"IX_WRPITEMS_LOCKEY_CONTAINERID", {"LOCKEY", "CONTAINERID"}}}},
  };
  return tables;
}

const TableDef& Table(std::string_view name) {
  for (const auto* tables : {&SiteTables(), &JailTables()}) {
    for (const TableDef& table : *tables) {
      if (table.name == name) return table;
    }
  }
  throw std::out_of_range("no table " + std::string(name));
}

std::string SqlName(std::string_view name) {
  // Only the reserved words the schema actually uses as column names.
  static constexpr std::array<std::string_view, 2> kReserved = {"CHECK", "RELEASE"};
  if (std::find(kReserved.begin(), kReserved.end(), name) != kReserved.end()) {
    return "[" + std::string(name) + "]";
  }
  return std::string(name);
}

std::string CreateTableSql(const TableDef& table) {
  std::string sql = "CREATE TABLE " + std::string(table.name) + " (";
  for (std::size_t i = 0; i < table.columns.size(); ++i) {
    const ColumnDef& column = table.columns[i];
    if (i > 0) sql += ", ";
    sql += SqlName(column.name) + " " + std::string(column.type);
    if (column.identity) sql += " IDENTITY(1,1) NOT NULL";
    if (column.name == table.primary_key) {
      sql += column.identity ? " PRIMARY KEY" : " NOT NULL PRIMARY KEY";
    }
  }
  return sql + ")";
}

std::vector<std::string> CreateIndexSql(const TableDef& table) {
  std::vector<std::string> statements;
  for (const IndexDef& index : table.indexes) {
    std::string sql =
        "CREATE INDEX " + std::string(index.name) + " ON " + std::string(table.name) + " (";
    for (std::size_t i = 0; i < index.columns.size(); ++i) {
      if (i > 0) sql += ", ";
      sql += SqlName(index.columns[i]);
    }
    statements.push_back(sql + ")");
  }
  return statements;
}

}  // namespace jailgen
