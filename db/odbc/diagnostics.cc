#include "db/odbc/diagnostics.h"

#include <optional>
#include <string>

#include "db/odbc/sql_api.h"
#include "db/odbc/wide_text.h"

namespace odbc {
namespace {

// SQL Server drivers' own diagnostic fields (the values Microsoft's drivers
// publish). FreeTDS offers only the message state and the line, and stores
// the severity, not the state, in the message-state field.
constexpr SQLSMALLINT kDiagMessageState = -1150;
constexpr SQLSMALLINT kDiagSeverity = -1151;
constexpr SQLSMALLINT kDiagServerName = -1152;
constexpr SQLSMALLINT kDiagProcName = -1153;
constexpr SQLSMALLINT kDiagLine = -1154;

struct FixedSeverity {
  int number;
  int severity;
};

// When a connect fails, unixODBC keeps only each record's text, number and
// SQLSTATE; asked for another field it succeeds and writes nothing. SQL
// Server reports its login errors with fixed severities and always with state
// 1 (the real reason stays in its log), so those two are known for the
// records a refused login brings.
constexpr FixedSeverity kLoginErrors[] = {
    {18456, 14},  // login failed
    {18452, 14},  // login from an untrusted domain
    {4060, 11},   // database of the login request cannot be opened
    {4064, 11},   // login's default database cannot be opened
};

// FreeTDS reports its own failures (network, protocol, character conversion)
// with numbers of its own; they do not come from the server.
bool IsFreeTdsNumber(int number) {
  return (number >= 20000 && number <= 20999) || (number >= 2400 && number <= 2404);
}

// Drops the "[vendor][component]..." tags ODBC puts before every message.
std::string StripPrefixes(std::string text) {
  std::size_t start = 0;
  while (start < text.size() && text[start] == '[') {
    const std::size_t close = text.find(']', start);
    if (close == std::string::npos) break;
    start = close + 1;
  }
  return text.substr(start);
}

// A buffer length of 0 for number fields: FreeTDS refuses the negative
// SQL_IS_* lengths.
std::optional<SQLINTEGER> IntegerField(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record,
                                       SQLSMALLINT field) {
  SQLINTEGER value = 0;
  if (!SQL_SUCCEEDED(SQLGetDiagFieldW(type, handle, record, field, &value, 0, nullptr))) {
    return std::nullopt;
  }
  return value;
}

int LineField(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record) {
  SQLUSMALLINT value = 0;
  if (!SQL_SUCCEEDED(SQLGetDiagFieldW(type, handle, record, kDiagLine, &value, 0, nullptr))) {
    return 0;
  }
  return value;
}

std::string TextField(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record, SQLSMALLINT field) {
  SQLWCHAR buffer[256] = {};
  SQLSMALLINT bytes = 0;
  if (!SQL_SUCCEEDED(
          SQLGetDiagFieldW(type, handle, record, field, buffer, sizeof buffer - 2, &bytes))) {
    return {};
  }
  // The driver manager may succeed without writing anything, so the text
  // ends at its NUL rather than at the reported length.
  std::size_t length = 0;
  while (length + 1 < std::size(buffer) && buffer[length] != 0) ++length;
  return FromSqlWide(buffer, length);
}

std::optional<TErrorRecord> ReadRecord(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT number) {
  SQLWCHAR state[6] = {};
  SQLINTEGER native = 0;
  std::vector<SQLWCHAR> message(1024);
  SQLSMALLINT length = 0;
  SQLRETURN rc = SQLGetDiagRecW(type, handle, number, state, &native, message.data(),
                                static_cast<SQLSMALLINT>(message.size()), &length);
  if (rc == SQL_SUCCESS_WITH_INFO && length >= static_cast<SQLSMALLINT>(message.size())) {
    message.resize(length + 1);
    rc = SQLGetDiagRecW(type, handle, number, state, &native, message.data(),
                        static_cast<SQLSMALLINT>(message.size()), &length);
  }
  if (!SQL_SUCCEEDED(rc)) return std::nullopt;

  TErrorRecord record;
  record.SQLState = FromSqlWide(state, 5);
  record.NativeError = native;
  record.Message = StripPrefixes(FromSqlWide(message.data(), length));
  record.FromServer = native != 0 && !IsFreeTdsNumber(native);
  const std::optional<SQLINTEGER> message_state =
      IntegerField(type, handle, number, kDiagMessageState);
  if (const std::optional<SQLINTEGER> severity =
          IntegerField(type, handle, number, kDiagSeverity)) {
    record.SeverityClass = *severity;
    record.State = message_state.value_or(0);
  } else {
    record.SeverityClass = message_state.value_or(0);  // FreeTDS: see kDiagMessageState
  }
  if (record.SeverityClass == 0) {
    for (const FixedSeverity& login : kLoginErrors) {
      if (login.number == native) record.SeverityClass = login.severity, record.State = 1;
    }
  }
  record.LineNumber = LineField(type, handle, number);
  record.ServerName = TextField(type, handle, number, kDiagServerName);
  if (record.ServerName.empty()) {
    record.ServerName = TextField(type, handle, number, SQL_DIAG_SERVER_NAME);
  }
  record.ProcName = TextField(type, handle, number, kDiagProcName);
  return record;
}

}  // namespace

std::vector<TErrorRecord> ReadDiagnostics(SQLSMALLINT AHandleType, SQLHANDLE AHandle) {
  std::vector<TErrorRecord> records;
  for (SQLSMALLINT number = 1;; ++number) {
    std::optional<TErrorRecord> record = ReadRecord(AHandleType, AHandle, number);
    if (!record) return records;
    records.push_back(std::move(*record));
  }
}

namespace {

// EMSError when a record comes from SQL Server; otherwise EOLEDBError, the
// lost connection's when `ASessionLost`.
[[noreturn]] void Raise(std::vector<TErrorRecord> ARecords, TComponent* AComponent,
                        bool ASessionLost) {
  for (const TErrorRecord& record : ARecords) {
    if (record.FromServer) throw EMSError(std::move(ARecords), kCallFailed, AComponent);
  }
  if (ASessionLost) throw EOLEDBError::ConnectionLost(std::move(ARecords), kCallFailed, AComponent);
  throw EOLEDBError(std::move(ARecords), kCallFailed, AComponent);
}

}  // namespace

void RaiseDiagnostics(SQLSMALLINT AHandleType, SQLHANDLE AHandle, TComponent* AComponent) {
  Raise(ReadDiagnostics(AHandleType, AHandle), AComponent, false);
}

SQLRETURN Check(SQLRETURN AResult, SQLSMALLINT AHandleType, SQLHANDLE AHandle,
                TComponent* AComponent) {
  if (SQL_SUCCEEDED(AResult) || AResult == SQL_NO_DATA) return AResult;
  RaiseDiagnostics(AHandleType, AHandle, AComponent);
}

SQLRETURN CheckExecution(SQLRETURN AResult, SQLHSTMT AStatement, SQLHDBC AConnection,
                         TComponent* AComponent) {
  if (SQL_SUCCEEDED(AResult) || AResult == SQL_NO_DATA) return AResult;
  std::vector<TErrorRecord> records = ReadDiagnostics(SQL_HANDLE_STMT, AStatement);
  // The driver tells no more than "Unknown error" when the server closed the
  // session under the first statement; only the session's state shows it.
  SQLUINTEGER dead = SQL_CD_FALSE;
  const bool lost =
      SQL_SUCCEEDED(SQLGetConnectAttrW(AConnection, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr)) &&
      dead == SQL_CD_TRUE;
  Raise(std::move(records), AComponent, lost);
}

}  // namespace odbc
