#include "db/locking/statements.h"

#include <cstdio>

namespace {

constexpr std::size_t kDatabaseNameWidth = 30;
constexpr std::size_t kTableNameWidth = 100;
constexpr std::size_t kUniqueKeyWidth = 22;
constexpr std::size_t kComputerNameWidth = 30;
constexpr std::size_t kUserNameWidth = 30;
constexpr std::size_t kProgramNameWidth = 30;

std::string BracketEscaped(const std::string& APart) {
  std::string text;
  for (char c : APart) {
    text += c;
    if (c == ']') text += ']';
  }
  return text;
}

std::string Column(const char* AFragment, std::size_t AWidth) {
  char text[64];
  std::snprintf(text, sizeof text, AFragment, static_cast<int>(AWidth));
  return text;
}

bool StartsCharacter(char AByte) {
  return (static_cast<unsigned char>(AByte) & 0xC0) != 0x80;
}

}  // namespace

std::string LockTableName(const std::string& ADatabase, const std::string& ATable,
                          const std::string& AKey) {
  return "[tempdb].[dbo].[##LOCK-" + BracketEscaped(ADatabase) + "." + BracketEscaped(ATable) +
         "." + BracketEscaped(AKey) + "]";
}

std::string CreateLockTableStatement(const std::string& ALockTableName) {
  return "CREATE TABLE " + ALockTableName + "(" +
         Column("  DatabaseName VARCHAR(%d),", kDatabaseNameWidth) +
         Column("  TableName    VARCHAR(%d),", kTableNameWidth) +
         Column("  UniqueKey    VARCHAR(%d),", kUniqueKeyWidth) +
         Column("  ComputerName VARCHAR(%d),", kComputerNameWidth) +
         Column("  UserName     VARCHAR(%d),", kUserNameWidth) +
         Column("  ProgramName  VARCHAR(%d),", kProgramNameWidth) + "  TimeLocked   DateTime" + ")";
}

std::string InsertHolderStatement(const std::string& ALockTableName, const TLockHolder& AHolder) {
  return "INSERT INTO " + ALockTableName + "  (DatabaseName, TableName, UniqueKey, ComputerName, " +
         "UserName, ProgramName, TimeLocked) " + "VALUES " + "  (" +
         CutTextLiteral(AHolder.DatabaseName, kDatabaseNameWidth) + ", " +
         CutTextLiteral(AHolder.TableName, kTableNameWidth) + ", " +
         CutTextLiteral(AHolder.UniqueKey, kUniqueKeyWidth) + ", " +
         CutTextLiteral(AHolder.ComputerName, kComputerNameWidth) + ", " +
         CutTextLiteral(AHolder.UserName, kUserNameWidth) + ", " +
         CutTextLiteral(AHolder.ProgramName, kProgramNameWidth) + ", " +
         IsoDateTimeLiteral(AHolder.TimeLocked) + ")";
}

std::string CutTextLiteral(const std::string& AText, std::size_t AMaxChars) {
  std::string literal = "'";
  std::size_t characters = 0;
  for (char c : AText) {
    if (StartsCharacter(c) && characters++ == AMaxChars) break;
    literal += c;
    if (c == '\'') literal += '\'';
  }
  return literal + "'";
}

std::string IsoDateTimeLiteral(TDateTime AValue) {
  // DecodeDateTime rounds to the millisecond; the whole second it falls in
  // is what was read off the clock.
  const TDateTimeParts parts = DecodeDateTime(AValue);
  char text[32];
  std::snprintf(text, sizeof text, "'%04d-%02d-%02dT%02d:%02d:%02d'", parts.Year, parts.Month,
                parts.Day, parts.Hour, parts.Minute, parts.Second);
  return text;
}
