#include "app/main_form_components.h"

#include "sync/synch_pass.h"

TMainFormComponents::TMainFormComponents(const platform::Disk& ADisk)
    : TComponent(nullptr), FNonVisual(RestoreMainForm(this, ADisk)) {
  SetName("frmSynchPropertyLocationsMain");
}

TMainFormComponents::~TMainFormComponents() {
  DestroyComponents();
}

void TMainFormComponents::FormCreate() {
  FNonVisual.tblInmProperty->SetOrderFields("BOOKNO");
}

TFlagDrift TMainFormComponents::GoSynchPropertyLocations(ISynchView& AView, TFlagWrites AWrites) {
  return ::GoSynchPropertyLocations(AView, *FNonVisual.tblCFGPropertyLocation,
                                    *FNonVisual.tblCFGPropertyContainers, *FNonVisual.qryGeneric,
                                    AWrites);
}
