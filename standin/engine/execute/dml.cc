// SELECT, INSERT, UPDATE and DELETE.
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

std::string KeyText(const std::vector<Value>& values, const std::vector<SqlType>& types) {
  std::string out;
  for (std::size_t i = 0; i < values.size(); ++i) {
    out += i ? ", " : "";
    out += IsNull(values[i]) ? "<NULL>" : ValueText(values[i], types[i]);
  }
  return out;
}

// The column names in SQLite's "UNIQUE constraint failed: t.a, t.b".
std::vector<std::string> FailedColumns(const std::string& message) {
  std::vector<std::string> out;
  std::size_t colon = message.find(": ");
  if (colon == std::string::npos) return out;
  std::string rest = message.substr(colon + 2);
  std::size_t start = 0;
  while (start < rest.size()) {
    std::size_t end = rest.find(", ", start);
    if (end == std::string::npos) end = rest.size();
    std::string item = rest.substr(start, end - start);
    std::size_t dot = item.rfind('.');
    out.push_back(dot == std::string::npos ? item : item.substr(dot + 1));
    start = end + 2;
  }
  return out;
}

bool SameColumns(std::vector<std::string> a, std::vector<std::string> b) {
  if (a.size() != b.size()) return false;
  for (std::string& s : a) s = UpperCase(s);
  for (std::string& s : b) s = UpperCase(s);
  return std::set<std::string>(a.begin(), a.end()) == std::set<std::string>(b.begin(), b.end());
}

}  // namespace

std::unique_ptr<SqliteStatement> SessionImpl::Compile(const std::string& sql) {
  try {
    return std::make_unique<SqliteStatement>(db_.get(), sql);
  } catch (const SqliteFailure& f) {
    Rethrow(f);
  }
}

std::vector<std::vector<Value>> SessionImpl::Fetch(const std::string& sql,
                                                   const std::vector<Value>& binds) {
  std::unique_ptr<SqliteStatement> st = Compile(sql);
  st->Bind(binds);
  std::vector<std::vector<Value>> rows;
  while (Step(*st)) {
    CheckCancel();
    std::vector<Value> row;
    for (int i = 0; i < st->ColumnCount(); ++i) row.push_back(st->Column(i));
    rows.push_back(std::move(row));
  }
  return rows;
}

void SessionImpl::SelectInto(const engine::Select& s, ResultSink& sink) {
  Translator t(*this);
  std::string sql;
  std::vector<Column> columns = t.Query(s, nullptr, sql);
  CreateTableStmt create;
  create.table = *s.into;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (columns[i].name.empty())
      throw BatchAbort(Msg(1038, 15, 5,
                           "An object or column name is missing or empty. For SELECT INTO "
                           "statements, verify each column has a name. For other statements, look "
                           "for empty alias names. Aliases defined as \"\" or [] are not allowed. "
                           "Change the alias to a valid name."));
    ColumnDef c;
    c.name = columns[i].name;
    c.type = columns[i].type;
    create.columns.push_back(std::move(c));
  }
  std::vector<std::vector<Value>> rows = Fetch(sql, t.binds());
  CreateTable(create);
  TableInfo table = Table(*s.into);
  std::string insert = "INSERT INTO " + table.SqliteName() + " VALUES (";
  for (std::size_t i = 0; i < columns.size(); ++i)
    insert += (i ? ", ?" : "?") + std::to_string(i + 1);
  WriteScope write(*this, {table.schema});
  std::unique_ptr<SqliteStatement> st = Compile(insert + ")");
  for (const std::vector<Value>& row : rows) {
    CheckCancel();
    st->Reset();
    for (std::size_t i = 0; i < row.size(); ++i)
      st->Bind(static_cast<int>(i) + 1,
               ToStorage(FromStorage(row[i], columns[i].type), columns[i].type));
    Step(*st);
  }
  write.Commit();
  CountDone(sink, static_cast<std::int64_t>(rows.size()));
}

void SessionImpl::Select(const engine::Select& s, ResultSink& sink) {
  if (s.into) return SelectInto(s, sink);
  Translator t(*this);
  std::string sql;
  std::vector<Column> columns = t.Query(s, nullptr, sql);
  std::unique_ptr<SqliteStatement> st = Compile(sql);
  st->Bind(t.binds());
  sink.Columns(columns);
  std::int64_t count = 0;
  std::vector<Value> row(columns.size());
  while (Step(*st)) {
    CheckCancel();
    for (std::size_t i = 0; i < columns.size(); ++i)
      row[i] = FromStorage(st->Column(static_cast<int>(i)), columns[i].type);
    sink.Row(row);
    ++count;
  }
  CountDone(sink, count);
}

