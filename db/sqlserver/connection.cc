#include "db/sqlserver/connection.h"

#include "db/connect_string/keys.h"
#include "db/connect_string/settings.h"
#include "db/errors/database_error.h"
#include "db/odbc/connect_settings.h"
#include "db/odbc/connection.h"
#include "db/odbc/environment.h"
#include "db/odbc/open_session.h"
#include "db/odbc/statement.h"

TCustomMSConnectionOptions::TCustomMSConnectionOptions(TCustomMSConnection* AOwner)
    : TDAConnectionOptions(AOwner) {}

void TCustomMSConnectionOptions::Assign(const TDAConnectionOptions& ASource) {
  TDAConnectionOptions::Assign(ASource);
  const auto* source = dynamic_cast<const TCustomMSConnectionOptions*>(&ASource);
  if (source == nullptr) return;
  SetProvider(source->Provider());
  SetNativeClientVersion(source->NativeClientVersion());
  SetCompactVersion(source->CompactVersion());
  SetForceCreateDatabase(source->ForceCreateDatabase());
  SetDefaultLockTimeout(source->DefaultLockTimeout());
  SetQuotedIdentifier(source->QuotedIdentifier());
  SetEncrypt(source->Encrypt());
  SetApplicationName(source->ApplicationName());
  SetWorkstationID(source->WorkstationID());
  SetLanguage(source->Language());
  SetPacketSize(source->PacketSize());
  SetPersistSecurityInfo(source->PersistSecurityInfo());
  SetAutoTranslate(source->AutoTranslate());
  SetNetworkLibrary(source->NetworkLibrary());
  SetFailoverPartner(source->FailoverPartner());
  SetInitialFileName(source->InitialFileName());
}

void TMSConnectionOptions::Assign(const TDAConnectionOptions& ASource) {
  TCustomMSConnectionOptions::Assign(ASource);
  const auto* source = dynamic_cast<const TMSConnectionOptions*>(&ASource);
  if (source == nullptr) return;
  SetMultipleActiveResultSets(source->MultipleActiveResultSets());
  SetTrustServerCertificate(source->TrustServerCertificate());
  SetApplicationIntent(source->ApplicationIntent());
}

void TCustomMSConnectionOptions::SetProvider(TOLEDBProvider AValue) {
  if (AValue == FProvider) return;
  CheckClosed();
  FProvider = AValue;
}

void TCustomMSConnectionOptions::SetNativeClientVersion(TNativeClientVersion AValue) {
  if (AValue == FNativeClientVersion) return;
  CheckClosed();
  FNativeClientVersion = AValue;
}

void TCustomMSConnectionOptions::SetCompactVersion(TCompactVersion AValue) {
  if (AValue == FCompactVersion) return;
  CheckClosed();
  FCompactVersion = AValue;
}

void TCustomMSConnectionOptions::SetDefaultLockTimeout(int AValue) {
  if (AValue == FDefaultLockTimeout) return;
  CheckClosed();
  FDefaultLockTimeout = AValue;
}

void TCustomMSConnectionOptions::SetEncrypt(bool AValue) {
  if (AValue == FEncrypt) return;
  CheckClosed();
  FEncrypt = AValue;
}

TCustomMSConnection::TCustomMSConnection(TComponent* AOwner,
                                         std::unique_ptr<TCustomMSConnectionOptions> AOptions)
    : TCustomDAConnection(AOwner, std::move(AOptions)) {}

void TCustomMSConnection::SetDatabase(const std::string& AValue) {
  if (!Connected() || ComponentState().Contains(csLoading)) {
    FDatabase = AValue;
    return;
  }
  if (AValue.empty()) {
    throw EDatabaseError("Changing database name to default value is not allowed");
  }
  if (AValue == FDatabase) return;
  try {
    Session().SetCurrentCatalog(AValue);
  } catch (const EOLEDBError& error) {
    CheckSessionAfterError(error);
    throw;
  }
  FDatabase = AValue;
}

std::unique_ptr<odbc::Connection> TCustomMSConnection::OpenSession(
    odbc::Environment& AEnvironment) {
  const TCustomMSConnectionOptions& options = Options();
  odbc::ConnectSettings settings;
  settings.Driver = ChooseDriver(options.Provider(), options.NativeClientVersion(),
                                 AEnvironment.RegisteredDrivers());
  settings.Server = Server();
  settings.Database = FDatabase;
  settings.Username = Username();
  settings.Password = Password();
  settings.ApplicationName = options.ApplicationName();
  settings.WorkstationID = options.WorkstationID();
  settings.Language = options.Language();
  settings.PacketSize = options.PacketSize();
  settings.Encrypt = options.Encrypt();
  settings.AutoTranslate = options.AutoTranslate();
  settings.NetworkLibrary = options.NetworkLibrary();
  settings.FailoverPartner = options.FailoverPartner();
  settings.InitialFileName = options.InitialFileName();
  AddConnectSettings(settings);

  auto session = std::make_unique<odbc::Connection>(AEnvironment, this);
  // FreeTDS 1.3.17 keeps waiting past it when a listener accepts the
  // connection and never answers the login; refused and unreachable ports fail.
  session->SetLoginTimeout(settings.LoginTimeout);
  odbc::OpenSession(*session, settings);
  // Auto-commit is the driver's default, and the layer wants nothing else.
  const std::string database = FDatabase.empty() ? session->CurrentCatalog() : FDatabase;
  if (!options.QuotedIdentifier()) {
    odbc::Statement(*session).ExecDirect("SET QUOTED_IDENTIFIER OFF");
  }
  if (options.DefaultLockTimeout() > 0) {
    odbc::Statement(*session).ExecDirect("SET LOCK_TIMEOUT " +
                                         std::to_string(options.DefaultLockTimeout()));
  }
  FDatabase = database;
  return session;
}

TMSConnection::TMSConnection(TComponent* AOwner)
    : TCustomMSConnection(AOwner, std::make_unique<TMSConnectionOptions>(this)) {}

TMSConnection::TMSConnection(TComponent* AOwner, std::unique_ptr<TMSConnectionOptions> AOptions)
    : TCustomMSConnection(AOwner, std::move(AOptions)) {}

TMSConnection::~TMSConnection() {
  try {
    Disconnect();
  } catch (const std::exception&) {
    // A release step: the base destructor releases what is left.
  }
}

std::string TMSConnection::ConnectString() const {
  return RenderConnectString(SettingsOf(*this));
}

void TMSConnection::SetConnectString(const std::string& AValue) {
  const TMSConnectionSettings before = SettingsOf(*this);
  // Worked out on a copy, so a refused text never touches the connection.
  const TMSConnectionSettings after = ApplyConnectString(before, AValue);
  try {
    AssignSettings(*this, after);
  } catch (const std::exception&) {
    AssignSettings(*this, before);
    throw;
  }
}

void TMSConnection::AddConnectSettings(odbc::ConnectSettings& ASettings) const {
  const TMSConnectionOptions& options = Options();
  ASettings.Port = FPort;
  ASettings.LoginTimeout = FConnectionTimeout;
  ASettings.Integrated = FAuthentication == auWindows;
  ASettings.MultipleActiveResultSets = options.MultipleActiveResultSets();
  ASettings.TrustServerCertificate = options.TrustServerCertificate();
  ASettings.ReadOnlyIntent = options.ApplicationIntent() == aiReadOnly;
}
