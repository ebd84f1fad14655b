#include "catalog/catalog.h"

#include "storage/sqlite_db.h"
#include "values/collation.h"

namespace standin::engine {

std::string TableInfo::QualifiedName() const {
  return database + ".dbo." + name;
}

std::string TableInfo::SqliteName() const {
  if (!derived_sql.empty()) return "(" + derived_sql + ")";
  return QuoteName(schema) + "." + QuoteName(stored_name);
}

int TableInfo::FindColumn(const std::string& column) const {
  for (std::size_t i = 0; i < columns.size(); ++i)
    if (CompareCi(columns[i].name, column) == 0 && CharCount(columns[i].name) == CharCount(column))
      return static_cast<int>(i);
  return -1;
}

namespace catalog {

namespace {

std::string T(const std::string& schema, const char* table) {
  return QuoteName(schema) + "." + table;
}

std::int64_t AsInt(const Value& v) {
  if (auto* i = std::get_if<std::int64_t>(&v)) return *i;
  return 0;
}

std::string AsString(const Value& v) {
  if (auto* s = std::get_if<std::string>(&v)) return *s;
  return std::string();
}

}  // namespace

void Initialize(sqlite3* db, const std::string& schema) {
  SqliteStatement probe(db, "SELECT count(*) FROM " + QuoteName(schema) +
                                ".sqlite_master WHERE name = '__standin_tables'");
  probe.Step();
  if (AsInt(probe.Column(0)) > 0) return;
  std::string sql =
      "CREATE TABLE IF NOT EXISTS " + T(schema, "__standin_tables") +
      "(name TEXT COLLATE TSQLCI PRIMARY KEY, pk_name TEXT, identity_last INTEGER, owner INTEGER);"
      "CREATE TABLE IF NOT EXISTS " +
      T(schema, "__standin_columns") +
      "(table_name TEXT COLLATE TSQLCI, ordinal INTEGER, name TEXT, type_id INTEGER, "
      "length INTEGER, precision INTEGER, scale INTEGER, nullable INTEGER, is_identity INTEGER, "
      "seed INTEGER, increment INTEGER, default_text TEXT, key_ordinal INTEGER, "
      "PRIMARY KEY(table_name, ordinal));"
      "CREATE TABLE IF NOT EXISTS " +
      T(schema, "__standin_indexes") +
      "(table_name TEXT COLLATE TSQLCI, name TEXT COLLATE TSQLCI, is_unique INTEGER, "
      "columns TEXT, PRIMARY KEY(table_name, name));";
  char* error = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    std::string message = error ? error : "catalog";
    sqlite3_free(error);
    throw SqliteFailure(sqlite3_extended_errcode(db), message);
  }
}

std::optional<TableInfo> Find(sqlite3* db, const std::string& schema, const std::string& database,
                              const std::string& stored_name) {
  SqliteStatement t(db, "SELECT name, pk_name, rowid, owner FROM " + T(schema, "__standin_tables") +
                            " WHERE name = ?1");
  t.Bind(1, stored_name);
  if (!t.Step()) return std::nullopt;
  TableInfo info;
  info.schema = schema;
  info.database = database;
  info.stored_name = AsString(t.Column(0));
  info.name = info.stored_name;
  info.pk_name = AsString(t.Column(1));
  info.object_id = AsInt(t.Column(2)) * 16 + 5;
  info.owner = AsInt(t.Column(3));
  SqliteStatement c(db,
                    "SELECT name, type_id, length, precision, scale, nullable, is_identity, seed, "
                    "increment, default_text, key_ordinal FROM " +
                        T(schema, "__standin_columns") + " WHERE table_name = ?1 ORDER BY ordinal");
  c.Bind(1, info.stored_name);
  while (c.Step()) {
    ColumnInfo col;
    col.name = AsString(c.Column(0));
    col.type.id = static_cast<TypeId>(AsInt(c.Column(1)));
    col.type.length = static_cast<std::int32_t>(AsInt(c.Column(2)));
    col.type.precision = static_cast<std::uint8_t>(AsInt(c.Column(3)));
    col.type.scale = static_cast<std::uint8_t>(AsInt(c.Column(4)));
    col.type.nullable = AsInt(c.Column(5)) != 0;
    col.identity = AsInt(c.Column(6)) != 0;
    col.seed = AsInt(c.Column(7));
    col.increment = AsInt(c.Column(8));
    col.default_text = AsString(c.Column(9));
    col.key_ordinal = static_cast<int>(AsInt(c.Column(10)));
    info.columns.push_back(std::move(col));
  }
  SqliteStatement x(db, "SELECT name, is_unique, columns FROM " + T(schema, "__standin_indexes") +
                            " WHERE table_name = ?1");
  x.Bind(1, info.stored_name);
  while (x.Step()) {
    IndexInfo index;
    index.name = AsString(x.Column(0));
    index.unique = AsInt(x.Column(1)) != 0;
    std::string cols = AsString(x.Column(2));
    std::size_t start = 0;
    while (start <= cols.size()) {
      std::size_t end = cols.find('\x1f', start);
      if (end == std::string::npos) end = cols.size();
      index.columns.push_back(cols.substr(start, end - start));
      start = end + 1;
    }
    info.indexes.push_back(std::move(index));
  }
  return info;
}

std::int64_t Add(sqlite3* db, const TableInfo& table, std::int64_t owner) {
  SqliteStatement t(db, "INSERT INTO " + T(table.schema, "__standin_tables") +
                            "(name, pk_name, identity_last, owner) VALUES (?1, ?2, NULL, ?3)");
  t.Bind({table.stored_name, table.pk_name, owner});
  t.Step();
  std::int64_t rowid = sqlite3_last_insert_rowid(db);
  for (std::size_t i = 0; i < table.columns.size(); ++i)
    AddColumn(db, table, table.columns[i], static_cast<int>(i));
  return rowid * 16 + 5;
}

void AddColumn(sqlite3* db, const TableInfo& table, const ColumnInfo& col, int ordinal) {
  SqliteStatement c(db, "INSERT INTO " + T(table.schema, "__standin_columns") +
                            " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13)");
  c.Bind({table.stored_name, static_cast<std::int64_t>(ordinal), col.name,
          static_cast<std::int64_t>(col.type.id), static_cast<std::int64_t>(col.type.length),
          static_cast<std::int64_t>(col.type.precision), static_cast<std::int64_t>(col.type.scale),
          std::int64_t{col.type.nullable}, std::int64_t{col.identity}, col.seed, col.increment,
          col.default_text.empty() ? Value{} : Value{col.default_text},
          static_cast<std::int64_t>(col.key_ordinal)});
  c.Step();
}

void Remove(sqlite3* db, const std::string& schema, const std::string& stored_name) {
  for (const char* table : {"__standin_tables", "__standin_columns", "__standin_indexes"}) {
    SqliteStatement s(db,
                      "DELETE FROM " + T(schema, table) +
                          (std::string(table) == "__standin_tables" ? " WHERE name = ?1"
                                                                    : " WHERE table_name = ?1"));
    s.Bind(1, stored_name);
    s.Step();
  }
}

void AddIndex(sqlite3* db, const TableInfo& table, const IndexInfo& index) {
  std::string cols;
  for (const std::string& c : index.columns) cols += (cols.empty() ? "" : "\x1f") + c;
  SqliteStatement s(
      db, "INSERT INTO " + T(table.schema, "__standin_indexes") + " VALUES (?1, ?2, ?3, ?4)");
  s.Bind({table.stored_name, index.name, std::int64_t{index.unique}, cols});
  s.Step();
}

void RemoveIndex(sqlite3* db, const TableInfo& table, const std::string& name) {
  SqliteStatement s(db, "DELETE FROM " + T(table.schema, "__standin_indexes") +
                            " WHERE table_name = ?1 AND name = ?2");
  s.Bind({table.stored_name, name});
  s.Step();
}

std::optional<std::int64_t> LastIdentity(sqlite3* db, const TableInfo& table) {
  SqliteStatement s(
      db, "SELECT identity_last FROM " + T(table.schema, "__standin_tables") + " WHERE name = ?1");
  s.Bind(1, table.stored_name);
  if (!s.Step()) return std::nullopt;
  Value v = s.Column(0);
  if (IsNull(v)) return std::nullopt;
  return AsInt(v);
}

void SetLastIdentity(sqlite3* db, const TableInfo& table, std::int64_t value) {
  SqliteStatement s(db, "UPDATE " + T(table.schema, "__standin_tables") +
                            " SET identity_last = ?1 WHERE name = ?2");
  s.Bind({value, table.stored_name});
  s.Step();
}

void ResetIdentity(sqlite3* db, const TableInfo& table) {
  SqliteStatement s(db, "UPDATE " + T(table.schema, "__standin_tables") +
                            " SET identity_last = NULL WHERE name = ?1");
  s.Bind(1, table.stored_name);
  s.Step();
}

std::vector<std::string> OwnedBy(sqlite3* db, const std::string& schema, std::int64_t owner) {
  SqliteStatement s(db, "SELECT name FROM " + T(schema, "__standin_tables") + " WHERE owner = ?1");
  s.Bind(1, owner);
  std::vector<std::string> out;
  while (s.Step()) out.push_back(AsString(s.Column(0)));
  return out;
}

std::vector<std::string> AllTables(sqlite3* db, const std::string& schema) {
  SqliteStatement s(db, "SELECT name FROM " + T(schema, "__standin_tables") + " ORDER BY name");
  std::vector<std::string> out;
  while (s.Step()) out.push_back(AsString(s.Column(0)));
  return out;
}

}  // namespace catalog
}  // namespace standin::engine
