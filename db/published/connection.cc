#include "db/sqlserver/connection.h"

#include "db/published/classes.h"

void RegisterConnectionClasses(TClassRegistry& AClasses) {
  using DAOptions = TDAConnectionOptions;
  AClasses.Persistent<DAOptions>("TDAConnectionOptions")
      .Boolean("KeepDesignConnected", &DAOptions::KeepDesignConnected,
               &DAOptions::SetKeepDesignConnected, true)
      .Boolean("AllowImplicitConnect", &DAOptions::AllowImplicitConnect,
               &DAOptions::SetAllowImplicitConnect, true)
      .Boolean("DisconnectedMode", &DAOptions::DisconnectedMode, &DAOptions::SetDisconnectedMode,
               false);

  using MSOptions = TCustomMSConnectionOptions;
  AClasses.Persistent<MSOptions>("TCustomMSConnectionOptions", "TDAConnectionOptions")
      .Enum<TOLEDBProvider>("Provider", &MSOptions::Provider, &MSOptions::SetProvider, prAuto,
                            {"prAuto", "prSQL", "prNativeClient", "prCompact"})
      .Enum<TNativeClientVersion>("NativeClientVersion", &MSOptions::NativeClientVersion,
                                  &MSOptions::SetNativeClientVersion, ncAuto,
                                  {"ncAuto", "nc2005", "nc2008", "nc2012"})
      .Integer("DefaultLockTimeout", &MSOptions::DefaultLockTimeout,
               &MSOptions::SetDefaultLockTimeout, 2000)
      .Boolean("QuotedIdentifier", &MSOptions::QuotedIdentifier, &MSOptions::SetQuotedIdentifier,
               true)
      .Boolean("Encrypt", &MSOptions::Encrypt, &MSOptions::SetEncrypt, false)
      .String("ApplicationName", &MSOptions::ApplicationName, &MSOptions::SetApplicationName)
      .String("WorkstationID", &MSOptions::WorkstationID, &MSOptions::SetWorkstationID)
      .String("Language", &MSOptions::Language, &MSOptions::SetLanguage)
      .Integer("PacketSize", &MSOptions::PacketSize, &MSOptions::SetPacketSize, 4096)
      .Boolean("PersistSecurityInfo", &MSOptions::PersistSecurityInfo,
               &MSOptions::SetPersistSecurityInfo, false)
      .Boolean("AutoTranslate", &MSOptions::AutoTranslate, &MSOptions::SetAutoTranslate, true)
      .String("NetworkLibrary", &MSOptions::NetworkLibrary, &MSOptions::SetNetworkLibrary)
      .String("FailoverPartner", &MSOptions::FailoverPartner, &MSOptions::SetFailoverPartner)
      .String("InitialFileName", &MSOptions::InitialFileName, &MSOptions::SetInitialFileName);

  using Options = TMSConnectionOptions;
  AClasses.Persistent<Options>("TMSConnectionOptions", "TCustomMSConnectionOptions")
      .Boolean("MultipleActiveResultSets", &Options::MultipleActiveResultSets,
               &Options::SetMultipleActiveResultSets, false)
      .Boolean("TrustServerCertificate", &Options::TrustServerCertificate,
               &Options::SetTrustServerCertificate, false)
      .Enum<TApplicationIntent>("ApplicationIntent", &Options::ApplicationIntent,
                                &Options::SetApplicationIntent, aiReadWrite,
                                {"aiReadWrite", "aiReadOnly"});

  // The order is that of the stored values of the program's connection:
  // what to connect to first, the open state and the prompt last.
  using Connection = TMSConnection;
  AClasses.Component<Connection>("TMSConnection")
      .String("Database", &Connection::Database, &Connection::SetDatabase)
      .Enum<TMSAuthentication>("Authentication", &Connection::Authentication,
                               &Connection::SetAuthentication, auServer, {"auWindows", "auServer"})
      .Nested("Options", &Connection::Options)
      .String("Server", &Connection::Server, &Connection::SetServer)
      .Integer("Port", &Connection::Port, &Connection::SetPort, 1433)
      .String("Username", &Connection::Username, &Connection::SetUsername)
      .String("Password", &Connection::Password, &Connection::SetPassword)
      .Integer("ConnectionTimeout", &Connection::ConnectionTimeout,
               &Connection::SetConnectionTimeout, 15)
      .Enum<TIsolationLevel>(
          "IsolationLevel", &Connection::IsolationLevel, &Connection::SetIsolationLevel,
          ilReadCommitted,
          {"ilReadCommitted", "ilReadUnCommitted", "ilRepeatableRead", "ilIsolated", "ilSnapshot"})
      .Boolean("AutoCommit", &Connection::AutoCommit, &Connection::SetAutoCommit, true)
      .Boolean("Pooling", &Connection::Pooling, &Connection::SetPooling, false)
      .Boolean("Connected", &Connection::Connected, &Connection::SetConnected, false)
      .Boolean("LoginPrompt", &Connection::LoginPrompt, &Connection::SetLoginPrompt, true);
}
