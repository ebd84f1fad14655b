#include "db/connect_string/settings.h"

TMSConnectionSettings SettingsOf(const TMSConnection& AConnection) {
  const TMSConnectionOptions& options = AConnection.Options();
  return TMSConnectionSettings{
      .LoginPrompt = AConnection.LoginPrompt(),
      .Server = AConnection.Server(),
      .Username = AConnection.Username(),
      .Password = AConnection.Password(),
      .AutoCommit = AConnection.AutoCommit(),
      .Pooling = AConnection.Pooling(),
      .PoolingOptions = AConnection.PoolingOptions(),
      .KeepDesignConnected = options.KeepDesignConnected(),
      .AllowImplicitConnect = options.AllowImplicitConnect(),
      .DisconnectedMode = options.DisconnectedMode(),
      .Database = AConnection.Database(),
      .IsolationLevel = AConnection.IsolationLevel(),
      .Provider = options.Provider(),
      .NativeClientVersion = options.NativeClientVersion(),
      .CompactVersion = options.CompactVersion(),
      .ForceCreateDatabase = options.ForceCreateDatabase(),
      .DefaultLockTimeout = options.DefaultLockTimeout(),
      .QuotedIdentifier = options.QuotedIdentifier(),
      .Encrypt = options.Encrypt(),
      .ApplicationName = options.ApplicationName(),
      .WorkstationID = options.WorkstationID(),
      .Language = options.Language(),
      .PacketSize = options.PacketSize(),
      .PersistSecurityInfo = options.PersistSecurityInfo(),
      .AutoTranslate = options.AutoTranslate(),
      .NetworkLibrary = options.NetworkLibrary(),
      .FailoverPartner = options.FailoverPartner(),
      .InitialFileName = options.InitialFileName(),
      .Authentication = AConnection.Authentication(),
      .Port = AConnection.Port(),
      .ConnectionTimeout = AConnection.ConnectionTimeout(),
      .MultipleActiveResultSets = options.MultipleActiveResultSets(),
      .TrustServerCertificate = options.TrustServerCertificate(),
      .ApplicationIntent = options.ApplicationIntent(),
  };
}

void AssignSettings(TMSConnection& AConnection, const TMSConnectionSettings& ASettings) {
  AConnection.SetServer(ASettings.Server);
  AConnection.SetUsername(ASettings.Username);
  AConnection.SetPassword(ASettings.Password);
  AConnection.SetAuthentication(ASettings.Authentication);
  AConnection.SetPort(ASettings.Port);

  AConnection.SetLoginPrompt(ASettings.LoginPrompt);
  AConnection.SetAutoCommit(ASettings.AutoCommit);
  AConnection.SetPooling(ASettings.Pooling);
  AConnection.SetPoolingOptions(ASettings.PoolingOptions);
  AConnection.SetDatabase(ASettings.Database);
  AConnection.SetIsolationLevel(ASettings.IsolationLevel);
  AConnection.SetConnectionTimeout(ASettings.ConnectionTimeout);

  TMSConnectionOptions& options = AConnection.Options();
  options.SetKeepDesignConnected(ASettings.KeepDesignConnected);
  options.SetAllowImplicitConnect(ASettings.AllowImplicitConnect);
  options.SetDisconnectedMode(ASettings.DisconnectedMode);
  options.SetProvider(ASettings.Provider);
  options.SetNativeClientVersion(ASettings.NativeClientVersion);
  options.SetCompactVersion(ASettings.CompactVersion);
  options.SetForceCreateDatabase(ASettings.ForceCreateDatabase);
  options.SetDefaultLockTimeout(ASettings.DefaultLockTimeout);
  options.SetQuotedIdentifier(ASettings.QuotedIdentifier);
  options.SetEncrypt(ASettings.Encrypt);
  options.SetApplicationName(ASettings.ApplicationName);
  options.SetWorkstationID(ASettings.WorkstationID);
  options.SetLanguage(ASettings.Language);
  options.SetPacketSize(ASettings.PacketSize);
  options.SetPersistSecurityInfo(ASettings.PersistSecurityInfo);
  options.SetAutoTranslate(ASettings.AutoTranslate);
  options.SetNetworkLibrary(ASettings.NetworkLibrary);
  options.SetFailoverPartner(ASettings.FailoverPartner);
  options.SetInitialFileName(ASettings.InitialFileName);
  options.SetMultipleActiveResultSets(ASettings.MultipleActiveResultSets);
  options.SetTrustServerCertificate(ASettings.TrustServerCertificate);
  options.SetApplicationIntent(ASettings.ApplicationIntent);
}
