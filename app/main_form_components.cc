#include "app/main_form_components.h"

#include "sync/synch_pass.h"

TMainFormComponents::TMainFormComponents(const TConfigureConnection& AConfigure)
    : TComponent(nullptr) {
  SetName("frmSynchPropertyLocationsMain");
  // The datasets come first in the creation order, so the connection they
  // use is created after them and linked once it exists.
  FProperty = CreatePropertyComponents(this, nullptr);
  FdbJail = new TMSConnection(this);
  FdbJail->SetName("dbJail");
  FdbJail->SetDatabase("JAIL");
  FdbJail->SetAuthentication(auWindows);
  FdbJail->Options().SetProvider(prSQL);
  FdbJail->SetLoginPrompt(false);
  for (TComponent* component : FProperty.InCreationOrder()) {
    if (auto* dataSet = dynamic_cast<TCustomMSDataSet*>(component)) {
      dataSet->SetConnection(FdbJail);
    }
  }
  if (AConfigure) AConfigure(*FdbJail);
}

TMainFormComponents::~TMainFormComponents() {
  DestroyComponents();
}

void TMainFormComponents::FormCreate() {
  FProperty.tblInmProperty->SetOrderFields("BOOKNO");
}

void TMainFormComponents::GoSynchPropertyLocations(ISynchView& AView) {
  ::GoSynchPropertyLocations(AView, *FProperty.tblCFGPropertyLocation,
                             *FProperty.tblCFGPropertyContainers, *FProperty.qryGeneric);
}
