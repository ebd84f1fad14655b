#include "db/vt_lock_refusal.h"

#include <memory>

#include "db/da_connection.h"
#include "db/da_dataset.h"
#include "platform/regional_date_time.h"

namespace {

const char kRefused[] = "The requested lock could not be granted.";

}  // namespace

EVtDBLockError LockRefusal(TCustomDAConnection& AConnection, const std::string& ALockTableName) {
  try {
    std::unique_ptr<TCustomDADataSet> reader(AConnection.CreateDataSet(nullptr));
    reader->SQL().Add("SELECT * FROM " + ALockTableName);
    reader->Open();
    if (!reader->IsEmpty()) {
      const auto text = [&](const char* AColumn) { return reader->FieldByName(AColumn).AsString(); };
      EVtDBLockError holder(kRefused, text("DatabaseName"), text("TableName"), text("UniqueKey"),
                            text("ComputerName"), text("UserName"), text("ProgramName"),
                            reader->FieldByName("TimeLocked").AsDateTime());
      return EVtDBLockError(HolderMessage(holder), holder.DatabaseName(), holder.TableName(),
                            holder.UniqueKey(), holder.ComputerName(), holder.UserName(),
                            holder.ProgramName(), holder.TimeLocked());
    }
  } catch (...) {
    // The holder may have released the lock, or not written its row yet:
    // the refusal stands, only without its details.
  }
  return EVtDBLockError(kRefused, "", "", "", "", "", "", TDateTime{});
}

std::string HolderMessage(const EVtDBLockError& AError) {
  return std::string(kRefused) + "\r\n" + "\r\n" + "The record is already being edited.\r\n" +
         "     User Name: " + AError.UserName() + "\r\n" +
         "     Computer Name: " + AError.ComputerName() + "\r\n" +
         "     Program Name: " + AError.ProgramName() + "\r\n" +
         "     Time Locked: " + platform::GeneralDateTimeText(AError.TimeLocked()) + "\r\n" +
         "     Table Name: " + AError.TableName();
}
