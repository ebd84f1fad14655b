// Every setting of a TMSConnection as one value: what a connect-string
// assignment starts from and produces, and what a refused one leaves as it
// was. Events, the name and the open state are not settings.
#pragma once

#include <string>

#include "db/sqlserver/connection.h"

struct TMSConnectionSettings {
  // TCustomConnection, TCustomDAConnection and its options
  bool LoginPrompt;
  std::string Server;
  std::string Username;
  std::string Password;
  bool AutoCommit;
  bool Pooling;
  TPoolingOptions PoolingOptions;
  bool KeepDesignConnected;
  bool AllowImplicitConnect;
  bool DisconnectedMode;
  // TCustomMSConnection and its options
  std::string Database;
  TIsolationLevel IsolationLevel;
  TOLEDBProvider Provider;
  TNativeClientVersion NativeClientVersion;
  TCompactVersion CompactVersion;
  bool ForceCreateDatabase;
  int DefaultLockTimeout;
  bool QuotedIdentifier;
  bool Encrypt;
  std::string ApplicationName;
  std::string WorkstationID;
  std::string Language;
  int PacketSize;
  bool PersistSecurityInfo;
  bool AutoTranslate;
  std::string NetworkLibrary;
  std::string FailoverPartner;
  std::string InitialFileName;
  // TMSConnection and its options
  TMSAuthentication Authentication;
  int Port;
  int ConnectionTimeout;
  bool MultipleActiveResultSets;
  bool TrustServerCertificate;
  TApplicationIntent ApplicationIntent;

  bool operator==(const TMSConnectionSettings&) const = default;
};

// The current settings of `AConnection`.
TMSConnectionSettings SettingsOf(const TMSConnection& AConnection);

// Writes `ASettings` through the connection's setters, login settings first,
// so on an open connection a changed one disconnects before the rest; the
// setters' errors propagate with the settings written so far.
void AssignSettings(TMSConnection& AConnection, const TMSConnectionSettings& ASettings);
