// CREATE / DROP of tables and indexes, and the end of temporary tables.
#include <chrono>
#include <cstdio>
#include <set>

#include "execute/session_impl.h"
#include "parse/parser.h"
#include "storage/storage.h"
#include "values/collation.h"
#include "values/convert.h"
#include "values/sql_types.h"

namespace standin {

using namespace engine;

namespace {

bool IsLocalTemp(const std::string& name) {
  return name.rfind("#", 0) == 0 && name.rfind("##", 0) != 0;
}

// A name like SQL Server gives an unnamed constraint: PK__CFGPROPL__3214EC27A1B2C3D4.
std::string ConstraintName(const std::string& prefix, const std::string& table) {
  std::string shortened;
  std::vector<char32_t> chars = DecodeUtf8(table);
  if (chars.size() > 8) chars.resize(8);
  shortened = EncodeUtf8(chars);
  auto now = std::chrono::steady_clock::now().time_since_epoch().count();
  std::uint64_t hash = static_cast<std::uint64_t>(now) * 0x9E3779B97F4A7C15ull;
  for (char c : table) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3ull;
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llX", static_cast<unsigned long long>(hash));
  return prefix + "__" + shortened + "__" + hex;
}

}  // namespace

void SessionImpl::CreateTable(const CreateTableStmt& s) {
  const std::string& name = s.table.object;
  bool local = IsLocalTemp(name);
  if (local && CharCount(name) > 116) throw TempNameTooLong(name);
  DatabaseFile db = name.rfind("#", 0) == 0 ? *engine_.FindDatabase("tempdb") : [&] {
    if (s.table.database.empty()) return DatabaseFor(s.table);
    std::optional<DatabaseFile> d = engine_.FindDatabase(s.table.database);
    if (!d) throw DatabaseMissing(s.table.database);
    return *d;
  }();
  std::string schema = Attach(db);
  // The name may still be taken by the table of a session that has ended.
  if (name.rfind("##", 0) == 0) DropDeferredTempTables(lock_timeout_ms_);

  TableInfo table;
  table.schema = schema;
  table.database = db.name;
  table.name = name;
  table.stored_name = local ? name + "___" + std::to_string(session_id_) : name;

  std::set<std::string> seen;
  std::vector<std::string> key;
  std::vector<KeyDef> uniques;
  for (const ColumnDef& c : s.columns) {
    if (!seen.insert(UpperCase(c.name)).second) throw DuplicateColumn(c.name, name);
    if (c.identity && !(IsInteger(c.type.id) && c.type.id != TypeId::Bit) &&
        !(c.type.id == TypeId::Decimal && c.type.scale == 0))
      throw StatementOnly(Msg(2749, 16, 2,
                              "Identity column '" + c.name +
                                  "' must be of data type int, bigint, smallint, tinyint, or "
                                  "decimal or numeric with a scale of 0, and constrained to be "
                                  "nonnullable."));
    ColumnInfo info;
    info.name = c.name;
    info.type = c.type;
    info.identity = c.identity;
    info.seed = c.seed;
    info.increment = c.increment;
    info.default_text = c.default_text;
    table.columns.push_back(info);
    if (c.primary_key) {
      if (!key.empty())
        throw StatementOnly(Msg(
            8110, 16, 0, "Cannot add multiple PRIMARY KEY constraints to table '" + name + "'."));
      key.push_back(c.name);
      table.pk_name = c.constraint_name;
    }
    if (c.unique) uniques.push_back(KeyDef{c.constraint_name, false, {c.name}});
  }
  for (const KeyDef& k : s.keys) {
    for (const std::string& c : k.columns)
      if (table.FindColumn(c) < 0)
        throw StatementOnly(Msg(
            1911, 16, 1, "Column name '" + c + "' does not exist in the target table or view."));
    if (!k.primary) {
      uniques.push_back(k);
      continue;
    }
    if (!key.empty())
      throw StatementOnly(
          Msg(8110, 16, 0, "Cannot add multiple PRIMARY KEY constraints to table '" + name + "'."));
    key = k.columns;
    table.pk_name = k.name;
  }
  if (!key.empty() && table.pk_name.empty()) table.pk_name = ConstraintName("PK", name);
  for (std::size_t k = 0; k < key.size(); ++k) {
    ColumnInfo& c = table.columns[table.FindColumn(key[k])];
    c.key_ordinal = static_cast<int>(k) + 1;
    c.type.nullable = false;
  }

  std::string sql = "CREATE TABLE " + table.SqliteName() + " (";
  for (std::size_t i = 0; i < table.columns.size(); ++i) {
    const ColumnInfo& c = table.columns[i];
    sql += (i ? ", " : "") + QuoteName(c.name);
    if (IsCharacter(c.type.id)) sql += " COLLATE TSQLCI";
    if (!c.type.nullable) sql += " NOT NULL";
  }
  auto column_list = [](const std::vector<std::string>& cols) {
    std::string out;
    for (const std::string& c : cols) out += (out.empty() ? "" : ", ") + QuoteName(c);
    return out;
  };
  if (!key.empty()) sql += ", PRIMARY KEY (" + column_list(key) + ")";
  sql += ")";

  WriteScope write(*this, {schema});
  if (catalog::Find(db_.get(), schema, db.name, table.stored_name) ||
      (local && local_temp_.count(UpperCase(name))))
    throw ObjectExists(name);
  try {
    db_.Exec(sql);
  } catch (const SqliteFailure& f) {
    if (std::string(f.what()).find("already exists") != std::string::npos) throw ObjectExists(name);
    Rethrow(f);
  }
  bool temp = name.rfind("#", 0) == 0;
  catalog::Add(db_.get(), table, temp ? session_id_ : 0);
  for (const KeyDef& u : uniques) {
    IndexInfo index{u.name.empty() ? ConstraintName("UQ", name) : u.name, true, u.columns};
    table.indexes.push_back(index);
    db_.Exec("CREATE UNIQUE INDEX " + QuoteName(schema) + "." +
             QuoteName(table.stored_name + "." + index.name) + " ON " +
             QuoteName(table.stored_name) + " (" + column_list(index.columns) + ")");
    catalog::AddIndex(db_.get(), table, index);
  }
  write.Commit();
  if (local) local_temp_[UpperCase(name)] = table.stored_name;
}

void SessionImpl::AddColumns(const AlterTableStmt& s, ResultSink& sink) {
  TableInfo table = Table(s.table);
  WriteScope write(*this, {table.schema});
  for (const ColumnDef& c : s.added) {
    if (table.FindColumn(c.name) >= 0) throw DuplicateColumn(c.name, table.name);
    if (c.identity || c.primary_key || c.unique)
      throw NotSupported("ALTER TABLE ADD with IDENTITY or a key");
    std::int64_t rows =
        std::get<std::int64_t>(Fetch("SELECT count(*) FROM " + table.SqliteName(), {}).at(0).at(0));
    if (!c.type.nullable && c.default_text.empty() && rows > 0)
      throw StatementOnly(Msg(4901, 16, 1,
                              "ALTER TABLE only allows columns to be added that can contain nulls, "
                              "or have a DEFAULT definition specified, or the column being added "
                              "is an identity or timestamp column, or alternatively if none of the "
                              "previous conditions are satisfied the table must be empty to allow "
                              "addition of this column. Column '" +
                                  c.name + "' cannot be added to non-empty table '" + table.name +
                                  "' because it does not satisfy these conditions."));
    ColumnInfo info;
    info.name = c.name;
    info.type = c.type;
    info.default_text = c.default_text;
    // Existing rows take the default of a NOT NULL column, NULL otherwise.
    Value fill;
    if (!c.default_text.empty() && !c.type.nullable) {
      Translator dt(*this);
      Scope empty;
      std::vector<engine::Statement> parsed = ParseBatch("SELECT " + c.default_text, true);
      const auto& select = std::get<std::shared_ptr<engine::Select>>(parsed.at(0).body);
      Typed v = dt.Expression(*select->items.at(0).expr, empty);
      fill = Fetch("SELECT " + v.sql, dt.binds()).at(0).at(0);
      fill = ToStorage(Convert(FromStorage(fill, v.type), v.type, c.type, ConvertMode::Assign,
                               functions_.date_order),
                       c.type);
    }
    try {
      db_.Exec("ALTER TABLE " + table.SqliteName() + " ADD COLUMN " + QuoteName(c.name) +
               (IsCharacter(c.type.id) ? " COLLATE TSQLCI" : ""));
      if (!IsNull(fill)) {
        std::unique_ptr<SqliteStatement> st =
            Compile("UPDATE " + table.SqliteName() + " SET " + QuoteName(c.name) + " = ?1");
        st->Bind(1, fill);
        Step(*st);
      }
    } catch (const SqliteFailure& f) {
      Rethrow(f);
    }
    catalog::AddColumn(db_.get(), table, info, static_cast<int>(table.columns.size()));
    table.columns.push_back(info);
  }
  write.Commit();
  sink.Done(StatementDone{});
}

void SessionImpl::DropTable(const DropTableStmt& s, ResultSink& sink) {
  for (const ObjectName& name : s.tables) {
    std::optional<TableInfo> table = FindTable(name);
    if (!table) {
      if (s.if_exists) continue;
      throw CannotDropTable(name.Written());
    }
    WriteScope write(*this, {table->schema});
    try {
      db_.Exec("DROP TABLE " + table->SqliteName());
    } catch (const SqliteFailure& f) {
      Rethrow(f);
    }
    catalog::Remove(db_.get(), table->schema, table->stored_name);
    write.Commit();
    if (IsLocalTemp(name.object)) local_temp_.erase(UpperCase(name.object));
  }
  sink.Done(StatementDone{});
}

void SessionImpl::CreateIndex(const CreateIndexStmt& s, ResultSink& sink) {
  TableInfo table = Table(s.table);
  for (const std::string& c : s.columns)
    if (table.FindColumn(c) < 0)
      throw StatementOnly(
          Msg(1911, 16, 1, "Column name '" + c + "' does not exist in the target table or view."));
  for (const IndexInfo& index : table.indexes)
    if (CompareCi(index.name, s.name) == 0) throw IndexExists(s.name, table.name);
  std::string cols;
  for (const std::string& c : s.columns) cols += (cols.empty() ? "" : ", ") + QuoteName(c);
  WriteScope write(*this, {table.schema});
  try {
    db_.Exec(std::string("CREATE ") + (s.unique ? "UNIQUE " : "") + "INDEX " +
             QuoteName(table.schema) + "." + QuoteName(table.stored_name + "." + s.name) + " ON " +
             QuoteName(table.stored_name) + " (" + cols + ")");
  } catch (const SqliteFailure& f) {
    if ((f.code() & 0xff) == SQLITE_CONSTRAINT)
      throw Terminating(Msg(1505, 16, 1,
                            "The CREATE UNIQUE INDEX statement terminated because a duplicate key "
                            "was found for the object name '" +
                                table.QualifiedName() + "' and the index name '" + s.name + "'."));
    Rethrow(f);
  }
  catalog::AddIndex(db_.get(), table, IndexInfo{s.name, s.unique, s.columns});
  write.Commit();
  sink.Done(StatementDone{});
}

void SessionImpl::DropIndex(const DropIndexStmt& s, ResultSink& sink) {
  std::optional<TableInfo> table = FindTable(s.table);
  const IndexInfo* found = nullptr;
  if (table)
    for (const IndexInfo& index : table->indexes)
      if (CompareCi(index.name, s.name) == 0) found = &index;
  if (!found)
    throw StatementOnly(Msg(3701, 11, 7,
                            "Cannot drop the index '" + s.table.Written() + "." + s.name +
                                "', because it does not exist or you do not have permission."));
  WriteScope write(*this, {table->schema});
  try {
    db_.Exec("DROP INDEX " + QuoteName(table->schema) + "." +
             QuoteName(table->stored_name + "." + found->name));
  } catch (const SqliteFailure& f) {
    Rethrow(f);
  }
  catalog::RemoveIndex(db_.get(), *table, found->name);
  write.Commit();
  sink.Done(StatementDone{});
}

void SessionImpl::DropOwnTempTables() {
  std::string schema = attached_.at(DatabaseStem("tempdb"));
  std::vector<std::string> owned = catalog::OwnedBy(db_.get(), schema, session_id_);
  if (owned.empty()) return;
  engine_.DeferDrop(session_id_, owned);
  DropDeferredTempTables(0);
}

void SessionImpl::DropDeferredTempTables(int wait_ms) {
  if (trancount_ > 0) return;
  std::vector<EngineImpl::TempTable> pending = engine_.DeferredDrops();
  if (pending.empty()) return;
  std::string schema = attached_.at(DatabaseStem("tempdb"));
  // Restored however the attempt ends (a cancel or KILL unwinds through here too).
  struct RestoreTimeout {
    int& timeout;
    int saved;
    ~RestoreTimeout() { timeout = saved; }
  } restore{lock_timeout_ms_, lock_timeout_ms_};
  lock_timeout_ms_ = wait_ms;
  try {
    WriteScope write(*this, {schema});
    for (const auto& [stored, owner] : pending) {
      // Gone already, or the name taken again by a newer table: not ours to drop.
      std::optional<TableInfo> table = catalog::Find(db_.get(), schema, "tempdb", stored);
      if (!table || table->owner != owner) continue;
      db_.Exec("DROP TABLE " + QuoteName(schema) + "." + QuoteName(table->stored_name));
      catalog::Remove(db_.get(), schema, table->stored_name);
    }
    write.Commit();
    engine_.Dropped(pending);
  } catch (const SqlError&) {
    // Another session holds tempdb: the tables stay deferred for the next try.
  } catch (const SqliteFailure&) {
    // Likewise when SQLite reports the lock itself.
  }
}

}  // namespace standin
