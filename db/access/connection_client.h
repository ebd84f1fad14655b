// What a connection asks of the datasets bound to it.
#pragma once

class TConnectionClient {
 public:
  // The connection is about to close its session: close, cancelling an edit,
  // and drop any preparation.
  virtual void ConnectionClosing() = 0;
  // The connection is being freed: forget it (the dataset's connection
  // becomes none). ConnectionClosing() has run before.
  virtual void ConnectionFreed() = 0;

 protected:
  ~TConnectionClient() = default;
};
