#include "app/main_form_components.h"

#include "sync/synch_pass.h"

TMainFormComponents::TMainFormComponents(const TConfigureConnection& AConfigure)
    : TComponent(nullptr), FNonVisual(RestoreMainForm(this)) {
  SetName("frmSynchPropertyLocationsMain");
  if (AConfigure) AConfigure(*FNonVisual.dbJail);
}

TMainFormComponents::~TMainFormComponents() {
  DestroyComponents();
}

void TMainFormComponents::FormCreate() {
  FNonVisual.tblInmProperty->SetOrderFields("BOOKNO");
}

void TMainFormComponents::GoSynchPropertyLocations(ISynchView& AView) {
  ::GoSynchPropertyLocations(AView, *FNonVisual.tblCFGPropertyLocation,
                             *FNonVisual.tblCFGPropertyContainers, *FNonVisual.qryGeneric);
}
