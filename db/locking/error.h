// EVtDBLockError: a record lock refused because someone else holds it; the
// fields carry the holder's row of the lock table.
#pragma once

#include <string>

#include "core/date_time.h"
#include "db/errors/database_error.h"

class EVtDBLockError : public EDatabaseError {
 public:
  // Sets the message, then the fields in the order of the parameters.
  EVtDBLockError(std::string AMessage, std::string ADatabaseName, std::string ATableName,
                 std::string AUniqueKey, std::string AComputerName, std::string AUserName,
                 std::string AProgramName, TDateTime ATimeLocked);

  const std::string& DatabaseName() const { return FDatabaseName; }
  void SetDatabaseName(const std::string& AValue) { FDatabaseName = AValue; }
  const std::string& TableName() const { return FTableName; }
  void SetTableName(const std::string& AValue) { FTableName = AValue; }
  const std::string& UniqueKey() const { return FUniqueKey; }
  void SetUniqueKey(const std::string& AValue) { FUniqueKey = AValue; }
  const std::string& ComputerName() const { return FComputerName; }
  void SetComputerName(const std::string& AValue) { FComputerName = AValue; }
  const std::string& UserName() const { return FUserName; }
  void SetUserName(const std::string& AValue) { FUserName = AValue; }
  const std::string& ProgramName() const { return FProgramName; }
  void SetProgramName(const std::string& AValue) { FProgramName = AValue; }
  TDateTime TimeLocked() const { return FTimeLocked; }
  void SetTimeLocked(TDateTime AValue) { FTimeLocked = AValue; }

 private:
  std::string FDatabaseName;
  std::string FTableName;
  std::string FUniqueKey;
  std::string FComputerName;
  std::string FUserName;
  std::string FProgramName;
  TDateTime FTimeLocked;
};
