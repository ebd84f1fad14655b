// TCustomConnection: a component that opens and closes something, with
// events around both, and a stored open state that waits for loading to end.
#pragma once

#include <functional>

#include "core/component.h"

// An event handler; receives the component the event is about.
using TNotifyEvent = std::function<void(TComponent*)>;

class TCustomConnection : public TComponent {
 public:
  explicit TCustomConnection(TComponent* AOwner);

  virtual bool Connected() const = 0;
  // true: BeforeConnect, DoConnect(), AfterConnect; false: BeforeDisconnect,
  // DoDisconnect(), AfterDisconnect. Nothing when already in that state. While
  // loading (csLoading) it only remembers the value; Loaded() acts on it.
  void SetConnected(bool AValue);
  // SetConnected(true) / SetConnected(false).
  void Open() { SetConnected(true); }
  void Close() { SetConnected(false); }

  // The open state a stored description gave while loading.
  bool StreamedConnected() const { return FStreamedConnected; }

  // Kept for stored descriptions; the program shows no login dialog.
  bool LoginPrompt() const { return FLoginPrompt; }
  void SetLoginPrompt(bool AValue) { FLoginPrompt = AValue; }

  const TNotifyEvent& BeforeConnect() const { return FBeforeConnect; }
  void SetBeforeConnect(TNotifyEvent AEvent) { FBeforeConnect = std::move(AEvent); }
  const TNotifyEvent& AfterConnect() const { return FAfterConnect; }
  void SetAfterConnect(TNotifyEvent AEvent) { FAfterConnect = std::move(AEvent); }
  const TNotifyEvent& BeforeDisconnect() const { return FBeforeDisconnect; }
  void SetBeforeDisconnect(TNotifyEvent AEvent) { FBeforeDisconnect = std::move(AEvent); }
  const TNotifyEvent& AfterDisconnect() const { return FAfterDisconnect; }
  void SetAfterDisconnect(TNotifyEvent AEvent) { FAfterDisconnect = std::move(AEvent); }

 protected:
  // Opens; on failure leaves everything closed and throws.
  virtual void DoConnect() = 0;
  // Closes; a release step, so it does not throw.
  virtual void DoDisconnect() = 0;

 private:
  bool FStreamedConnected = false;
  bool FLoginPrompt = true;
  TNotifyEvent FBeforeConnect;
  TNotifyEvent FAfterConnect;
  TNotifyEvent FBeforeDisconnect;
  TNotifyEvent FAfterDisconnect;
};
