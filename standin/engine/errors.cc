#include "errors.h"

#include <array>
#include <cctype>
#include <string>

namespace standin::engine {

namespace {

std::string Q(std::string_view s) {
  return "'" + std::string(s) + "'";
}

// Keywords SQL Server names as "the keyword" in syntax errors.
bool IsReservedKeyword(std::string_view word) {
  static constexpr std::array kWords = {
      "ADD",         "ALL",     "ALTER",  "AND",      "ANY",       "AS",         "ASC",
      "BEGIN",       "BETWEEN", "BY",     "CASE",     "CHECK",     "COLUMN",     "COMMIT",
      "CONSTRAINT",  "CREATE",  "CROSS",  "DATABASE", "DEFAULT",   "DELETE",     "DESC",
      "DISTINCT",    "DROP",    "ELSE",   "END",      "EXEC",      "EXECUTE",    "EXISTS",
      "FOREIGN",     "FROM",    "FULL",   "GROUP",    "HAVING",    "IDENTITY",   "IF",
      "IN",          "INDEX",   "INNER",  "INSERT",   "INTO",      "IS",         "JOIN",
      "KEY",         "KILL",    "LEFT",   "LIKE",     "NOT",       "NULL",       "ON",
      "OR",          "ORDER",   "OUTER",  "PRIMARY",  "PROCEDURE", "REFERENCES", "RIGHT",
      "ROLLBACK",    "SELECT",  "SET",    "TABLE",    "THEN",      "TOP",        "TRAN",
      "TRANSACTION", "UNION",   "UNIQUE", "UPDATE",   "USE",       "VALUES",     "WHEN",
      "WHERE",       "WITH"};
  std::string upper;
  for (char c : word) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  for (const char* k : kWords)
    if (upper == k) return true;
  return false;
}

}  // namespace

ServerMessage Msg(std::int32_t number, std::uint8_t severity, std::uint8_t state,
                  std::string text) {
  ServerMessage m;
  m.number = number;
  m.severity = severity;
  m.state = state;
  m.text = std::move(text);
  m.line = 0;
  return m;
}

SqlError Terminating(ServerMessage message) {
  return SqlError({std::move(message)}, false, true);
}
SqlError StatementTerminated() {
  return SqlError({Msg(3621, 0, 0, "The statement has been terminated.")}, false);
}
SqlError StatementOnly(ServerMessage message) {
  return SqlError({std::move(message)}, false);
}
SqlError BatchAbort(ServerMessage message) {
  return SqlError({std::move(message)}, true);
}

SqlError SyntaxError(std::string_view near) {
  if (IsReservedKeyword(near))
    return BatchAbort(Msg(156, 15, 1, "Incorrect syntax near the keyword " + Q(near) + "."));
  return BatchAbort(Msg(102, 15, 1, "Incorrect syntax near " + Q(near) + "."));
}
SqlError SyntaxErrorAtEnd() {
  return BatchAbort(Msg(102, 15, 1, "Incorrect syntax near ''."));
}
SqlError UnclosedQuote(std::string_view rest) {
  return BatchAbort(
      Msg(105, 15, 1, "Unclosed quotation mark after the character string " + Q(rest) + "."));
}
SqlError UnclosedComment() {
  return BatchAbort(Msg(113, 15, 1, "Missing end comment mark '*/'."));
}
SqlError IdentifierTooLong(std::string_view name) {
  return BatchAbort(Msg(103, 15, 4,
                        "The identifier that starts with " + Q(name.substr(0, 128)) +
                            " is too long. Maximum length is 128."));
}
SqlError TempNameTooLong(std::string_view name) {
  return BatchAbort(Msg(193, 15, 1,
                        "The object or column name starting with " + Q(name.substr(0, 116)) +
                            " is too long. The maximum length is 116 characters."));
}
SqlError InvalidColumn(std::string_view name) {
  return BatchAbort(Msg(207, 16, 1, "Invalid column name " + Q(name) + "."));
}
SqlError AmbiguousColumn(std::string_view name) {
  return BatchAbort(Msg(209, 16, 1, "Ambiguous column name " + Q(name) + "."));
}
SqlError InvalidObject(std::string_view name) {
  return BatchAbort(Msg(208, 16, 1, "Invalid object name " + Q(name) + "."));
}
SqlError MultipartNotBound(std::string_view name) {
  return BatchAbort(Msg(
      4104, 16, 1, "The multi-part identifier \"" + std::string(name) + "\" could not be bound."));
}
SqlError ObjectExists(std::string_view name) {
  return StatementOnly(
      Msg(2714, 16, 6, "There is already an object named " + Q(name) + " in the database."));
}
SqlError CannotDropTable(std::string_view name) {
  return StatementOnly(Msg(3701, 11, 5,
                           "Cannot drop the table " + Q(name) +
                               ", because it does not exist or you do not have permission."));
}
SqlError CannotDropDatabase(std::string_view name) {
  return StatementOnly(Msg(3701, 11, 1,
                           "Cannot drop the database " + Q(name) +
                               ", because it does not exist or you do not have permission."));
}
SqlError DatabaseInUse(std::string_view name) {
  return StatementOnly(
      Msg(3702, 16, 4,
          "Cannot drop database \"" + std::string(name) + "\" because it is currently in use."));
}
SqlError DatabaseMissing(std::string_view name) {
  return BatchAbort(Msg(
      911, 16, 1,
      "Database " + Q(name) + " does not exist. Make sure that the name is entered correctly."));
}
SqlError DatabaseExists(std::string_view name) {
  return StatementOnly(Msg(
      1801, 16, 3, "Database " + Q(name) + " already exists. Choose a different database name."));
}
SqlError UnknownType(int column, std::string_view type) {
  return BatchAbort(Msg(2715, 16, 6,
                        "Column, parameter, or variable #" + std::to_string(column) +
                            ": Cannot find data type " + std::string(type) + "."));
}
SqlError DuplicateColumn(std::string_view column, std::string_view table) {
  return StatementOnly(Msg(2705, 16, 3,
                           "Column names in each table must be unique. Column name " + Q(column) +
                               " in table " + Q(table) + " is specified more than once."));
}
SqlError IndexExists(std::string_view index, std::string_view table) {
  return StatementOnly(Msg(1913, 16, 1,
                           "The operation failed because an index or statistics with name " +
                               Q(index) + " already exists on table " + Q(table) + "."));
}
SqlError NullNotAllowed(std::string_view column, std::string_view table, std::string_view verb) {
  return Terminating(Msg(515, 16, 2,
                         "Cannot insert the value NULL into column " + Q(column) + ", table " +
                             Q(table) + "; column does not allow nulls. " + std::string(verb) +
                             " fails."));
}
SqlError PrimaryKeyViolation(std::string_view constraint, std::string_view table,
                             std::string_view key) {
  return Terminating(Msg(2627, 14, 1,
                         "Violation of PRIMARY KEY constraint " + Q(constraint) +
                             ". Cannot insert duplicate key in object " + Q(table) +
                             ". The duplicate key value is (" + std::string(key) + ")."));
}
SqlError UniqueIndexViolation(std::string_view table, std::string_view index,
                              std::string_view key) {
  return Terminating(Msg(2601, 14, 1,
                         "Cannot insert duplicate key row in object " + Q(table) +
                             " with unique index " + Q(index) + ". The duplicate key value is (" +
                             std::string(key) + ")."));
}
SqlError IdentityInsert(std::string_view table) {
  return StatementOnly(Msg(544, 16, 1,
                           "Cannot insert explicit value for identity column in table " + Q(table) +
                               " when IDENTITY_INSERT is set to OFF."));
}
SqlError IdentityValueRequired(std::string_view table) {
  return StatementOnly(Msg(545, 16, 1,
                           "Explicit value must be specified for identity column in table " +
                               Q(table) +
                               " either when IDENTITY_INSERT is set to ON or when a replication "
                               "user is inserting into a NOT FOR REPLICATION identity column."));
}
SqlError NoIdentityColumn(std::string_view table) {
  return StatementOnly(Msg(8106, 16, 1,
                           "Table " + Q(table) +
                               " does not have the identity property. Cannot perform SET "
                               "operation."));
}
SqlError IdentityInsertElsewhere(std::string_view on, std::string_view table) {
  return StatementOnly(Msg(8107, 16, 1,
                           "IDENTITY_INSERT is already ON for table " + Q(on) +
                               ". Cannot perform SET operation for table " + Q(table) + "."));
}
SqlError ColumnCountMismatch() {
  return BatchAbort(
      Msg(213, 16, 1, "Column name or number of supplied values does not match table definition."));
}
SqlError TooManyValues() {
  return BatchAbort(Msg(110, 15, 1,
                        "There are fewer columns in the INSERT statement than values specified in "
                        "the VALUES clause. The number of values in the VALUES clause must match "
                        "the number of columns specified in the INSERT statement."));
}
SqlError TooFewValues() {
  return BatchAbort(Msg(109, 15, 1,
                        "There are more columns in the INSERT statement than values specified in "
                        "the VALUES clause. The number of values in the VALUES clause must match "
                        "the number of columns specified in the INSERT statement."));
}
SqlError Truncation() {
  return Terminating(Msg(8152, 16, 14, "String or binary data would be truncated."));
}
SqlError DateConversion() {
  return Terminating(
      Msg(241, 16, 1, "Conversion failed when converting date and/or time from character string."));
}
SqlError DateOutOfRange(std::string_view from_type, std::string_view to_type) {
  return Terminating(Msg(242, 16, 3,
                         "The conversion of a " + std::string(from_type) + " data type to a " +
                             std::string(to_type) +
                             " data type resulted in an out-of-range value."));
}
SqlError ValueConversion(std::string_view from_type, std::string_view value,
                         std::string_view to_type) {
  return BatchAbort(Msg(245, 16, 1,
                        "Conversion failed when converting the " + std::string(from_type) +
                            " value " + Q(value) + " to data type " + std::string(to_type) + "."));
}
SqlError ArithmeticOverflow(std::string_view to_type) {
  return Terminating(Msg(8115, 16, 2,
                         "Arithmetic overflow error converting expression to data type " +
                             std::string(to_type) + "."));
}
SqlError ConversionNotAllowed(std::string_view from_type, std::string_view to_type) {
  return BatchAbort(Msg(529, 16, 2,
                        "Explicit conversion from data type " + std::string(from_type) + " to " +
                            std::string(to_type) + " is not allowed."));
}
SqlError NumericConversion(std::string_view from_type, std::string_view to_type) {
  return BatchAbort(Msg(8114, 16, 5,
                        "Error converting data type " + std::string(from_type) + " to " +
                            std::string(to_type) + "."));
}
SqlError DivideByZero() {
  return Terminating(Msg(8134, 16, 1, "Divide by zero error encountered."));
}
SqlError LockTimeout() {
  return StatementOnly(Msg(1222, 16, 51, "Lock request time out period exceeded."));
}
SqlError Deadlock(std::int32_t spid) {
  return BatchAbort(Msg(1205, 13, 51,
                        "Transaction (Process ID " + std::to_string(spid) +
                            ") was deadlocked on lock resources with another process and has been "
                            "chosen as the deadlock victim. Rerun the transaction."));
}
SqlError UndeclaredVariable(std::string_view name) {
  return BatchAbort(
      Msg(137, 15, 2, "Must declare the scalar variable \"" + std::string(name) + "\"."));
}
SqlError UnknownFunction(std::string_view name) {
  return BatchAbort(Msg(195, 15, 10, Q(name) + " is not a recognized built-in function name."));
}
SqlError UnknownProcedure(std::string_view name) {
  return BatchAbort(Msg(2812, 16, 62, "Could not find stored procedure " + Q(name) + "."));
}
SqlError MissingParameter(std::string_view procedure, std::string_view param) {
  return StatementOnly(Msg(201, 16, 4,
                           "Procedure or function " + Q(procedure) + " expects parameter " +
                               Q(param) + ", which was not supplied."));
}
SqlError TooManyArguments(std::string_view procedure) {
  return StatementOnly(Msg(
      8144, 16, 2,
      "Procedure or function " + std::string(procedure) + " has too many arguments specified."));
}
SqlError MissingPreparedParameter(std::string_view decl, std::string_view param) {
  return StatementOnly(Msg(8178, 16, 1,
                           "The parameterized query " + Q("(" + std::string(decl) + ")") +
                               " expects the parameter " + Q(param) + ", which was not supplied."));
}
SqlError UnknownHandle(std::int32_t handle) {
  return StatementOnly(
      Msg(8179, 16, 2,
          "Could not find prepared statement with handle " + std::to_string(handle) + "."));
}
SqlError NotInGroupBy(std::string_view column) {
  return BatchAbort(Msg(8120, 16, 1,
                        "Column " + Q(column) +
                            " is invalid in the select list because it is not contained in either "
                            "an aggregate function or the GROUP BY clause."));
}
SqlError SubqueryColumns() {
  return BatchAbort(Msg(116, 16, 1,
                        "Only one expression can be specified in the select list when the "
                        "subquery is not introduced with EXISTS."));
}
SqlError KillSelf() {
  return StatementOnly(Msg(6104, 16, 1, "Cannot use KILL to kill your own process."));
}
SqlError KillUnknown(std::int32_t spid) {
  return StatementOnly(
      Msg(6106, 16, 2, "Process ID " + std::to_string(spid) + " is not an active process ID."));
}
SqlError CommitWithoutBegin() {
  return StatementOnly(
      Msg(3902, 16, 1, "The COMMIT TRANSACTION request has no corresponding BEGIN TRANSACTION."));
}
SqlError RollbackWithoutBegin() {
  return StatementOnly(
      Msg(3903, 16, 1, "The ROLLBACK TRANSACTION request has no corresponding BEGIN TRANSACTION."));
}
SqlError UnknownTableHint(std::string_view hint) {
  return BatchAbort(Msg(321, 15, 1,
                        "\"" + std::string(hint) +
                            "\" is not a recognized table hints option. If it is intended as a "
                            "parameter to a table-valued function or to the CHANGETABLE function, "
                            "ensure that your database compatibility mode is set to 90."));
}
SqlError ReadUncommittedTarget() {
  return BatchAbort(Msg(1065, 15, 1,
                        "The NOLOCK and READUNCOMMITTED lock hints are not allowed for target "
                        "tables of INSERT, UPDATE, DELETE or MERGE statements."));
}
SqlError NotSupported(std::string_view what) {
  return BatchAbort(
      Msg(40000, 16, 1, "The stand-in server does not support " + std::string(what) + "."));
}

}  // namespace standin::engine
