// The SQL Server connection: TCustomMSConnection adds the database and the
// SQL Server options; TMSConnection adds the login kind, the port and the
// login time-out, and is the class the program creates or derives from.
#pragma once

#include <memory>
#include <string>

#include "db/access/connection.h"
#include "db/sqlserver/provider.h"

enum TMSAuthentication { auWindows, auServer };
enum TIsolationLevel {
  ilReadCommitted,
  ilReadUnCommitted,
  ilRepeatableRead,
  ilIsolated,
  ilSnapshot
};
enum TApplicationIntent { aiReadWrite, aiReadOnly };
// The compact-edition version a compact provider string names.
enum TCompactVersion { cvAuto, cv30, cv35, cv40 };

namespace odbc {
struct ConnectSettings;
}  // namespace odbc

class TCustomMSConnection;

// The SQL Server options. Those marked "fixed while connected" throw
// EDatabaseError "Cannot perform this operation on an open connection" (with
// the connection's name) when set on an open connection; the others apply at
// the next connect.
class TCustomMSConnectionOptions : public TDAConnectionOptions {
 public:
  explicit TCustomMSConnectionOptions(TCustomMSConnection* AOwner);

  void Assign(const TDAConnectionOptions& ASource) override;

  // Which drivers are tried (see db/sqlserver/provider.h). Default prAuto; fixed while connected.
  TOLEDBProvider Provider() const { return FProvider; }
  void SetProvider(TOLEDBProvider AValue);
  // Default ncAuto; fixed while connected.
  TNativeClientVersion NativeClientVersion() const { return FNativeClientVersion; }
  void SetNativeClientVersion(TNativeClientVersion AValue);
  // Default cvAuto; fixed while connected. Kept for connect strings only:
  // no ODBC driver serves the compact edition.
  TCompactVersion CompactVersion() const { return FCompactVersion; }
  void SetCompactVersion(TCompactVersion AValue);
  // Compact edition only, so stored only. Default true.
  bool ForceCreateDatabase() const { return FForceCreateDatabase; }
  void SetForceCreateDatabase(bool AValue) { FForceCreateDatabase = AValue; }
  // Milliseconds; > 0 sends "SET LOCK_TIMEOUT n" after connecting. Default
  // 2000; fixed while connected.
  int DefaultLockTimeout() const { return FDefaultLockTimeout; }
  void SetDefaultLockTimeout(int AValue);
  // false sends "SET QUOTED_IDENTIFIER OFF" after connecting. Default true.
  bool QuotedIdentifier() const { return FQuotedIdentifier; }
  void SetQuotedIdentifier(bool AValue) { FQuotedIdentifier = AValue; }
  // Request an encrypted connection. Default false; fixed while connected.
  bool Encrypt() const { return FEncrypt; }
  void SetEncrypt(bool AValue);

  // Empty sends the running program's file name.
  const std::string& ApplicationName() const { return FApplicationName; }
  void SetApplicationName(const std::string& AValue) { FApplicationName = AValue; }
  const std::string& WorkstationID() const { return FWorkstationID; }
  void SetWorkstationID(const std::string& AValue) { FWorkstationID = AValue; }
  const std::string& Language() const { return FLanguage; }
  void SetLanguage(const std::string& AValue) { FLanguage = AValue; }
  // Bytes. Default 4096.
  int PacketSize() const { return FPacketSize; }
  void SetPacketSize(int AValue) { FPacketSize = AValue; }
  // Default false.
  bool PersistSecurityInfo() const { return FPersistSecurityInfo; }
  void SetPersistSecurityInfo(bool AValue) { FPersistSecurityInfo = AValue; }
  // Default true.
  bool AutoTranslate() const { return FAutoTranslate; }
  void SetAutoTranslate(bool AValue) { FAutoTranslate = AValue; }
  const std::string& NetworkLibrary() const { return FNetworkLibrary; }
  void SetNetworkLibrary(const std::string& AValue) { FNetworkLibrary = AValue; }
  const std::string& FailoverPartner() const { return FFailoverPartner; }
  void SetFailoverPartner(const std::string& AValue) { FFailoverPartner = AValue; }
  // A database file to attach.
  const std::string& InitialFileName() const { return FInitialFileName; }
  void SetInitialFileName(const std::string& AValue) { FInitialFileName = AValue; }

 private:
  TOLEDBProvider FProvider = prAuto;
  TNativeClientVersion FNativeClientVersion = ncAuto;
  TCompactVersion FCompactVersion = cvAuto;
  bool FForceCreateDatabase = true;
  int FDefaultLockTimeout = 2000;
  bool FQuotedIdentifier = true;
  bool FEncrypt = false;
  std::string FApplicationName;
  std::string FWorkstationID;
  std::string FLanguage;
  int FPacketSize = 4096;
  bool FPersistSecurityInfo = false;
  bool FAutoTranslate = true;
  std::string FNetworkLibrary;
  std::string FFailoverPartner;
  std::string FInitialFileName;
};

