// The set-based synchronization pass: the same flags and the same conflicts
// log as the per-container pass (sync/synch_pass.h), from a fixed number of
// requests whatever the jail's size.
#pragma once

#include "db/access/dataset.h"
#include "sync/flag_drift.h"
#include "sync/synch_view.h"

// Reads `ALocations` (CFGPROPL) and `AContainers` (the whole of CFGPROPC, no
// master), opening them or refreshing them when open and leaving them open,
// and the property tables in four grouped statements through `AQuery`; then
// decides every flag and every log line in memory by the per-container rules,
// showing progress, the log and the outcome through `AView` as that pass does.
// With TFlagWrites::Write the reads run in one serializable transaction, and
// the flags are written in two statements inside it and committed together.
// Never lets an Exception escape: an error (a key outside the 32-bit range
// included) rolls back, so that no flag changes, closes `AQuery` and shows
// the two messages of ShowPassAborted. Returns the flags that changed (would
// change, in a dry run) against the AVAILABLE values read; after an error
// nothing changed, and a dry run counts the locations decided before it.
TFlagDrift GoSynchPropertyLocationsSetBased(ISynchView& AView, TCustomDADataSet& ALocations,
                                            TCustomDADataSet& AContainers, TCustomDADataSet& AQuery,
                                            TFlagWrites AWrites = TFlagWrites::Write);
