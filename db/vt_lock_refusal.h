// The error a refused record lock raises, naming the holder as the lock
// table's row tells it.
#pragma once

#include <string>

#include "db/vt_lock_error.h"

class TCustomDAConnection;

// "The requested lock could not be granted." and, when the row of
// `ALockTableName` could be read whole through a dataset from
// `AConnection.CreateDataSet`, a blank line, "The record is already being
// edited." and the holder's user, computer, program, time (in the
// workstation's general form) and table, one per line, CR LF between lines.
// The fields keep what was read before any failure. Never throws anything
// but the result's construction.
EVtDBLockError LockRefusal(TCustomDAConnection& AConnection, const std::string& ALockTableName);

// The eight-line message for the holder `AError` names.
std::string HolderMessage(const EVtDBLockError& AError);
