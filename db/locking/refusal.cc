#include "db/locking/refusal.h"

#include <memory>

#include "db/access/connection.h"
#include "db/access/dataset.h"
#include "platform/regional_date_time.h"

// <windows.h>, which the ODBC headers bring in on Windows, renames
// SetComputerName to its ANSI function, and the refusal's setter with it.
#undef SetComputerName

namespace {

const char kRefused[] = "The requested lock could not be granted.";

}  // namespace

EVtDBLockError LockRefusal(TCustomDAConnection& AConnection, const std::string& ALockTableName) {
  EVtDBLockError refusal(kRefused, "", "", "", "", "", "", TDateTime{});
  try {
    std::unique_ptr<TCustomDADataSet> reader(AConnection.CreateDataSet(nullptr));
    reader->SQL().Add("SELECT * FROM " + ALockTableName);
    reader->Open();
    if (!reader->IsEmpty()) {
      const auto text = [&](const char* AColumn) {
        return reader->FieldByName(AColumn).AsString();
      };
      // One field at a time: a failure part way keeps those already copied.
      refusal.SetDatabaseName(text("DatabaseName"));
      refusal.SetTableName(text("TableName"));
      refusal.SetUniqueKey(text("UniqueKey"));
      refusal.SetComputerName(text("ComputerName"));
      refusal.SetUserName(text("UserName"));
      refusal.SetProgramName(text("ProgramName"));
      refusal.SetTimeLocked(reader->FieldByName("TimeLocked").AsDateTime());
      return EVtDBLockError(HolderMessage(refusal), refusal.DatabaseName(), refusal.TableName(),
                            refusal.UniqueKey(), refusal.ComputerName(), refusal.UserName(),
                            refusal.ProgramName(), refusal.TimeLocked());
    }
  } catch (...) {
    // The holder may have released the lock, or not written its row yet:
    // the refusal stands, only without its details.
  }
  return refusal;
}

std::string HolderMessage(const EVtDBLockError& AError) {
  return std::string(kRefused) + "\r\n" + "\r\n" + "The record is already being edited.\r\n" +
         "     User Name: " + AError.UserName() + "\r\n" +
         "     Computer Name: " + AError.ComputerName() + "\r\n" +
         "     Program Name: " + AError.ProgramName() + "\r\n" +
         "     Time Locked: " + platform::GeneralDateTimeText(AError.TimeLocked()) + "\r\n" +
         "     Table Name: " + AError.TableName();
}