// Options passed to the native-client drivers only.
class TMSConnectionOptions : public TCustomMSConnectionOptions {
 public:
  using TCustomMSConnectionOptions::TCustomMSConnectionOptions;

  void Assign(const TDAConnectionOptions& ASource) override;

  // Default false.
  bool MultipleActiveResultSets() const { return FMultipleActiveResultSets; }
  void SetMultipleActiveResultSets(bool AValue) { FMultipleActiveResultSets = AValue; }
  // Default false.
  bool TrustServerCertificate() const { return FTrustServerCertificate; }
  void SetTrustServerCertificate(bool AValue) { FTrustServerCertificate = AValue; }
  // Default aiReadWrite.
  TApplicationIntent ApplicationIntent() const { return FApplicationIntent; }
  void SetApplicationIntent(TApplicationIntent AValue) { FApplicationIntent = AValue; }

 private:
  bool FMultipleActiveResultSets = false;
  bool FTrustServerCertificate = false;
  TApplicationIntent FApplicationIntent = aiReadWrite;
};

class TCustomMSConnection : public TCustomDAConnection {
 public:
  // The database in use once connected: when empty at connect, the session's
  // current database is read into it. Set while connected, switches the
  // session to that database (server errors propagate, the setting then stays
  // unchanged); empty while connected throws EDatabaseError "Changing
  // database name to default value is not allowed".
  const std::string& Database() const { return FDatabase; }
  void SetDatabase(const std::string& AValue);

  // Stored only: every statement runs read committed. Default ilReadCommitted.
  TIsolationLevel IsolationLevel() const { return FIsolationLevel; }
  void SetIsolationLevel(TIsolationLevel AValue) { FIsolationLevel = AValue; }

  TCustomMSConnectionOptions& Options() const {
    return static_cast<TCustomMSConnectionOptions&>(TCustomDAConnection::Options());
  }

 protected:
  TCustomMSConnection(TComponent* AOwner, std::unique_ptr<TCustomMSConnectionOptions> AOptions);

  // Chooses the driver, connects with the settings, reads the current
  // database into an empty Database, and sends the option statements.
  std::unique_ptr<odbc::Connection> OpenSession(odbc::Environment& AEnvironment) override;
  // Adds the settings of the derived class (login kind, port, time-out, ...).
  virtual void AddConnectSettings(odbc::ConnectSettings& ASettings) const = 0;

 private:
  std::string FDatabase;
  TIsolationLevel FIsolationLevel = ilReadCommitted;
};

class TMSConnection : public TCustomMSConnection {
 public:
  // A closed connection with the defaults.
  explicit TMSConnection(TComponent* AOwner);
  // Disconnects as Disconnect() does, events included; errors of the
  // handlers are dropped, since the connection goes either way.
  ~TMSConnection() override;

  // A new TCustomMSDataSet bound to this connection, owned by `AOwner` (or by
  // the caller when null). Defined with the datasets.
  TCustomDADataSet* CreateDataSet(TComponent* AOwner) override;

  // Default auServer. Changing to a different value disconnects.
  TMSAuthentication Authentication() const { return FAuthentication; }
  void SetAuthentication(TMSAuthentication AValue) { ChangeLoginSetting(FAuthentication, AValue); }
  // Appended to Server when not 1433 and Server holds no ",". Default 1433.
  // Changing to a different value disconnects.
  int Port() const { return FPort; }
  void SetPort(int AValue) { ChangeLoginSetting(FPort, AValue); }
  // Login time-out in seconds. Default 15.
  int ConnectionTimeout() const { return FConnectionTimeout; }
  void SetConnectionTimeout(int AValue) { FConnectionTimeout = AValue; }

  TMSConnectionOptions& Options() const {
    return static_cast<TMSConnectionOptions&>(TCustomDAConnection::Options());
  }

  // SQL Server's keys (db/connect_string/keys.h). Meant for a closed
  // connection: on an open one a changed login setting disconnects, and a
  // setting fixed while connected is refused with the settings restored.
  std::string ConnectString() const override;
  void SetConnectString(const std::string& AValue) override;

 protected:
  // A closed connection with the defaults, owning `AOptions` (a derived
  // class's options).
  TMSConnection(TComponent* AOwner, std::unique_ptr<TMSConnectionOptions> AOptions);

  void AddConnectSettings(odbc::ConnectSettings& ASettings) const override;

 private:
  TMSAuthentication FAuthentication = auServer;
  int FPort = 1433;
  int FConnectionTimeout = 15;
};
