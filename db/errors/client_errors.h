// The errors of the client under the layer: EDAError, and below it
// EOLEDBError (the client failed without a SQL Server error record) and
// EMSError (SQL Server reported errors). Messages follow ComponentMessage().
#pragma once

#include <string>
#include <vector>

#include "core/component.h"
#include "db/errors/database_error.h"

// One diagnostic record of a failed client call.
struct TErrorRecord {
  std::string SQLState;
  int NativeError = 0;      // SQL Server's error number; 0 for most records of the client itself
  std::string Message;      // without the client's "[vendor][component]" prefixes
  bool FromServer = false;  // reported by SQL Server, not made up by the client
  int SeverityClass = 0;    // 0 where the client does not tell
  int State = 0;            // 0 where the client does not tell
  std::string ServerName;
  std::string ProcName;
  int LineNumber = 0;
};

class EDAError : public EDatabaseError {
 public:
  // `AComponent` is the component the failing operation ran for, or null; not owned.
  EDAError(const std::string& AMessage, int AErrorCode, TComponent* AComponent);

  int ErrorCode() const { return FErrorCode; }
  TComponent* Component() const { return FComponent; }

 private:
  int FErrorCode;
  TComponent* FComponent;
};

class EOLEDBError : public EDAError {
 public:
  // The message is the records' messages joined by CR LF, or "OLE DB error
  // occurred. Code %Xh" with `AOLEDBErrorCode` when there is none.
  EOLEDBError(std::vector<TErrorRecord> ARecords, int AOLEDBErrorCode, TComponent* AComponent);
  // The error of a session the server went away from: "The connection to
  // the server was lost." then, after CR LF, the message made as above.
  static EOLEDBError ConnectionLost(std::vector<TErrorRecord> ARecords, int AOLEDBErrorCode,
                                    TComponent* AComponent);

  int OLEDBErrorCode() const { return FOLEDBErrorCode; }
  const std::vector<TErrorRecord>& Records() const { return FRecords; }

 protected:
  EOLEDBError(const std::string& AMessage, int AErrorCode, std::vector<TErrorRecord> ARecords,
              int AOLEDBErrorCode, TComponent* AComponent);

 private:
  std::vector<TErrorRecord> FRecords;
  int FOLEDBErrorCode;
};

class EMSError : public EOLEDBError {
 public:
  // `ARecords` must hold a record from the server (else std::invalid_argument).
  // The message joins the server's records by CR LF in the order given; the
  // other members come from the last of them.
  EMSError(std::vector<TErrorRecord> ARecords, int AOLEDBErrorCode, TComponent* AComponent);

  int MSSQLErrorCode() const { return FLast.NativeError; }
  const std::string& ServerName() const { return FLast.ServerName; }
  const std::string& ProcName() const { return FLast.ProcName; }
  int State() const { return FLast.State; }
  int SeverityClass() const { return FLast.SeverityClass; }
  int LineNumber() const { return FLast.LineNumber; }
  const std::string& LastMessage() const { return FLast.Message; }

 private:
  EMSError(const std::vector<TErrorRecord>& ARecords, const TErrorRecord& ALast,
           int AOLEDBErrorCode, TComponent* AComponent);

  TErrorRecord FLast;
};
