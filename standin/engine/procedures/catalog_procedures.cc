// The catalog procedures ODBC drivers call: sp_pkeys, sp_columns, sp_tables.
#include <algorithm>

#include "execute/session_impl.h"
#include "procedures/procedure_args.h"
#include "values/collation.h"
#include "values/sql_types.h"

namespace standin {

using namespace engine;

namespace {

SqlType Sysname(bool nullable = true) {
  SqlType t = MakeType(TypeId::NVarChar, 128);
  t.nullable = nullable;
  return t;
}

SqlType Small() {
  return MakeType(TypeId::SmallInt);
}

Value N(std::int64_t v) {
  return v;
}

// What ODBC reports for a column type (ODBC 3 codes).
struct OdbcType {
  std::int64_t data_type;
  std::int64_t precision;
  std::int64_t length;
  Value scale;
  Value radix;
  std::int64_t sql_data_type;
  Value datetime_sub;
  Value octet_length;
  std::int64_t ss_data_type;
};

OdbcType Describe(const SqlType& t) {
  const Value null;
  std::int64_t n = t.length == SqlType::kMaxLength ? 2147483647 : t.length;
  switch (t.id) {
    case TypeId::Int:
      return {4, 10, 4, N(0), N(10), 4, null, null, t.nullable ? 38 : 56};
    case TypeId::BigInt:
      return {-5, 19, 8, N(0), N(10), -5, null, null, t.nullable ? 38 : 127};
    case TypeId::SmallInt:
      return {5, 5, 2, N(0), N(10), 5, null, null, t.nullable ? 38 : 52};
    case TypeId::TinyInt:
      return {-6, 3, 1, N(0), N(10), -6, null, null, t.nullable ? 38 : 48};
    case TypeId::Bit:
      return {-7, 1, 1, N(0), null, -7, null, null, 50};
    case TypeId::Char:
      return {1, n, n, null, null, 1, null, N(n), 47};
    case TypeId::VarChar:
      return {12, n, n, null, null, 12, null, N(n), 39};
    case TypeId::NChar:
      return {-8, n, n * 2, null, null, -8, null, N(n * 2), 47};
    case TypeId::NVarChar:
      return {-9, n,    t.length == SqlType::kMaxLength ? n : n * 2,    null, null,
              -9, null, N(t.length == SqlType::kMaxLength ? n : n * 2), 39};
    case TypeId::Text:
      return {-1, 2147483647, 2147483647, null, null, -1, null, N(2147483647), 35};
    case TypeId::NText:
      return {-10, 1073741823, 2147483646, null, null, -10, null, N(2147483646), 35};
    case TypeId::DateTime:
      return {93, 23, 16, N(3), null, 9, N(3), null, t.nullable ? 111 : 61};
    case TypeId::SmallDateTime:
      return {93, 16, 16, N(0), null, 9, N(3), null, t.nullable ? 111 : 58};
    case TypeId::DateTime2:
      return {93, 19 + (t.scale ? t.scale + 1 : 0), 16, N(t.scale), null, 9, N(3), null, 0};
    case TypeId::Date:
      return {91, 10, 6, null, null, 9, N(1), null, 0};
    case TypeId::Time:
      return {92, 8 + (t.scale ? t.scale + 1 : 0), 10, N(t.scale), null, 9, N(2), null, 0};
    case TypeId::Money:
      return {3, 19, 21, N(4), N(10), 3, null, null, t.nullable ? 110 : 60};
    case TypeId::SmallMoney:
      return {3, 10, 12, N(4), N(10), 3, null, null, t.nullable ? 110 : 122};
    case TypeId::Decimal:
      return {3, t.precision, t.precision + 2, N(t.scale), N(10), 3, null, null, 106};
    case TypeId::Float:
      return {6, 15, 8, null, N(10), 6, null, null, t.nullable ? 109 : 62};
    case TypeId::Real:
      return {7, 7, 4, null, N(10), 7, null, null, t.nullable ? 109 : 59};
    case TypeId::UniqueIdentifier:
      return {-11, 36, 16, null, null, -11, null, null, 0};
    case TypeId::Binary:
      return {-2, n, n, null, null, -2, null, N(n), 45};
    case TypeId::VarBinary:
      return {-3, n, n, null, null, -3, null, N(n), 37};
    case TypeId::Image:
      return {-4, 2147483647, 2147483647, null, null, -4, null, N(2147483647), 34};
  }
  return {};
}

std::string ColumnDefault(const std::string& text) {
  if (text.empty()) return text;
  bool number = text.find_first_not_of("-+.0123456789") == std::string::npos;
  return number ? "((" + text + "))" : "(" + text + ")";
}

}  // namespace

void SessionImpl::PrimaryKeys(std::vector<Param> params, ResultSink& sink) {
  ObjectName name;
  name.object = ArgText(Arg(params, 0, "@table_name"));
  name.database = ArgText(Arg(params, 2, "@table_qualifier"));
  if (!name.database.empty()) name.schema = "dbo";
  std::vector<Column> columns = {{"TABLE_QUALIFIER", Sysname()}, {"TABLE_OWNER", Sysname()},
                                 {"TABLE_NAME", Sysname(false)}, {"COLUMN_NAME", Sysname(false)},
                                 {"KEY_SEQ", Small()},           {"PK_NAME", Sysname()}};
  sink.Columns(columns);
  std::int64_t count = 0;
  if (std::optional<TableInfo> table = FindTable(name)) {
    std::vector<const ColumnInfo*> key;
    for (const ColumnInfo& c : table->columns)
      if (c.key_ordinal > 0) key.push_back(&c);
    std::sort(key.begin(), key.end(), [](const ColumnInfo* a, const ColumnInfo* b) {
      return a->key_ordinal < b->key_ordinal;
    });
    for (const ColumnInfo* c : key) {
      sink.Row({table->database, std::string("dbo"), table->name, c->name,
                std::int64_t{c->key_ordinal}, table->pk_name});
      ++count;
    }
  }
  CountDone(sink, count);
  sink.ReturnStatus(0);
}

void SessionImpl::Columns(std::vector<Param> params, ResultSink& sink) {
  std::string pattern = ArgText(Arg(params, 0, "@table_name"));
  std::string qualifier = ArgText(Arg(params, 2, "@table_qualifier"));
  std::string column_pattern = ArgText(Arg(params, 3, "@column_name"));
  if (column_pattern.empty()) column_pattern = "%";
  std::vector<Column> columns = {{"TABLE_QUALIFIER", Sysname()},
                                 {"TABLE_OWNER", Sysname()},
                                 {"TABLE_NAME", Sysname(false)},
                                 {"COLUMN_NAME", Sysname(false)},
                                 {"DATA_TYPE", Small()},
                                 {"TYPE_NAME", Sysname()},
                                 {"PRECISION", MakeType(TypeId::Int)},
                                 {"LENGTH", MakeType(TypeId::Int)},
                                 {"SCALE", Small()},
                                 {"RADIX", Small()},
                                 {"NULLABLE", Small()},
                                 {"REMARKS", MakeType(TypeId::VarChar, 254)},
                                 {"COLUMN_DEF", MakeType(TypeId::NVarChar, 4000)},
                                 {"SQL_DATA_TYPE", Small()},
                                 {"SQL_DATETIME_SUB", Small()},
                                 {"CHAR_OCTET_LENGTH", MakeType(TypeId::Int)},
                                 {"ORDINAL_POSITION", MakeType(TypeId::Int)},
                                 {"IS_NULLABLE", MakeType(TypeId::VarChar, 254)},
                                 {"SS_DATA_TYPE", MakeType(TypeId::TinyInt)}};
  std::vector<TableInfo> tables;
  ObjectName probe;
  probe.database = qualifier;
  if (!qualifier.empty()) probe.schema = "dbo";
  if (pattern.rfind("#", 0) == 0) {
    probe.object = pattern;
    if (std::optional<TableInfo> t = FindTable(probe)) tables.push_back(*t);
  } else {
    DatabaseFile db;
    if (qualifier.empty()) {
      db = DatabaseFor(probe);
    } else if (std::optional<DatabaseFile> d = engine_.FindDatabase(qualifier)) {
      db = *d;
    }
    if (!db.name.empty()) {
      std::string schema = Attach(db);
      for (const std::string& name : catalog::AllTables(db_.get(), schema)) {
        if (!LikeMatch(name, pattern.empty() ? "%" : pattern, '\\')) continue;
        if (std::optional<TableInfo> t = catalog::Find(db_.get(), schema, db.name, name))
          tables.push_back(*t);
      }
    }
  }
  sink.Columns(columns);
  std::int64_t count = 0;
  for (const TableInfo& t : tables) {
    for (std::size_t i = 0; i < t.columns.size(); ++i) {
      const ColumnInfo& c = t.columns[i];
      if (!LikeMatch(c.name, column_pattern, '\\')) continue;
      OdbcType o = Describe(c.type);
      std::string type_name =
          (c.type.id == TypeId::Decimal ? std::string("decimal") : TypeName(c.type.id)) +
          (c.identity ? " identity" : "");
      std::string def = ColumnDefault(c.default_text);
      sink.Row({t.database, std::string("dbo"), t.name, c.name, o.data_type, type_name, o.precision,
                o.length, o.scale, o.radix, std::int64_t{c.type.nullable}, Value{},
                def.empty() ? Value{} : Value{def}, o.sql_data_type, o.datetime_sub, o.octet_length,
                static_cast<std::int64_t>(i + 1), std::string(c.type.nullable ? "YES" : "NO"),
                o.ss_data_type});
      ++count;
    }
  }
  CountDone(sink, count);
  sink.ReturnStatus(0);
}

std::optional<TableInfo> SessionImpl::ProcedureTable(const std::vector<Param>& params) {
  ObjectName name;
  name.object = ArgText(Arg(params, 0, "@table_name"));
  name.database = ArgText(Arg(params, 2, "@table_qualifier"));
  if (!name.database.empty()) name.schema = "dbo";
  return FindTable(name);
}

void SessionImpl::Statistics(std::vector<Param> params, ResultSink& sink) {
  bool unique_only = UpperCase(ArgText(Arg(params, 4, "@is_unique"))) == "Y";
  std::vector<Column> columns = {{"TABLE_QUALIFIER", Sysname()},
                                 {"TABLE_OWNER", Sysname()},
                                 {"TABLE_NAME", Sysname(false)},
                                 {"NON_UNIQUE", Small()},
                                 {"INDEX_QUALIFIER", Sysname()},
                                 {"INDEX_NAME", Sysname()},
                                 {"TYPE", Small()},
                                 {"SEQ_IN_INDEX", Small()},
                                 {"COLUMN_NAME", Sysname()},
                                 {"COLLATION", MakeType(TypeId::Char, 1)},
                                 {"CARDINALITY", MakeType(TypeId::Int)},
                                 {"PAGES", MakeType(TypeId::Int)},
                                 {"FILTER_CONDITION", MakeType(TypeId::VarChar, 128)}};
  std::optional<TableInfo> table = ProcedureTable(params);
  std::int64_t rows = 0;
  if (table)
    rows = std::get<std::int64_t>(
        Fetch("SELECT count(*) FROM " + table->SqliteName(), {}).at(0).at(0));
  sink.Columns(columns);
  std::int64_t count = 0;
  if (table) {
    sink.Row({table->database, std::string("dbo"), table->name, Value{}, Value{}, Value{},
              std::int64_t{0}, Value{}, Value{}, Value{}, rows, Value{}, Value{}});
    ++count;
    std::vector<IndexInfo> indexes;
    if (!table->pk_name.empty()) {
      IndexInfo pk{table->pk_name, true, {}};
      std::vector<const ColumnInfo*> key;
      for (const ColumnInfo& c : table->columns)
        if (c.key_ordinal > 0) key.push_back(&c);
      std::sort(key.begin(), key.end(), [](const ColumnInfo* a, const ColumnInfo* b) {
        return a->key_ordinal < b->key_ordinal;
      });
      for (const ColumnInfo* c : key) pk.columns.push_back(c->name);
      indexes.push_back(pk);
    }
    for (const IndexInfo& index : table->indexes) indexes.push_back(index);
    for (std::size_t k = 0; k < indexes.size(); ++k) {
      const IndexInfo& index = indexes[k];
      if (unique_only && !index.unique) continue;
      bool clustered = k == 0 && !table->pk_name.empty();
      for (std::size_t i = 0; i < index.columns.size(); ++i) {
        sink.Row({table->database, std::string("dbo"), table->name,
                  std::int64_t{index.unique ? 0 : 1}, table->name, index.name,
                  std::int64_t{clustered ? 1 : 3}, static_cast<std::int64_t>(i + 1),
                  index.columns[i], std::string("A"), Value{}, Value{}, Value{}});
        ++count;
      }
    }
  }
  CountDone(sink, count);
  sink.ReturnStatus(0);
}

void SessionImpl::SpecialColumns(std::vector<Param> params, ResultSink& sink) {
  std::string col_type = UpperCase(ArgText(Arg(params, 3, "@col_type")));
  std::vector<Column> columns = {{"SCOPE", Small()},
                                 {"COLUMN_NAME", Sysname(false)},
                                 {"DATA_TYPE", Small()},
                                 {"TYPE_NAME", Sysname()},
                                 {"PRECISION", MakeType(TypeId::Int)},
                                 {"LENGTH", MakeType(TypeId::Int)},
                                 {"SCALE", Small()},
                                 {"PSEUDO_COLUMN", Small()}};
  std::optional<TableInfo> table = ProcedureTable(params);
  sink.Columns(columns);
  std::int64_t count = 0;
  if (table && col_type != "V") {
    // The best row identifier: the primary key, else the first unique index.
    std::vector<std::string> key;
    std::vector<std::pair<int, std::string>> pk;
    for (const ColumnInfo& c : table->columns)
      if (c.key_ordinal > 0) pk.emplace_back(c.key_ordinal, c.name);
    std::sort(pk.begin(), pk.end());
    for (const auto& [ordinal, name] : pk) key.push_back(name);
    for (const IndexInfo& index : table->indexes)
      if (key.empty() && index.unique) key = index.columns;
    for (const std::string& name : key) {
      const ColumnInfo& c = table->columns[table->FindColumn(name)];
      OdbcType o = Describe(c.type);
      sink.Row({std::int64_t{0}, c.name, o.data_type, TypeName(c.type.id), o.precision, o.length,
                o.scale, std::int64_t{1}});
      ++count;
    }
  }
  CountDone(sink, count);
  sink.ReturnStatus(0);
}

void SessionImpl::Tables(std::vector<Param> params, ResultSink& sink) {
  std::string pattern = ArgText(Arg(params, 0, "@table_name"));
  std::string qualifier = ArgText(Arg(params, 2, "@table_qualifier"));
  std::string types = UpperCase(ArgText(Arg(params, 3, "@table_type")));
  std::vector<Column> columns = {{"TABLE_QUALIFIER", Sysname()},
                                 {"TABLE_OWNER", Sysname()},
                                 {"TABLE_NAME", Sysname()},
                                 {"TABLE_TYPE", MakeType(TypeId::VarChar, 32)},
                                 {"REMARKS", MakeType(TypeId::VarChar, 254)}};
  sink.Columns(columns);
  std::int64_t count = 0;
  bool want_tables = types.empty() || types.find("TABLE") != std::string::npos;
  ObjectName probe;
  probe.database = qualifier;
  std::optional<DatabaseFile> db = qualifier.empty()
                                       ? std::optional<DatabaseFile>(DatabaseFor(probe))
                                       : engine_.FindDatabase(qualifier);
  if (db && want_tables) {
    std::string schema = Attach(*db);
    for (const std::string& name : catalog::AllTables(db_.get(), schema)) {
      if (!LikeMatch(name, pattern.empty() ? "%" : pattern, '\\')) continue;
      sink.Row({db->name, std::string("dbo"), name, std::string("TABLE"), Value{}});
      ++count;
    }
  }
  CountDone(sink, count);
  sink.ReturnStatus(0);
}

}  // namespace standin
