#include "db/access/custom_connection.h"

TCustomConnection::TCustomConnection(TComponent* AOwner) : TComponent(AOwner) {}

void TCustomConnection::SetConnected(bool AValue) {
  if (ComponentState().Contains(csLoading)) {
    FStreamedConnected = AValue;
    return;
  }
  if (AValue == Connected()) return;
  if (AValue) {
    if (FBeforeConnect) FBeforeConnect(this);
    DoConnect();
    if (FAfterConnect) FAfterConnect(this);
  } else {
    if (FBeforeDisconnect) FBeforeDisconnect(this);
    DoDisconnect();
    if (FAfterDisconnect) FAfterDisconnect(this);
  }
}