void SessionImpl::DuplicateKey(const TableInfo& table, const std::string& message,
                               const std::vector<Value>& values) {
  std::vector<std::string> failed = FailedColumns(message);
  auto key_of = [&](const std::vector<std::string>& columns) {
    std::vector<Value> key;
    std::vector<SqlType> types;
    for (const std::string& c : columns) {
      int i = table.FindColumn(c);
      key.push_back(i >= 0 ? values[i] : Value{});
      types.push_back(i >= 0 ? table.columns[i].type : SqlType{});
    }
    return KeyText(key, types);
  };
  std::vector<std::pair<int, std::string>> pk;
  for (const ColumnInfo& c : table.columns)
    if (c.key_ordinal > 0) pk.emplace_back(c.key_ordinal, c.name);
  std::sort(pk.begin(), pk.end());
  std::vector<std::string> pk_columns;
  for (const auto& [ordinal, name] : pk) pk_columns.push_back(name);
  if (!pk_columns.empty() && SameColumns(pk_columns, failed))
    throw PrimaryKeyViolation(table.pk_name, table.QualifiedName(), key_of(pk_columns));
  for (const IndexInfo& index : table.indexes)
    if (index.unique && SameColumns(index.columns, failed))
      throw UniqueIndexViolation(table.QualifiedName(), index.name, key_of(index.columns));
  throw UniqueIndexViolation(table.QualifiedName(), "?", key_of(failed));
}

void SessionImpl::Insert(const InsertStmt& s, ResultSink& sink) {
  TableInfo table = Table(s.table);
  const bool explicit_identity = identity_insert_ == table.schema + "." + table.stored_name;
  int identity = -1;
  for (std::size_t i = 0; i < table.columns.size(); ++i)
    if (table.columns[i].identity) identity = static_cast<int>(i);
  // Which table column each source value goes to.
  std::vector<int> targets;
  if (!s.columns.empty()) {
    for (const std::string& name : s.columns) {
      int i = table.FindColumn(name);
      if (i < 0) throw InvalidColumn(name);
      if (table.columns[i].identity && !explicit_identity) throw IdentityInsert(table.name);
      targets.push_back(i);
    }
  } else if (!s.default_values) {
    for (std::size_t i = 0; i < table.columns.size(); ++i)
      if (!table.columns[i].identity) targets.push_back(static_cast<int>(i));
  }
  if (explicit_identity && std::find(targets.begin(), targets.end(), identity) == targets.end())
    throw IdentityValueRequired(table.name);

  // The source rows, as stored values with their types.
  std::vector<std::vector<Value>> rows;
  std::vector<std::vector<SqlType>> row_types;
  Translator t(*this);
  Scope empty;
  if (s.select) {
    std::string sql;
    std::vector<Column> cols = t.Query(*s.select, nullptr, sql);
    if (cols.size() != targets.size()) {
      if (s.columns.empty()) throw ColumnCountMismatch();
      throw BatchAbort(cols.size() < targets.size()
                           ? Msg(120, 15, 1,
                                 "The select list for the INSERT statement contains fewer items "
                                 "than the insert list. The number of SELECT values must match "
                                 "the number of INSERT columns.")
                           : Msg(121, 15, 1,
                                 "The select list for the INSERT statement contains more items "
                                 "than the insert list. The number of SELECT values must match "
                                 "the number of INSERT columns."));
    }
    std::vector<SqlType> types;
    for (const Column& c : cols) types.push_back(c.type);
    rows = Fetch(sql, t.binds());
    row_types.assign(rows.size(), types);
  } else if (!s.default_values) {
    for (const std::vector<ExprPtr>& row : s.rows) {
      if (row.size() != targets.size()) {
        if (s.columns.empty()) throw ColumnCountMismatch();
        throw row.size() > targets.size() ? TooManyValues() : TooFewValues();
      }
      Translator row_t(*this);
      std::vector<SqlType> types;
      std::string select;
      for (const ExprPtr& e : row) {
        Typed v = row_t.Expression(*e, empty);
        select += (select.empty() ? "SELECT " : ", ") + v.sql;
        types.push_back(v.type);
      }
      rows.push_back(std::move(Fetch(select, row_t.binds()).at(0)));
      row_types.push_back(std::move(types));
    }
  } else {
    rows.emplace_back();
    row_types.emplace_back();
  }

  // Defaults of the columns the statement leaves out.
  std::vector<Value> defaults(table.columns.size());
  for (std::size_t i = 0; i < table.columns.size(); ++i) {
    const ColumnInfo& c = table.columns[i];
    if (c.identity || c.default_text.empty() ||
        std::find(targets.begin(), targets.end(), static_cast<int>(i)) != targets.end())
      continue;
    Translator dt(*this);
    std::vector<engine::Statement> parsed = ParseBatch("SELECT " + c.default_text, true);
    const auto& select = std::get<std::shared_ptr<engine::Select>>(parsed.at(0).body);
    Typed v = dt.Expression(*select->items.at(0).expr, empty);
    std::vector<std::vector<Value>> value = Fetch("SELECT " + v.sql, dt.binds());
    defaults[i] = Convert(FromStorage(value.at(0).at(0), v.type), v.type, c.type,
                          ConvertMode::Assign, functions_.date_order);
  }

  std::string sql = "INSERT INTO " + table.SqliteName() + " (";
  std::string marks;
  for (std::size_t i = 0; i < table.columns.size(); ++i) {
    sql += (i ? ", " : "") + QuoteName(table.columns[i].name);
    marks += (i ? ", ?" : "?") + std::to_string(i + 1);
  }
  sql += ") VALUES (" + marks + ")";

  WriteScope scope(*this, {table.schema});
  std::optional<std::int64_t> last, inserted;
  if (identity >= 0) last = catalog::LastIdentity(db_.get(), table);
  std::unique_ptr<SqliteStatement> insert = Compile(sql);
  for (std::size_t r = 0; r < rows.size(); ++r) {
    CheckCancel();
    std::vector<Value> values = defaults;
    for (std::size_t k = 0; k < targets.size(); ++k) {
      const ColumnInfo& c = table.columns[targets[k]];
      const SqlType& from = row_types[r][k];
      values[targets[k]] = Convert(FromStorage(rows[r][k], from), from, c.type, ConvertMode::Assign,
                                   functions_.date_order);
    }
    if (identity >= 0 && !explicit_identity) {
      const ColumnInfo& c = table.columns[identity];
      last = last ? *last + c.increment : c.seed;
      inserted = last;
      values[identity] = c.type.id == TypeId::Decimal ? Value{std::to_string(*last)} : Value{*last};
    } else if (identity >= 0 && !IsNull(values[identity])) {
      // The next value the table hands out continues from the furthest one given.
      const Value& v = values[identity];
      inserted = std::holds_alternative<std::int64_t>(v) ? std::get<std::int64_t>(v)
                                                         : std::stoll(std::get<std::string>(v));
      if (!last || (table.columns[identity].increment > 0 ? *inserted > *last : *inserted < *last))
        last = inserted;
    }
    for (std::size_t i = 0; i < table.columns.size(); ++i)
      if (IsNull(values[i]) && !table.columns[i].type.nullable)
        throw NullNotAllowed(table.columns[i].name, table.QualifiedName(), "INSERT");
    insert->Reset();
    for (std::size_t i = 0; i < values.size(); ++i)
      insert->Bind(static_cast<int>(i) + 1, ToStorage(values[i], table.columns[i].type));
    try {
      insert->Step();
    } catch (const SqliteFailure& f) {
      if ((f.code() & 0xff) == SQLITE_CONSTRAINT) DuplicateKey(table, f.what(), values);
      Rethrow(f);
    }
  }
  if (identity >= 0 && last) {
    catalog::SetLastIdentity(db_.get(), table, *last);
    last_identity_ = inserted;
  }
  scope.Commit();
  CountDone(sink, static_cast<std::int64_t>(rows.size()));
}

