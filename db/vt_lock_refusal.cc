#include "db/vt_lock_refusal.h"

#include <memory>

#include "db/da_connection.h"
#include "db/da_dataset.h"
#include "platform/regional_date_time.h"

namespace {

const char kRefused[] = "The requested lock could not be granted.";

}  // namespace

EVtDBLockError LockRefusal(TCustomDAConnection& AConnection, const std::string& ALockTableName) {
  EVtDBLockError refusal(kRefused, "", "", "", "", "", "", TDateTime{});
  bool complete = false;
  try {
    std::unique_ptr<TCustomDADataSet> reader(AConnection.CreateDataSet(nullptr));
    reader->SQL().Add("SELECT * FROM " + ALockTableName);
    reader->Open();
    if (!reader->IsEmpty()) {
      refusal.SetDatabaseName(reader->FieldByName("DatabaseName").AsString());
      refusal.SetTableName(reader->FieldByName("TableName").AsString());
      refusal.SetUniqueKey(reader->FieldByName("UniqueKey").AsString());
      refusal.SetComputerName(reader->FieldByName("ComputerName").AsString());
      refusal.SetUserName(reader->FieldByName("UserName").AsString());
      refusal.SetProgramName(reader->FieldByName("ProgramName").AsString());
      refusal.SetTimeLocked(reader->FieldByName("TimeLocked").AsDateTime());
      complete = true;
    }
  } catch (...) {
    // The holder may have released the lock, or not written its row yet:
    // the refusal stands, only without its details.
  }
  if (!complete) return refusal;
  return EVtDBLockError(HolderMessage(refusal), refusal.DatabaseName(), refusal.TableName(),
                        refusal.UniqueKey(), refusal.ComputerName(), refusal.UserName(),
                        refusal.ProgramName(), refusal.TimeLocked());
}

std::string HolderMessage(const EVtDBLockError& AError) {
  return std::string(kRefused) + "\r\n" + "\r\n" + "The record is already being edited.\r\n" +
         "     User Name: " + AError.UserName() + "\r\n" +
         "     Computer Name: " + AError.ComputerName() + "\r\n" +
         "     Program Name: " + AError.ProgramName() + "\r\n" +
         "     Time Locked: " + platform::GeneralDateTimeText(AError.TimeLocked()) + "\r\n" +
         "     Table Name: " + AError.TableName();
}
