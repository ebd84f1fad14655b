// The main window's non-visual half: its components, restored from the stored
// description, and what the window does with them. The window and the
// console runner both start up through it, so they start up alike.
#pragma once

#include "app/main_form_description.h"
#include "core/component.h"
#include "platform/disk.h"
#include "sync/flag_drift.h"
#include "sync/synch_view.h"

class TMainFormComponents : public TComponent {
 public:
  // Restores the components from the stored description (RestoreMainForm)
  // as the program started from ADisk.ExecutableFileName() does; the
  // programs pass the system's disk. `ADisk` must outlive the components.
  // Errors propagate: they end start-up.
  explicit TMainFormComponents(const platform::Disk& ADisk);
  // Frees the components (datasets close, the connection disconnects).
  ~TMainFormComponents() override;

  const TMainFormNonVisual& NonVisual() const { return FNonVisual; }

  // The window's creation handler: orders tblInmProperty by "BOOKNO"; the
  // dataset stays closed.
  void FormCreate();

  // The synchronization pass on this window's datasets, shown through
  // `AView`; lets no Exception escape. Returns the flags it changed, or in a
  // dry run would have.
  TFlagDrift GoSynchPropertyLocations(ISynchView& AView, TFlagWrites AWrites = TFlagWrites::Write);
  // The set-based pass (sync/set_based_pass.h) on this window's location
  // dataset and query, with all of CFGPROPC read through a table dataset of
  // its own, made for the pass and freed after it; lets no Exception escape.
  TFlagDrift GoSynchPropertyLocationsSetBased(ISynchView& AView,
                                              TFlagWrites AWrites = TFlagWrites::Write);

 private:
  TMainFormNonVisual FNonVisual{};
};
