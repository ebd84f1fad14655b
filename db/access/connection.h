// TCustomDAConnection: one server session opened from the connection's
// settings, shared by the datasets bound to it; implicit connects with use
// counting; ExecSQL; and the rule that a broken session is dropped whole.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "db/access/connection_client.h"
#include "db/access/custom_connection.h"
#include "db/errors/client_errors.h"
#include "db/values/variant.h"

namespace odbc {
class Connection;
class Environment;
}  // namespace odbc

class TCustomDAConnection;
class TCustomDADataSet;

// The options every connection has. Owned by its connection.
class TDAConnectionOptions : public TPersistent {
 public:
  explicit TDAConnectionOptions(TCustomDAConnection* AOwner) : FOwner(AOwner) {}
  virtual ~TDAConnectionOptions() = default;
  TDAConnectionOptions(const TDAConnectionOptions&) = delete;
  TDAConnectionOptions& operator=(const TDAConnectionOptions&) = delete;

  // Whether Loaded() honours a stored open state. Default true.
  bool KeepDesignConnected() const { return FKeepDesignConnected; }
  void SetKeepDesignConnected(bool AValue) { FKeepDesignConnected = AValue; }
  // Whether opening a dataset may connect a closed connection. Default true.
  bool AllowImplicitConnect() const { return FAllowImplicitConnect; }
  void SetAllowImplicitConnect(bool AValue) { FAllowImplicitConnect = AValue; }
  // Stored only: the connection never closes itself after an operation.
  bool DisconnectedMode() const { return FDisconnectedMode; }
  void SetDisconnectedMode(bool AValue) { FDisconnectedMode = AValue; }

  // Copies the option values `ASource` has in common with this object, through
  // the setters (so a fixed option fails on an open connection as setting it
  // does). Derived options copy their own values too.
  virtual void Assign(const TDAConnectionOptions& ASource);

 protected:
  // Throws EDatabaseError "Cannot perform this operation on an open
  // connection" (with the connection's name) when the owner is connected.
  void CheckClosed() const;

 private:
  TCustomDAConnection* FOwner;
  bool FKeepDesignConnected = true;
  bool FAllowImplicitConnect = true;
  bool FDisconnectedMode = false;
};

// The pool settings of a connect string; stored only, since no pool exists.
struct TPoolingOptions {
  int MaxPoolSize = 100;
  int MinPoolSize = 0;
  int ConnectionLifetime = 0;  // seconds
  bool Validate = false;
  bool operator==(const TPoolingOptions&) const = default;
};

class TCustomDAConnection : public TCustomConnection {
 public:
  // Releases a session still open (closing every bound dataset; the concrete
  // classes disconnect with the events first), then tells every bound dataset
  // that the connection is gone (TConnectionClient::ConnectionFreed).
  ~TCustomDAConnection() override;

  bool Connected() const override;
  // SetConnected(true) / SetConnected(false).
  void Connect() { SetConnected(true); }
  void Disconnect() { SetConnected(false); }

  // Ends loading; connects when a stored description said connected and
  // Options().KeepDesignConnected() is true. Connect errors propagate.
  void Loaded() override;

  // Binds / unbinds a dataset; unknown or repeated ones are ignored.
  void RegisterClient(TConnectionClient* AClient);
  void UnregisterClient(TConnectionClient* AClient);

  // An implicit connect on behalf of `AFor`: connects when closed, then
  // counts one use. Throws Exception "Connection is not connected" when closed
  // and Options().AllowImplicitConnect() is false.
  void BeginUse(TComponent* AFor);
  // One use less; the connection stays open (DisconnectedMode is not honoured).
  void EndUse();

  // The open session. Throws Exception "Connection is not connected" when closed.
  odbc::Connection& Session();

  // Datasets call this with any error a command on this session raised,
  // before passing it on: when the session is dead or `AError` is a fatal
  // server error, the connection disconnects (closing its datasets), so the
  // next use connects from scratch. Does not throw.
  void CheckSessionAfterError(const EOLEDBError& AError) noexcept;

  // A new dataset bound to this connection, owned by `AOwner` (or the caller).
  virtual TCustomDADataSet* CreateDataSet(TComponent* AOwner) = 0;

  // Runs `AText` (":NAME" markers allowed) once, connecting first whatever
  // AllowImplicitConnect holds. `AParams` go to the markers by position,
  // as input-output parameters; later markers stay null. Returns the value of
  // the statement's result parameter; markers never make one, so null.
  // Server errors propagate as EMSError after CheckSessionAfterError().
  TVariant ExecSQL(const std::string& AText, const std::vector<TVariant>& AParams = {});

  // SQL Server login; changing one to a different value disconnects.
  const std::string& Server() const { return FServer; }
  void SetServer(const std::string& AValue) { ChangeLoginSetting(FServer, AValue); }
  const std::string& Username() const { return FUsername; }
  void SetUsername(const std::string& AValue) { ChangeLoginSetting(FUsername, AValue); }
  const std::string& Password() const { return FPassword; }
  void SetPassword(const std::string& AValue) { ChangeLoginSetting(FPassword, AValue); }

  // Every statement commits on its own. Default true; false is not supported
  // by the system and is stored only.
  bool AutoCommit() const { return FAutoCommit; }
  void SetAutoCommit(bool AValue) { FAutoCommit = AValue; }
  // Stored only; no pool exists. Default false.
  bool Pooling() const { return FPooling; }
  void SetPooling(bool AValue) { FPooling = AValue; }

  const TPoolingOptions& PoolingOptions() const { return FPoolingOptions; }
  void SetPoolingOptions(const TPoolingOptions& AValue) { FPoolingOptions = AValue; }

  // The settings a connect string can set, rendered canonically (only those
  // that differ from their reset value). Holds the password.
  virtual std::string ConnectString() const = 0;
  // Resets the settings a connect string can set, then applies `AValue`'s
  // entries; nothing when `AValue` equals ConnectString(). A refused text
  // throws Exception and leaves every setting as it was.
  virtual void SetConnectString(const std::string& AValue) = 0;

  TDAConnectionOptions& Options() const { return *FOptions; }

 protected:
  // A closed connection with the defaults, owning `AOptions`.
  TCustomDAConnection(TComponent* AOwner, std::unique_ptr<TDAConnectionOptions> AOptions);

  // The connect step: opens the session (OpenSession()). Overrides do their
  // own work first, then call this.
  void DoConnect() override;
  // Closes every bound dataset, then releases the session.
  void DoDisconnect() override;

  // Opens the session; derived classes build the connection from their
  // settings. On failure nothing stays open and the error propagates.
  virtual std::unique_ptr<odbc::Connection> OpenSession(odbc::Environment& AEnvironment) = 0;

  // Sets a login setting: a different value disconnects first.
  template <class T>
  void ChangeLoginSetting(T& AField, const T& AValue) {
    if (AField == AValue) return;
    Disconnect();
    AField = AValue;
  }

 private:
  std::unique_ptr<TDAConnectionOptions> FOptions;
  std::unique_ptr<odbc::Environment> FEnvironment;  // made at the first connect
  std::unique_ptr<odbc::Connection> FSession;       // null while closed
  std::vector<TConnectionClient*> FClients;
  int FUseCount = 0;
  std::string FServer;
  std::string FUsername;
  std::string FPassword;
  bool FAutoCommit = true;
  bool FPooling = false;
  TPoolingOptions FPoolingOptions;
};
