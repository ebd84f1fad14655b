#include "db/locking/error.h"

EVtDBLockError::EVtDBLockError(std::string AMessage, std::string ADatabaseName,
                               std::string ATableName, std::string AUniqueKey,
                               std::string AComputerName, std::string AUserName,
                               std::string AProgramName, TDateTime ATimeLocked)
    : EDatabaseError(std::move(AMessage)),
      FDatabaseName(std::move(ADatabaseName)),
      FTableName(std::move(ATableName)),
      FUniqueKey(std::move(AUniqueKey)),
      FComputerName(std::move(AComputerName)),
      FUserName(std::move(AUserName)),
      FProgramName(std::move(AProgramName)),
      FTimeLocked(ATimeLocked) {}