namespace {

// The source of an UPDATE or DELETE with a FROM list that stands for the
// target, which the statement may name by its alias.
const Source* Target(const Scope& scope, const ObjectName& name, const TableInfo* table) {
  for (const Source& src : scope.sources)
    if (CompareCi(src.exposed, name.object) == 0 && !src.table.empty()) return &src;
  if (table)
    for (const Source& src : scope.sources)
      if (src.table == table->SqliteName()) return &src;
  return nullptr;
}

}  // namespace

// The FROM clause of an UPDATE or DELETE: the target alone as t0, or the
// statement's own FROM list. Returns the target's alias in the generated SQL.
std::string SessionImpl::TargetFrom(const ObjectName& name, const std::vector<FromItem>& from,
                                    Translator& t, Scope& scope, TableInfo& table,
                                    std::string& sql) {
  if (from.empty()) {
    table = Table(name);
    std::string alias = t.NextAlias();
    scope.sources.push_back(t.TableSource(table, "", alias));
    sql = table.SqliteName() + " AS " + alias;
    return alias;
  }
  sql = t.FromClause(from, scope);
  std::optional<TableInfo> named = FindTable(name);
  const Source* target = Target(scope, name, named ? &*named : nullptr);
  if (!target && named) {
    // A target missing from FROM joins it as one more table, as in SQL Server.
    scope.sources.push_back(t.TableSource(*named, "", "target"));
    sql += ", " + named->SqliteName() + " AS target";
    table = *named;
    return "target";
  }
  if (!target) throw InvalidObject(name.Written());
  if (!named) {
    // The statement names the target by its alias in FROM: find the table behind it.
    for (const FromItem& item : from) {
      std::vector<const TableRef*> refs = {&item.first};
      for (const Join& j : item.joins) refs.push_back(&j.table);
      for (const TableRef* ref : refs)
        if (!ref->derived && CompareCi(ref->alias, name.object) == 0) named = Table(ref->name);
    }
  }
  if (!named) throw InvalidObject(name.Written());
  table = *named;
  return target->sql_alias;
}

