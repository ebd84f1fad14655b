// The main window's non-visual half: its components, restored from the stored
// description, and what the window does with them. The window and the
// console runner both start up through it, so they start up alike.
#pragma once

#include <functional>

#include "app/main_form_description.h"
#include "core/component.h"
#include "db/ms_connection.h"
#include "sync/synch_view.h"

// Gives the program's connection its settings before FormCreate. Until the
// site configuration exists only tests pass one; the programs pass none.
using TConfigureConnection = std::function<void(TMSConnection& AdbJail)>;

class TMainFormComponents : public TComponent {
 public:
  // Restores the components from the stored description (RestoreMainForm),
  // then runs `AConfigure` (when set) on dbJail. Errors propagate: they end
  // start-up.
  explicit TMainFormComponents(const TConfigureConnection& AConfigure);
  // Frees the components (datasets close, the connection disconnects).
  ~TMainFormComponents() override;

  const TMainFormNonVisual& NonVisual() const { return FNonVisual; }

  // The window's creation handler: orders tblInmProperty by "BOOKNO"; the
  // dataset stays closed.
  void FormCreate();

  // The synchronization pass on this window's datasets, shown through
  // `AView`; lets no Exception escape.
  void GoSynchPropertyLocations(ISynchView& AView);

 private:
  TMainFormNonVisual FNonVisual{};
};
