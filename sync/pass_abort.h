// How a synchronization pass tells the operator it stopped on an error.
#pragma once

#include "core/exception.h"
#include "sync/synch_view.h"

// Sets the progress to 0 and shows two message boxes in turn:
//   "<message> On: TfrmSynchPropertyLocationsMain.GoSynchPropertyLocations"
//   "Process Aborted"
void ShowPassAborted(ISynchView& AView, const Exception& AError);
