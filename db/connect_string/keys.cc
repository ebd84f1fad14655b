#include "db/connect_string/keys.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <vector>

#include "core/exception.h"
#include "db/connect_string/format.h"

namespace {

// The settings being built, and whether an entry asked for a Windows login,
// which only the end of the text applies.
struct TAssignment {
  TMSConnectionSettings Settings;
  bool Integrated = false;
};

using TApply = void (*)(TAssignment&, const TConnectStringEntry&);

struct TKey {
  std::vector<std::string_view> Names;
  TApply Apply;
};

struct TProviderString {
  std::string_view Text;
  TProviderChoice Choice;
};

constexpr TProviderString kProviderStrings[] = {
    {"SQLOLEDB.1", {prSQL, ncAuto, cvAuto}},
    {"SQLNCLI.1", {prNativeClient, ncAuto, cvAuto}},
    {"SQLNCLI10.1", {prNativeClient, nc2008, cvAuto}},
    {"SQLNCLI11.1", {prNativeClient, nc2012, cvAuto}},
    {"MICROSOFT.SQLSERVER.MOBILE.OLEDB.3.0", {prCompact, ncAuto, cv30}},
    {"MICROSOFT.SQLSERVER.MOBILE.OLEDB.3.5", {prCompact, ncAuto, cv35}},
    {"MICROSOFT.SQLSERVER.MOBILE.OLEDB.4.0", {prCompact, ncAuto, cv40}},
};

[[noreturn]] void RaiseBadValue(const TConnectStringEntry& AEntry) {
  throw Exception("Bad connection parameter value: " +
                  EntryInMessage(AEntry, AEntry.Name + "=" + AEntry.Value));
}

std::string UpperCase(std::string AText) {
  std::transform(AText.begin(), AText.end(), AText.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return AText;
}

void ApplyProvider(TAssignment& AAssignment, const TConnectStringEntry& AEntry) {
  const std::optional<TProviderChoice> choice = FindProviderString(AEntry.Value);
  if (!choice) RaiseBadValue(AEntry);
  TMSConnectionSettings& settings = AAssignment.Settings;
  settings.Provider = choice->Provider;
  if (choice->Provider == prNativeClient)
    settings.NativeClientVersion = choice->NativeClientVersion;
  if (choice->Provider == prCompact) settings.CompactVersion = choice->CompactVersion;
}

void ApplyIntegratedSecurity(TAssignment& AAssignment, const TConnectStringEntry& AEntry) {
  if (AEntry.Value == "SSPI") {
    AAssignment.Integrated = true;
    return;
  }
  try {
    AAssignment.Integrated = ConnectStringBoolean(AEntry);
  } catch (const Exception&) {
    RaiseBadValue(AEntry);
  }
}

// The keys that set one setting from their value, as it stands or converted.
template <auto Member>
void SetText(TAssignment& AAssignment, const TConnectStringEntry& AEntry) {
  AAssignment.Settings.*Member = AEntry.Value;
}

template <auto Member>
void SetBoolean(TAssignment& AAssignment, const TConnectStringEntry& AEntry) {
  AAssignment.Settings.*Member = ConnectStringBoolean(AEntry);
}

template <auto Member>
void SetInteger(TAssignment& AAssignment, const TConnectStringEntry& AEntry) {
  AAssignment.Settings.*Member = ConnectStringInteger(AEntry);
}

template <auto Member>
void SetPoolInteger(TAssignment& AAssignment, const TConnectStringEntry& AEntry) {
  AAssignment.Settings.PoolingOptions.*Member = ConnectStringInteger(AEntry);
}

using S = TMSConnectionSettings;
using P = TPoolingOptions;

const std::vector<TKey>& Keys() {
  static const std::vector<TKey> keys = {
      {{"Data Source", "Host", "Server", "Address", "Addr", "Network Address"},
       [](TAssignment& a, const TConnectStringEntry& e) {
         // The compact edition's data source is a database file.
         (a.Settings.Provider == prCompact ? a.Settings.Database : a.Settings.Server) = e.Value;
       }},
      {{"Initial Catalog", "Database"}, SetText<&S::Database>},
      {{"User ID", "User", "UID", "User Name", "UserName"}, SetText<&S::Username>},
      {{"Password", "PWD"}, SetText<&S::Password>},
      {{"Integrated Security", "Trusted_Connection"}, ApplyIntegratedSecurity},
      {{"Provider", "OLEDBProvider"}, ApplyProvider},
      {{"Port"}, SetInteger<&S::Port>},
      {{"Connect Timeout", "ConnectTimeout", "Connection Timeout", "ConnectionTimeout"},
       SetInteger<&S::ConnectionTimeout>},
      {{"Current Language", "Language"}, SetText<&S::Language>},
      {{"PersistSecurityInfo", "Persist Security Info"}, SetBoolean<&S::PersistSecurityInfo>},
      {{"AutoTranslate", "Auto Translate"}, SetBoolean<&S::AutoTranslate>},
      {{"Network Library", "Network", "NetworkLibrary", "NetLibrary", "Net"},
       SetText<&S::NetworkLibrary>},
      {{"ApplicationName", "Application Name", "AppName"}, SetText<&S::ApplicationName>},
      {{"WorkstationID", "Workstation ID", "WSID"}, SetText<&S::WorkstationID>},
      {{"Packet Size", "PacketSize"}, SetInteger<&S::PacketSize>},
      {{"AttachDBFileName", "InitialFileName", "InitFileName", "Initial File Name"},
       SetText<&S::InitialFileName>},
      {{"MultipleActiveResultSets", "Multiple Active Result Sets", "MARS Connection", "MARS"},
       SetBoolean<&S::MultipleActiveResultSets>},
      {{"FailoverPartner", "Failover Partner", "Failover_Partner"}, SetText<&S::FailoverPartner>},
      {{"TrustServerCertificate", "Trust Server Certificate"},
       SetBoolean<&S::TrustServerCertificate>},
      {{"ApplicationIntent", "Application Intent"},
       [](TAssignment& a, const TConnectStringEntry& e) {
         // Any other value asks for no intent, which is what read-write passes.
         a.Settings.ApplicationIntent = e.Value == "aiReadOnly" ? aiReadOnly : aiReadWrite;
       }},
      {{"Use Encryption for Data", "Encryption", "Encrypt"}, SetBoolean<&S::Encrypt>},
      {{"Force Create Database", "ForceCreateDatabase"}, SetBoolean<&S::ForceCreateDatabase>},
      {{"Login Prompt", "LoginPrompt"}, SetBoolean<&S::LoginPrompt>},
      {{"Pooling"}, SetBoolean<&S::Pooling>},
      {{"Connection LifeTime", "ConnectionLifeTime"}, SetPoolInteger<&P::ConnectionLifetime>},
      {{"Max Pool Size", "MaxPoolSize"}, SetPoolInteger<&P::MaxPoolSize>},
      {{"Min Pool Size", "MinPoolSize"}, SetPoolInteger<&P::MinPoolSize>},
      {{"Validate Connection", "ValidateConnection"},
       [](TAssignment& a, const TConnectStringEntry& e) {
         a.Settings.PoolingOptions.Validate = ConnectStringBoolean(e);
       }},
      // Strings written for other clients carry these; they mean nothing here.
      {{"Use Procedure for Prepare", "Asynchronous Connection", "Client Failover",
        "Tag with column collation when possible"},
       [](TAssignment&, const TConnectStringEntry&) {}},
  };
  return keys;
}

const TKey* FindKey(std::string_view AName) {
  for (const TKey& key : Keys()) {
    for (std::string_view name : key.Names) {
      if (SameKeyName(AName, name)) return &key;
    }
  }
  return nullptr;
}

// The settings a key can set, back to their reset values; the others
// (ApplicationName and WorkstationID among them) keep theirs.
void Reset(TMSConnectionSettings& ASettings) {
  ASettings.LoginPrompt = true;
  ASettings.Pooling = false;
  ASettings.PoolingOptions = TPoolingOptions();
  ASettings.Password.clear();
  ASettings.Database.clear();
  ASettings.Server.clear();
  ASettings.Username.clear();
  ASettings.Encrypt = false;
  ASettings.ForceCreateDatabase = true;
  ASettings.Port = 1433;
  ASettings.Provider = prAuto;
  ASettings.ConnectionTimeout = 15;
  ASettings.Authentication = auServer;
  ASettings.Language.clear();
  ASettings.NetworkLibrary.clear();
  ASettings.InitialFileName.clear();
  ASettings.FailoverPartner.clear();
  ASettings.PersistSecurityInfo = false;
  ASettings.AutoTranslate = true;
  ASettings.PacketSize = 4096;
  ASettings.MultipleActiveResultSets = false;
  ASettings.TrustServerCertificate = false;
  ASettings.ApplicationIntent = aiReadWrite;
}

std::string BooleanText(bool AValue) {
  return AValue ? "True" : "False";
}

}  // namespace

std::optional<TProviderChoice> FindProviderString(std::string_view AText) {
  const std::string text = UpperCase(std::string(AText));
  for (const TProviderString& provider : kProviderStrings) {
    if (provider.Text == text) return provider.Choice;
  }
  return std::nullopt;
}

std::string_view ProviderString(const TProviderChoice& AChoice) {
  switch (AChoice.Provider) {
    case prSQL:
      return "SQLOLEDB.1";
    case prNativeClient:
      // nc2005 has no string of its own; the plain one means any version.
      return AChoice.NativeClientVersion == nc2012   ? "SQLNCLI11.1"
             : AChoice.NativeClientVersion == nc2008 ? "SQLNCLI10.1"
                                                     : "SQLNCLI.1";
    case prCompact:
      // cvAuto (set from code only) renders as the newest edition.
      return AChoice.CompactVersion == cv30   ? "MICROSOFT.SQLSERVER.MOBILE.OLEDB.3.0"
             : AChoice.CompactVersion == cv35 ? "MICROSOFT.SQLSERVER.MOBILE.OLEDB.3.5"
                                              : "MICROSOFT.SQLSERVER.MOBILE.OLEDB.4.0";
    case prAuto:
      break;
  }
  return "";
}

TMSConnectionSettings ApplyConnectString(const TMSConnectionSettings& ASettings,
                                         std::string_view AText) {
  if (AText == RenderConnectString(ASettings)) return ASettings;
  TAssignment assignment{.Settings = ASettings};
  Reset(assignment.Settings);
  std::vector<std::string> given;
  for (const TConnectStringEntry& entry : SplitConnectString(AText)) {
    CheckConnectStringEntry(entry);
    for (const std::string& name : given) {
      if (SameKeyName(entry.Name, name)) {
        throw Exception("Connection parameter cannot be added twice: " +
                        EntryInMessage(entry, entry.Name));
      }
    }
    given.push_back(entry.Name);
    const TKey* key = FindKey(entry.Name);
    if (key == nullptr) {
      throw Exception("Connection parameter name is unknown: " + EntryInMessage(entry, entry.Name));
    }
    key->Apply(assignment, entry);
  }
  if (assignment.Integrated) assignment.Settings.Authentication = auWindows;
  return assignment.Settings;
}

std::string RenderConnectString(const TMSConnectionSettings& ASettings) {
  TMSConnectionSettings reset = ASettings;
  Reset(reset);
  std::string text;
  const auto add = [&text](std::string_view AKey, std::string_view AValue) {
    if (!text.empty()) text += ';';
    text.append(AKey).append("=").append(AValue);
  };
  const auto add_text = [&add](std::string_view AKey, const std::string& AValue) {
    if (!AValue.empty()) add(AKey, AValue);
  };
  const auto add_boolean = [&add](std::string_view AKey, bool AValue, bool AReset) {
    if (AValue != AReset) add(AKey, BooleanText(AValue));
  };
  const auto add_integer = [&add](std::string_view AKey, int AValue, int AReset) {
    if (AValue != AReset) add(AKey, std::to_string(AValue));
  };
  const TPoolingOptions& pool = ASettings.PoolingOptions;
  const TPoolingOptions& reset_pool = reset.PoolingOptions;

  add_boolean("Login Prompt", ASettings.LoginPrompt, reset.LoginPrompt);
  add_boolean("Pooling", ASettings.Pooling, reset.Pooling);
  add_integer("Connection LifeTime", pool.ConnectionLifetime, reset_pool.ConnectionLifetime);
  add_integer("Max Pool Size", pool.MaxPoolSize, reset_pool.MaxPoolSize);
  add_integer("Min Pool Size", pool.MinPoolSize, reset_pool.MinPoolSize);
  add_boolean("Validate Connection", pool.Validate, reset_pool.Validate);
  add_text("Password", ASettings.Password);
  add_text("Data Source", ASettings.Server);
  add_text("Initial Catalog", ASettings.Database);
  add_boolean("Use Encryption for Data", ASettings.Encrypt, reset.Encrypt);
  add_boolean("Force Create Database", ASettings.ForceCreateDatabase, reset.ForceCreateDatabase);
  if (ASettings.Provider != reset.Provider)
    add("OLEDBProvider", ProviderString({ASettings.Provider, ASettings.NativeClientVersion,
                                         ASettings.CompactVersion}));
  add_integer("Port", ASettings.Port, reset.Port);
  add_text("User ID", ASettings.Username);
  add_integer("Connection Timeout", ASettings.ConnectionTimeout, reset.ConnectionTimeout);
  add_text("Current Language", ASettings.Language);
  add_boolean("Persist Security Info", ASettings.PersistSecurityInfo, reset.PersistSecurityInfo);
  add_boolean("Auto Translate", ASettings.AutoTranslate, reset.AutoTranslate);
  add_text("Network Library", ASettings.NetworkLibrary);
  add_text("Application Name", ASettings.ApplicationName);
  add_text("Workstation ID", ASettings.WorkstationID);
  add_integer("Packet Size", ASettings.PacketSize, reset.PacketSize);
  add_text("AttachDBFileName", ASettings.InitialFileName);
  add_boolean("MultipleActiveResultSets", ASettings.MultipleActiveResultSets,
              reset.MultipleActiveResultSets);
  add_text("Failover Partner", ASettings.FailoverPartner);
  add_boolean("Trust Server Certificate", ASettings.TrustServerCertificate,
              reset.TrustServerCertificate);
  if (ASettings.ApplicationIntent != reset.ApplicationIntent) {
    add("Application Intent", "aiReadOnly");
  }
  // Appended with its ";" even to an empty rendering.
  if (ASettings.Authentication == auWindows) text += ";Integrated Security=SSPI";
  return text;
}
