// The synchronization pass: recomputes the AVAILABLE flag of every storage
// location and container from the property tables, and appends the
// conflicts log.
#pragma once

#include "db/access/dataset.h"
#include "sync/flag_drift.h"
#include "sync/synch_view.h"

// Walks `ALocations` (tblCFGPropertyLocation, CFGPROPL) and, where a held
// inmate has property, the containers of each location in `AContainers`
// (tblCFGPropertyContainers, its detail by LOCKEY), running every statement
// through `AQuery` (qryGeneric); opens the two tables, or refreshes them when
// open, and leaves them open. Reports progress, the log and the outcome
// through `AView` only. Never lets an Exception escape: an error (including a
// key outside the 32-bit range) closes `AQuery`, sets the progress to 0 and
// shows two message boxes,
//   "<message> On: TfrmSynchPropertyLocationsMain.GoSynchPropertyLocations"
//   "Process Aborted"
// and returns; the updates already made stay.
// With TFlagWrites::DryRun it reads, decides, logs and reports exactly as
// above but sends none of its four UPDATE statements. Returns the flags it
// changed, or would have, up to the end or the error (see TFlagDrift).
TFlagDrift GoSynchPropertyLocations(ISynchView& AView, TCustomDADataSet& ALocations,
                                    TCustomDADataSet& AContainers, TCustomDADataSet& AQuery,
                                    TFlagWrites AWrites = TFlagWrites::Write);
