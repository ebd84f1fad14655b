// The parsed form of a Transact-SQL batch.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "parse/lexer.h"
#include "sql_value.h"

namespace standin::engine {

struct Select;

// A possibly qualified name: [server.]db.schema.object as written. Empty
// parts stand for omitted ones ("db..T" has an empty schema).
struct ObjectName {
  std::string database;
  std::string schema;
  std::string object;
  // The name as SQL Server quotes it in messages: parts joined by ".".
  std::string Written() const;
};

enum class ExprKind {
  Literal,   // token: Number, String, NString, Binary, or Word NULL
  Column,    // names: 1..4 parts
  Variable,  // text: "@P1" or "@@SPID"
  Unary,     // op: "-", "+", "~", "NOT"; args[0]
  Binary,    // op: "+", "-", "*", "/", "%", "=", "<>", "<", ">", "<=", ">=", "AND", "OR", "&", "|",
             // "^"
  Function,  // text: upper-case name; args; star for COUNT(*); distinct
  Cast,      // args[0] AS cast_type (CAST and CONVERT)
  Case,      // args: [operand] when, then, ..., [else]
  IsNull,    // args[0] IS [NOT] NULL
  Like,      // args[0] [NOT] LIKE args[1] [ESCAPE args[2]]
  Between,   // args[0] [NOT] BETWEEN args[1] AND args[2]
  InList,    // args[0] [NOT] IN (args[1..])
  InSelect,  // args[0] [NOT] IN (subquery)
  Exists,    // [NOT] EXISTS (subquery)
  Subquery,  // (subquery) as a scalar
};

struct Expr {
  ExprKind kind = ExprKind::Literal;
  Token token;                     // Literal
  std::vector<std::string> names;  // Column
  std::string text;                // Variable name, Function name, operator
  std::vector<std::unique_ptr<Expr>> args;
  std::shared_ptr<Select> subquery;
  SqlType cast_type;         // Cast
  bool negated = false;      // NOT LIKE / NOT IN / NOT BETWEEN / IS NOT NULL / NOT EXISTS
  bool star = false;         // COUNT(*)
  bool distinct = false;     // COUNT(DISTINCT x)
  bool has_operand = false;  // CASE x WHEN ...
  bool has_else = false;
  bool has_escape = false;  // LIKE ... ESCAPE
};
using ExprPtr = std::unique_ptr<Expr>;

struct SelectItem {
  ExprPtr expr;  // null for * or T.*
  std::string alias;
  bool star = false;
  std::vector<std::string> star_qualifier;  // T in T.*
};

struct TableRef {
  ObjectName name;                  // a table, or
  std::shared_ptr<Select> derived;  // a derived table (SELECT ...) AS alias
  std::string alias;
};

struct Join {
  std::string kind;  // "INNER", "LEFT", "RIGHT", "FULL", "CROSS"
  TableRef table;
  ExprPtr on;
};

struct FromItem {
  TableRef first;
  std::vector<Join> joins;
};

struct OrderItem {
  ExprPtr expr;
  bool descending = false;
};

struct Select {
  bool distinct = false;
  ExprPtr top;
  bool top_percent = false;
  std::vector<SelectItem> items;
  std::vector<FromItem> from;
  ExprPtr where;
  std::vector<ExprPtr> group_by;
  ExprPtr having;
  std::vector<OrderItem> order_by;
  std::shared_ptr<Select> union_next;  // the next SELECT of a UNION chain
  bool union_all = false;
  std::optional<ObjectName> into;  // SELECT ... INTO table
};

struct InsertStmt {
  ObjectName table;
  std::vector<std::string> columns;
  std::vector<std::vector<ExprPtr>> rows;  // VALUES
  std::shared_ptr<Select> select;          // INSERT ... SELECT
  bool default_values = false;
};

struct UpdateStmt {
  ObjectName table;
  std::vector<std::pair<std::string, ExprPtr>> assignments;
  std::vector<FromItem> from;  // UPDATE T SET ... FROM ...
  ExprPtr where;
  ExprPtr top;
};

struct DeleteStmt {
  ObjectName table;
  bool truncate = false;  // TRUNCATE TABLE: no count, identity starts again
  std::vector<FromItem> from;
  ExprPtr where;
  ExprPtr top;
};

struct ColumnDef {
  std::string name;
  SqlType type;
  bool identity = false;
  std::int64_t seed = 1;
  std::int64_t increment = 1;
  ExprPtr default_value;
  std::string default_text;  // the DEFAULT expression as written
  bool primary_key = false;
  bool unique = false;
  std::string constraint_name;  // of an inline PRIMARY KEY / UNIQUE
};

struct KeyDef {
  std::string name;  // constraint name, empty when not given
  bool primary = false;
  std::vector<std::string> columns;
};

struct CreateTableStmt {
  ObjectName table;
  std::vector<ColumnDef> columns;
  std::vector<KeyDef> keys;  // table-level PRIMARY KEY / UNIQUE
};

struct DropTableStmt {
  std::vector<ObjectName> tables;
  bool if_exists = false;
};

struct CreateIndexStmt {
  std::string name;
  bool unique = false;
  ObjectName table;
  std::vector<std::string> columns;
};

struct DropIndexStmt {
  ObjectName table;
  std::string name;
};

struct CreateDatabaseStmt {
  std::string name;
};
struct DropDatabaseStmt {
  std::string name;
  bool if_exists = false;
};
struct UseStmt {
  std::string name;
};

struct SetStmt {
  std::vector<std::string> options;  // upper-case option words
  std::string value;                 // ON / OFF / a number / a word, as written
  ExprPtr expr;                      // SET @v = expr is not supported; kept for LOCK_TIMEOUT @x
  ObjectName table;                  // SET IDENTITY_INSERT table ON|OFF
};

struct ExecArg {
  std::string name;  // "@name" or empty
  ExprPtr value;
  bool output = false;
};

struct ExecStmt {
  ObjectName procedure;
  std::vector<ExecArg> args;
};

// DECLARE @a int [= value], @b varchar(10) ...
struct DeclareStmt {
  struct Variable {
    std::string name;
    SqlType type;
    ExprPtr initial;
  };
  std::vector<Variable> variables;
};

// SET @a = value
struct AssignStmt {
  std::string name;
  ExprPtr value;
};

// WAITFOR DELAY 'hh:mm:ss[.mmm]'
struct WaitStmt {
  ExprPtr delay;
};

// ALTER TABLE t ADD column definitions
struct AlterTableStmt {
  ObjectName table;
  std::vector<ColumnDef> added;
};

// PRINT value, or RAISERROR(text, severity, state [, arguments]).
struct MessageStmt {
  std::vector<ExprPtr> args;
  bool raise = false;
};

struct KillStmt {
  ExprPtr spid;
};

struct TransactionStmt {
  enum Kind { Begin, Commit, Rollback } kind = Begin;
};

// IF [NOT] EXISTS (...) / IF OBJECT_ID(...) IS [NOT] NULL  statement [ELSE statement]
struct IfStmt;

using StatementBody =
    std::variant<std::shared_ptr<Select>, InsertStmt, UpdateStmt, DeleteStmt, CreateTableStmt,
                 DropTableStmt, CreateIndexStmt, DropIndexStmt, CreateDatabaseStmt,
                 DropDatabaseStmt, UseStmt, SetStmt, ExecStmt, KillStmt, MessageStmt, DeclareStmt,
                 AssignStmt, WaitStmt, AlterTableStmt, TransactionStmt, std::shared_ptr<IfStmt>>;

struct Statement {
  StatementBody body;
  int line = 1;
};

struct IfStmt {
  ExprPtr condition;
  std::vector<Statement> then_branch;
  std::vector<Statement> else_branch;
};

}  // namespace standin::engine
