#include "sync/pass_abort.h"

namespace {

// Operators quote this in support calls; it names the window method the pass
// has always been, whichever pass ran.
const char* const kPassErrorSuffix = " On: TfrmSynchPropertyLocationsMain.GoSynchPropertyLocations";

}  // namespace

void ShowPassAborted(ISynchView& AView, const Exception& AError) {
  AView.SetProgressPosition(0);
  AView.ShowMessage(AError.Message() + kPassErrorSuffix);
  AView.ShowMessage("Process Aborted");
}
