// The error a refused record lock raises, naming the holder as the lock
// table's row tells it.
#pragma once

#include <string>

#include "db/locking/error.h"

class TCustomDAConnection;

// The refusal for the lock table `ALockTableName`: the message "The
// requested lock could not be granted." alone, unless the holder's row can be
// read whole through a dataset from `AConnection.CreateDataSet`; then the
// fields hold the row and the message is HolderMessage's. Errors while
// reading are swallowed; the fields read before one are kept.
EVtDBLockError LockRefusal(TCustomDAConnection& AConnection, const std::string& ALockTableName);

// The eight-line message for the holder `AError` names.
std::string HolderMessage(const EVtDBLockError& AError);