void SessionImpl::Update(const UpdateStmt& s, ResultSink& sink) {
  Translator t(*this);
  Scope scope;
  TableInfo table;
  std::string from;
  std::string target = TargetFrom(s.table, s.from, t, scope, table, from);
  std::vector<int> targets;
  std::vector<SqlType> types;
  std::string select = "SELECT " + target + ".rowid";
  for (const auto& [name, expr] : s.assignments) {
    int i = table.FindColumn(name);
    if (i < 0) throw InvalidColumn(name);
    if (table.columns[i].identity)
      throw StatementOnly(Msg(8102, 16, 1, "Cannot update identity column '" + name + "'."));
    Typed v = t.Expression(*expr, scope);
    select += ", " + v.sql;
    targets.push_back(i);
    types.push_back(v.type);
  }
  select += " FROM " + from;
  if (s.where) select += " WHERE " + t.Condition(*s.where, scope);
  if (s.top) select += t.ClusteredOrder(scope) + " LIMIT " + t.Expression(*s.top, scope).sql;

  std::string sql = "UPDATE " + table.SqliteName() + " SET ";
  for (std::size_t k = 0; k < targets.size(); ++k)
    sql += (k ? ", " : "") + QuoteName(table.columns[targets[k]].name) + " = ?" +
           std::to_string(k + 1);
  sql += " WHERE rowid = ?" + std::to_string(targets.size() + 1);

  WriteScope write(*this, {table.schema});
  std::vector<std::vector<Value>> rows = Fetch(select, t.binds());
  std::unique_ptr<SqliteStatement> update = Compile(sql);
  for (const std::vector<Value>& row : rows) {
    CheckCancel();
    update->Reset();
    std::vector<Value> converted;
    for (std::size_t k = 0; k < targets.size(); ++k) {
      const ColumnInfo& c = table.columns[targets[k]];
      Value v = Convert(FromStorage(row[k + 1], types[k]), types[k], c.type, ConvertMode::Assign,
                        functions_.date_order);
      if (IsNull(v) && !c.type.nullable)
        throw NullNotAllowed(c.name, table.QualifiedName(), "UPDATE");
      update->Bind(static_cast<int>(k) + 1, ToStorage(v, c.type));
      converted.push_back(std::move(v));
    }
    update->Bind(static_cast<int>(targets.size()) + 1, row[0]);
    try {
      update->Step();
    } catch (const SqliteFailure& f) {
      if ((f.code() & 0xff) == SQLITE_CONSTRAINT) {
        // The key as it would have been: read the row back with the new values.
        std::vector<std::vector<Value>> current =
            Fetch("SELECT * FROM " + table.SqliteName() + " WHERE rowid = ?1", {row[0]});
        std::vector<Value> values;
        for (std::size_t i = 0; i < table.columns.size(); ++i)
          values.push_back(FromStorage(current.at(0).at(i), table.columns[i].type));
        for (std::size_t k = 0; k < targets.size(); ++k) values[targets[k]] = converted[k];
        DuplicateKey(table, f.what(), values);
      }
      Rethrow(f);
    }
  }
  write.Commit();
  CountDone(sink, static_cast<std::int64_t>(rows.size()));
}

void SessionImpl::Delete(const DeleteStmt& s, ResultSink& sink) {
  Translator t(*this);
  Scope scope;
  TableInfo table;
  std::string from;
  std::string target = TargetFrom(s.table, s.from, t, scope, table, from);
  std::string sql = "DELETE FROM " + table.SqliteName() + " WHERE rowid IN (SELECT " + target +
                    ".rowid FROM " + from;
  if (s.where) sql += " WHERE " + t.Condition(*s.where, scope);
  if (s.top) sql += t.ClusteredOrder(scope) + " LIMIT " + t.Expression(*s.top, scope).sql;
  sql += ")";
  WriteScope write(*this, {table.schema});
  std::unique_ptr<SqliteStatement> st = Compile(sql);
  st->Bind(t.binds());
  Step(*st);
  std::int64_t count = sqlite3_changes64(db_.get());
  if (s.truncate) {
    catalog::ResetIdentity(db_.get(), table);
    write.Commit();
    sink.Done(StatementDone{});
    return;
  }
  write.Commit();
  CountDone(sink, count);
}

}  // namespace standin
