#include "jail_script.h"

#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

#include "jail_schema.h"

namespace jailgen {
namespace {

// A value as the script spells it: NULL, a number, or a quoted string.
struct Number {
  std::string text;
};
using Cell = std::variant<std::monostate, Number, std::string>;
using Row = std::vector<Cell>;

Cell Int(std::int64_t value) {
  return Number{std::to_string(value)};
}
Cell Bit(bool value) {
  return Number{value ? "1" : "0"};
}
Cell Text(std::string value) {
  return value;
}
Cell OptionalText(const std::optional<std::string>& value) {
  return value ? Cell(*value) : Cell();
}
Cell OptionalBit(const std::optional<bool>& value) {
  return value ? Bit(*value) : Cell();
}
Cell OptionalNumber(const std::optional<std::string>& value) {
  return value ? Cell(Number{*value}) : Cell();
}

std::string Literal(const Cell& cell) {
  if (std::holds_alternative<std::monostate>(cell)) return "NULL";
  if (const auto* number = std::get_if<Number>(&cell)) return number->text;
  std::string quoted = "'";
  for (char c : std::get<std::string>(cell)) {
    quoted += c;
    if (c == '\'') quoted += '\'';
  }
  return quoted + "'";
}

void AppendBatch(const std::string& sql, std::string& script) {
  script += sql + "\nGO\n";
}

// Rows must follow TableDef::InsertColumns() of the table, then (with
// `identity`) the identity column's value.
void AppendInserts(const TableDef& table, const std::vector<Row>& rows, std::string& script,
                   bool identity = false) {
  std::string head = "INSERT INTO " + std::string(table.name) + " (";
  auto columns = table.InsertColumns();
  if (identity)
    for (const ColumnDef& column : table.columns)
      if (column.identity) columns.push_back(&column);
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (i > 0) head += ", ";
    head += SqlName(columns[i]->name);
  }
  head += ") VALUES\n";
  for (std::size_t start = 0; start < rows.size(); start += kMaxRowsPerInsert) {
    script += head;
    const std::size_t end = std::min(rows.size(), start + kMaxRowsPerInsert);
    for (std::size_t r = start; r < end; ++r) {
      script += "(";
      for (std::size_t c = 0; c < rows[r].size(); ++c) {
        if (c > 0) script += ", ";
        script += Literal(rows[r][c]);
      }
      script += r + 1 < end ? "),\n" : ")\nGO\n";
    }
  }
}

void AppendTables(const std::vector<TableDef>& tables, std::string& script) {
  for (const TableDef& table : tables) {
    AppendBatch(CreateTableSql(table), script);
    for (const std::string& index : CreateIndexSql(table)) AppendBatch(index, script);
  }
}

// Keys given explicitly, so that rows can go in out of key order.
void AppendKeyedInserts(const TableDef& table, const std::vector<Row>& rows, std::string& script) {
  const std::string name(table.name);
  AppendBatch("SET IDENTITY_INSERT " + name + " ON", script);
  AppendInserts(table, rows, script, true);
  AppendBatch("SET IDENTITY_INSERT " + name + " OFF", script);
}

std::vector<Row> LocationRows(const Sample& sample) {
  std::vector<Row> rows;
  for (std::size_t i : sample.location_order) {
    const Location& l = sample.locations[i];
    rows.push_back(
        {Text(l.code), Text(l.name), Int(l.allow), Int(l.onloc), Bit(l.available), Int(l.lockey)});
  }
  return rows;
}

std::vector<Row> ContainerRows(const Sample& sample) {
  std::vector<Row> rows;
  for (std::size_t i : sample.container_order) {
    const Container& c = sample.containers[i];
    rows.push_back(
        {Int(c.lockey), Text(c.location_code), Text(c.name), Bit(c.available), Int(c.containerid)});
  }
  return rows;
}

std::vector<Row> BookingRows(const Sample& sample) {
  std::vector<Row> rows;
  for (std::size_t i : sample.booking_order) {
    const Booking& b = sample.bookings[i];
    rows.push_back({Text(b.bookno), Text(b.koraid), Text(b.lname), Text(b.fname),
                    OptionalText(b.mname), OptionalBit(b.name_released),
                    Text(std::string(1, b.sex)), Text(b.dob), Text(b.book_date),
                    OptionalText(b.release_date)});
  }
  return rows;
}

std::vector<Row> PropertyRows(const Sample& sample) {
  std::vector<Row> rows;
  for (const PropertyRecord& p : sample.properties) {
    rows.push_back({Text(p.propertyno),
                    Text(p.bookno),
                    Text(p.koraid),
                    Int(p.groupid),
                    OptionalText(p.comments),
                    Text(p.rec_date),
                    Text(p.rec_time),
                    Text(p.rec_officer_no),
                    Text(p.rec_officer_name),
                    OptionalText(p.ret_date),
                    OptionalText(p.ret_time),
                    OptionalText(p.ret_officer_no),
                    OptionalText(p.ret_officer_name),
                    Bit(p.released),
                    OptionalText(p.released_to_name),
                    OptionalText(p.released_to_mni),
                    Text(p.location),
                    Text(p.location_code),
                    Int(p.lockey),
                    Bit(false)});
  }
  return rows;
}

std::vector<Row> ItemRows(const Sample& sample) {
  std::vector<Row> rows;
  for (const PropertyItem& i : sample.items) {
    rows.push_back({Text(i.propitemno),
                    Text(i.propertyno),
                    Text(i.bookno),
                    Text(i.koraid),
                    Int(i.groupid),
                    Int(i.qty),
                    Text(i.description),
                    Text(i.location),
                    OptionalText(i.comments),
                    Bit(i.cash),
                    OptionalNumber(i.cash_amount),
                    Bit(i.check),
                    Bit(i.money_order),
                    OptionalText(i.check_number),
                    OptionalText(i.money_order_number),
                    OptionalBit(i.released),
                    OptionalText(i.released_name),
                    OptionalText(i.released_to_mni),
                    i.containerid ? Int(*i.containerid) : Cell(),
                    Bit(false),
                    Int(i.lockey)});
  }
  return rows;
}

}  // namespace

std::string JailConnString(const std::string& jail_db) {
  return "Server=127.0.0.1;Database=" + jail_db + ";UID=sa;PWD=";
}

std::string MakeScript(const Sample& sample, const ScriptOptions& options) {
  std::string script;
  if (options.create_databases) {
    AppendBatch("CREATE DATABASE " + options.site_db, script);
    AppendBatch("CREATE DATABASE " + options.jail_db, script);
  }
  AppendBatch("USE " + options.site_db, script);
  AppendTables(SiteTables(), script);
  AppendInserts(Table("ConnectLib"),
                {{Text("JAIL"), Text(JailConnString(options.jail_db)), Text("jail.chm"),
                  Text("jail.log"), Bit(false)}},
                script);

  AppendBatch("USE " + options.jail_db, script);
  AppendTables(JailTables(), script);
  AppendKeyedInserts(Table("CFGPROPL"), LocationRows(sample), script);
  AppendKeyedInserts(Table("CFGPROPC"), ContainerRows(sample), script);
  AppendInserts(Table("WARDERLY"), BookingRows(sample), script);
  AppendInserts(Table("WRIPROP"), PropertyRows(sample), script);
  AppendInserts(Table("WRPITEMS"), ItemRows(sample), script);
  return script;
}

}  // namespace jailgen
