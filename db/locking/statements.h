// The texts of the record-lock protocol: the lock table's name and the
// statements that create it, write the holder's row, read it and drop it.
// Every program that locks records of the site's databases builds the same
// texts, so they must not change.
#pragma once

#include <string>

#include "core/date_time.h"

// "[tempdb].[dbo].[##LOCK-" `ADatabase` "." `ATable` "." `AKey` "]": a global
// temporary table, which the server refuses to create twice and drops when
// its creator's session ends. The parts are not cut; every "]" in them is
// doubled so that no part can end the identifier early.
std::string LockTableName(const std::string& ADatabase, const std::string& ATable,
                          const std::string& AKey);

// "CREATE TABLE <name>(  DatabaseName VARCHAR(30),  TableName    VARCHAR(100),
// ...  TimeLocked   DateTime)" on one line.
std::string CreateLockTableStatement(const std::string& ALockTableName);

// Who holds a lock, as the holder's row stores it.
struct TLockHolder {
  std::string DatabaseName;
  std::string TableName;
  std::string UniqueKey;
  std::string ComputerName;
  std::string UserName;
  std::string ProgramName;
  TDateTime TimeLocked;
};

// "INSERT INTO <name>  (DatabaseName, ..., TimeLocked) VALUES   (...)" on
// one line; each text cut to its column's width, the time an ISO 8601
// literal that the server reads the same under every language setting.
std::string InsertHolderStatement(const std::string& ALockTableName, const TLockHolder& AHolder);

// `AText` cut to its first `AMaxChars` characters (UTF-8 sequences are kept
// whole) as an SQL string literal: in single quotes, inner quotes doubled.
std::string CutTextLiteral(const std::string& AText, std::size_t AMaxChars);

// 'yyyy-mm-ddThh:nn:ss', the seconds rounded down.
std::string IsoDateTimeLiteral(TDateTime AValue);
