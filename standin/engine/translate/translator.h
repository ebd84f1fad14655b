// Turns parsed T-SQL queries and expressions into SQLite SQL, resolving names
// against the catalog and typing every expression as SQL Server types it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "catalog/catalog.h"
#include "parse/ast.h"
#include "sql_value.h"

namespace standin::engine {

// What the translator asks of the session it works for.
class Resolver {
 public:
  virtual ~Resolver() = default;
  // The table a name stands for; throws 208 when there is none.
  virtual TableInfo Table(const ObjectName& name) = 0;
  // The table, or nullopt (OBJECT_ID).
  virtual std::optional<TableInfo> FindTable(const ObjectName& name) = 0;
  // A parameter (@P1) or system variable (@@SPID) with its type and value;
  // throws 137 when it is not declared.
  virtual Param Variable(const std::string& name) = 0;
  // The value of a session function without arguments (DB_NAME,
  // SCOPE_IDENTITY, USER_NAME, HOST_NAME, APP_NAME, GETDATE), or nullopt.
  virtual std::optional<Param> SessionFunction(const std::string& upper_name) = 0;
  // A subquery listing the databases: columns name and database_id.
  virtual std::string DatabaseList() = 0;
};

// An expression in SQLite SQL and its SQL Server type.
struct Typed {
  std::string sql;
  SqlType type;
  bool null_literal = false;  // the literal NULL, which takes any type
  int literal_digits = 0;     // an integer literal's digits: its precision next to decimals
};

// One table (or derived table) visible to expressions.
struct Source {
  std::string sql_alias;  // t0, t1, ... in the generated SQL
  std::string table;      // the SQLite name of the table; empty for a derived table
  std::string exposed;    // the alias, or the table's name
  std::vector<ColumnInfo> columns;
};

struct Scope {
  std::vector<Source> sources;
  const Scope* outer = nullptr;
};

// A query ready for SQLite: SQL with ?N parameters, their values, and the
// result columns it produces.
struct TranslatedQuery {
  std::string sql;
  std::vector<Value> binds;
  std::vector<Column> columns;
};

class Translator {
 public:
  explicit Translator(Resolver& resolver) : resolver_(resolver) {}

  // A whole SELECT (with UNION, ORDER BY, TOP).
  std::vector<Column> Query(const Select& select, const Scope* outer, std::string& sql);
  // An expression typed in `scope`.
  Typed Expression(const Expr& e, const Scope& scope);
  // A search condition (WHERE, ON, HAVING) in `scope`.
  std::string Condition(const Expr& e, const Scope& scope);
  // `t` converted to `to` (assign: over-long text fails instead of being cut;
  // style: CONVERT's style number, -1 for none).
  Typed ConvertTo(const Typed& t, const SqlType& to, bool assign = false, int style = -1) const;
  // A FROM list: adds its sources to `scope`, returns the SQL after FROM.
  std::string FromClause(const std::vector<FromItem>& from, Scope& scope);
  // A fresh alias (t0, t1, ...) for a source in the generated SQL.
  std::string NextAlias() { return "t" + std::to_string(next_alias_++); }
  // A source for one table, seen as `alias` (or its name), emitted as `sql_alias`.
  Source TableSource(const TableInfo& table, const std::string& alias,
                     const std::string& sql_alias);

  // Without ORDER BY, SQL Server reads a table with a primary key along its
  // clustered index: " ORDER BY" the keys of the sources in FROM order, or "".
  std::string ClusteredOrder(const Scope& scope);

  // Values of the ?N parameters emitted so far, in order of N.
  std::vector<Value>& binds() { return binds_; }
  // Emits a parameter holding `value` (a storage value) and returns "?N".
  std::string Bind(const Value& storage_value);

 private:
  std::string SourceFor(const TableRef& ref, Scope& scope);
  // One SELECT of a UNION chain; `untyped` marks columns that are a bare NULL.
  std::vector<Column> Core(const Select& s, const Scope* outer, std::string& sql,
                           std::vector<std::string>& item_sql, Scope& scope,
                           std::vector<bool>& untyped);
  std::string OrderBy(const Select& s, const std::vector<Column>& columns, const Scope* scope);

  Typed ColumnRef(const Expr& e, const Scope& scope);
  Typed Literal(const Expr& e);
  Typed Function(const Expr& e, const Scope& scope);
  Typed Arithmetic(const Expr& e, const Scope& scope);
  Typed Case(const Expr& e, const Scope& scope);
  std::string Comparison(const std::string& op, Typed a, Typed b);
  Typed Subquery(const Select& s, const Scope& scope);
  // Brings both sides to one type where SQLite would otherwise compare them
  // differently from SQL Server (text against numbers, dates, GUIDs).
  void Unify(Typed& a, Typed& b) const;

  Resolver& resolver_;
  std::vector<Value> binds_;
  int next_alias_ = 0;
};

// True for types compared under the TSQLCI collation.
bool UsesCollation(const SqlType& type);

}  // namespace standin::engine
