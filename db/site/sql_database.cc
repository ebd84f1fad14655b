#include "db/site/sql_database.h"

#include "core/read_error.h"
#include "db/connect_string/keys.h"
#include "db/errors/database_error.h"
#include "db/locking/query.h"

namespace {

constexpr const char* kProviderIdents[] = {"prAuto", "prSQL", "prNativeClient", "prCompact"};

}  // namespace

TVtSQLDatabaseOptions::TVtSQLDatabaseOptions(TVtSQLDatabase* AOwner)
    : TMSConnectionOptions(AOwner) {}

void TVtSQLDatabaseOptions::ReadProvider(const TStoredValue& AValue) {
  if (AValue.Kind == svIdent) {
    bool found = false;
    for (int i = 0; i < static_cast<int>(std::size(kProviderIdents)); ++i) {
      if (AValue.Text != kProviderIdents[i]) continue;
      SetProvider(static_cast<TOLEDBProvider>(i));
      found = true;
    }
    if (!found) throw EReadError("Invalid property value");
  } else if (AValue.Kind == svString) {
    const std::optional<TProviderChoice> choice = FindProviderString(AValue.Text);
    if (!choice) throw EReadError("Invalid property value");
    SetProvider(choice->Provider);
    SetCompactVersion(choice->CompactVersion);
    SetNativeClientVersion(choice->NativeClientVersion);
  } else {
    throw EReadError("Invalid property value");
  }
  FLoadedProviderValueType = AValue.Kind;
  FLoadedProviderText = AValue.Text;
}

std::optional<TStoredValue> TVtSQLDatabaseOptions::WriteProvider() const {
  const bool as_string = FLoadedProviderValueType == svString;
  const std::string text(ProviderString({Provider(), NativeClientVersion(), CompactVersion()}));
  if (Provider() == prAuto && !(as_string && text == FLoadedProviderText)) return std::nullopt;
  if (as_string) return TStoredValue::String(text);
  return TStoredValue::Ident(kProviderIdents[Provider()]);
}

TVtSQLDatabase::TVtSQLDatabase(TComponent* AOwner)
    : TMSConnection(AOwner, std::make_unique<TVtSQLDatabaseOptions>(this)) {
  Options().SetKeepDesignConnected(false);
  Options().SetDefaultLockTimeout(-1);
  ClearConnectString();
  SetVtConfigInfo(nullptr);
  if (AOwner == nullptr || !AOwner->ComponentState().Contains(csDesigning)) return;
  for (int i = 0; i < AOwner->ComponentCount(); ++i) {
    if (auto* lookup = dynamic_cast<IVtConfigLookup*>(AOwner->Components(i))) {
      SetVtConfigInfo(lookup);
      return;
    }
  }
}

void TVtSQLDatabase::SetProgramName(const std::string& AValue) {
  const std::string old = FProgramName;
  FProgramName = AValue;
  if (!FProgramName.empty()) {
    ApplyConfiguration();
  } else if (!old.empty()) {
    ClearConnectString();
  }
}

void TVtSQLDatabase::SetVtConfigInfo(IVtConfigLookup* AValue) {
  FVtConfigInfo = AValue;
  FVtConfigComponent = AValue == nullptr ? nullptr : &AValue->LookupComponent();
  if (FVtConfigComponent != nullptr) {
    if (FVtConfigComponent->Owner() != Owner()) FVtConfigComponent->FreeNotification(this);
    if (!FProgramName.empty()) ApplyConfiguration();
  } else if (!FProgramName.empty()) {
    ClearConnectString();
  }
}

std::string TVtSQLDatabase::HelpFilePath() const {
  return FVtConfigInfo == nullptr ? std::string() : FVtConfigInfo->GetHelpPath(FProgramName);
}

std::string TVtSQLDatabase::LogFilePath() const {
  return FVtConfigInfo == nullptr ? std::string() : FVtConfigInfo->GetLogPath(FProgramName);
}

TCustomDADataSet* TVtSQLDatabase::CreateDataSet(TComponent* AOwner) {
  auto* dataset = new TVtMSQuery(AOwner);
  dataset->SetDesigning(ComponentState().Contains(csDesigning));
  dataset->SetConnection(this);
  return dataset;
}

void TVtSQLDatabase::Notification(TComponent* AComponent, TOperation AOperation) {
  TMSConnection::Notification(AComponent, AOperation);
  if (AOperation == opRemove && ComponentState().Contains(csDesigning) &&
      AComponent == FVtConfigComponent) {
    SetVtConfigInfo(nullptr);
  }
}

void TVtSQLDatabase::DoConnect() {
  const std::string registered = ApplyConfiguration();
  // An empty answer leaves every setting at its default, which names the
  // local server as sa: a program the site never registered must not go
  // looking for a database there.
  if (FVtConfigInfo != nullptr && registered.empty()) {
    throw EDatabaseError("No connection is registered for program " + FProgramName +
                         " in ConnectLib");
  }
  TMSConnection::DoConnect();
}

std::string TVtSQLDatabase::ApplyConfiguration() {
  if (FVtConfigInfo == nullptr) return "";
  std::string registered = FVtConfigInfo->GetConnectString(FProgramName);
  SetConnectString(registered);
  SetLoginPrompt(false);
  return registered;
}

void TVtSQLDatabase::ClearConnectString() {
  SetConnectString("");
  SetLoginPrompt(false);
}
