// One statement run on an open session: direct or prepared execution with
// typed positional parameters, and results read whole.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/component.h"
#include "db/odbc/connection.h"
#include "db/odbc/statement.h"
#include "db/values/field_type.h"
#include "db/values/param_type.h"
#include "db/values/variant.h"

namespace odbc {

class ParamBindings;

// One "?" placeholder's value as it is sent. The server sees `DataType`:
// ftInteger int, ftLargeint bigint, ftBoolean bit, ftString varchar (never
// nvarchar, so indexed varchar columns stay usable), ftWideString nvarchar,
// ftFloat float, ftCurrency money, ftDateTime datetime, ftDate date, ftTime
// time, ftBlob/ftBytes varbinary; ftUnknown takes its type from the value
// (a null of unknown type is a varchar NULL).
struct TParamValue {
  TFieldType DataType = ftUnknown;
  TParamType ParamType = ptInput;  // ptUnknown is sent as input
  TVariant Value;
  std::string Name = {};  // the marker's name, for messages about the value
};

// A result column as the server describes it.
struct TColumnInfo {
  std::string Name;
  std::string TypeName;      // the server's name for its type: "int", "varchar", "nchar", ...
  TFieldType DataType;       // the type a field created for the column gets
  int Size = 0;              // characters for text, bytes for binary; 0 for other types
  bool FixedLength = false;  // char, nchar, binary
  bool Nullable = true;
};

// A result read to its end.
struct TResultSet {
  std::vector<TColumnInfo> Columns;
  std::vector<std::vector<TVariant>> Rows;  // one value per column; text as UTF-8
};

class Command {
 public:
  // A statement on the open `ASession`; errors are raised for `AComponent`
  // (may be null, not owned). Throws Exception "Connection is not connected"
  // when the session is closed.
  Command(Connection& ASession, TComponent* AComponent);
  ~Command();
  Command(const Command&) = delete;
  Command& operator=(const Command&) = delete;

  // Has the server prepare `ASql` (placeholders "?") for `AParams`' types.
  // Later Execute() calls with the same text reuse the preparation as long as
  // the parameters keep their types: values are refreshed in place, so the
  // driver does not prepare again.
  void Prepare(std::string_view ASql, const std::vector<TParamValue>& AParams);
  // Releases the preparation; nothing when there is none.
  void Unprepare();
  bool Prepared() const;

  // Runs `ASql` with `AParams`: the prepared statement when `ASql` is the
  // prepared text, otherwise directly. Returns true when the statement
  // produced a result with columns, which ReadResult() must then read.
  // Throws EMSError / EOLEDBError; the command is ready again afterwards.
  bool Execute(std::string_view ASql, const std::vector<TParamValue>& AParams);
  // Reads the current result to its end, asking for `AFetchRows` rows per
  // driver call, then discards any further results of the statement (errors
  // among them are raised) so the session is free again.
  TResultSet ReadResult(int AFetchRows);
  // The values of the output, input-output and result parameters of the last
  // Execute(), by position (null for input ones); valid once its results are read.
  std::vector<TVariant> OutputValues() const;

  // The primary-key columns of `ATable` ("name", "owner.name" or
  // "db.owner.name", brackets allowed) in key order, as the server's
  // metadata reports them; empty when it reports none.
  std::vector<std::string> PrimaryKeyColumns(std::string_view ATable);

 private:
  // The handle for a direct execution: the prepared one would lose its
  // preparation, so a second handle runs it while a preparation lasts.
  Statement& DirectStatement();
  // Moves `AStatement` past results without columns (raising their errors);
  // true when it stands on one with columns.
  bool SkipToRows(Statement& AStatement);
  // Reads and discards the rest of the results of `AStatement`.
  void DiscardResults(Statement& AStatement);

  Connection& FSession;
  TComponent* FComponent;
  std::unique_ptr<Statement> FStatement;  // the prepared statement; direct ones without one
  std::unique_ptr<Statement> FDirect;     // direct statements while prepared
  std::unique_ptr<ParamBindings> FBindings;
  std::unique_ptr<ParamBindings> FDirectBindings;
  std::string FPreparedSql;
  bool FPrepared = false;
  Statement* FActive = nullptr;  // the statement of the last Execute()
};

}  // namespace odbc
