#include "db/access/connection.h"

#include <algorithm>

#include "db/access/param_markers.h"
#include "db/errors/database_error.h"
#include "db/errors/fatal_error.h"
#include "db/odbc/command.h"
#include "db/odbc/connection.h"
#include "db/odbc/environment.h"

namespace {

constexpr const char* kNotConnected = "Connection is not connected";

}  // namespace

void TDAConnectionOptions::Assign(const TDAConnectionOptions& ASource) {
  SetKeepDesignConnected(ASource.KeepDesignConnected());
  SetAllowImplicitConnect(ASource.AllowImplicitConnect());
  SetDisconnectedMode(ASource.DisconnectedMode());
}

void TDAConnectionOptions::CheckClosed() const {
  if (FOwner->Connected()) {
    throw EDatabaseError(
        ComponentMessage(FOwner, "Cannot perform this operation on an open connection"));
  }
}

TCustomDAConnection::TCustomDAConnection(TComponent* AOwner,
                                         std::unique_ptr<TDAConnectionOptions> AOptions)
    : TCustomConnection(AOwner), FOptions(std::move(AOptions)) {}

TCustomDAConnection::~TCustomDAConnection() {
  // Not through SetConnected: the events belong to a connection that is
  // already partly gone.
  DoDisconnect();
  const std::vector<TConnectionClient*> clients = std::move(FClients);
  for (TConnectionClient* client : clients) client->ConnectionFreed();
}

bool TCustomDAConnection::Connected() const {
  return FSession != nullptr;
}

void TCustomDAConnection::Loaded() {
  TCustomConnection::Loaded();
  if (StreamedConnected() && Options().KeepDesignConnected()) Connect();
}

void TCustomDAConnection::RegisterClient(TConnectionClient* AClient) {
  if (std::find(FClients.begin(), FClients.end(), AClient) == FClients.end()) {
    FClients.push_back(AClient);
  }
}

void TCustomDAConnection::UnregisterClient(TConnectionClient* AClient) {
  FClients.erase(std::remove(FClients.begin(), FClients.end(), AClient), FClients.end());
}

void TCustomDAConnection::BeginUse(TComponent*) {
  if (!Connected()) {
    if (!Options().AllowImplicitConnect()) throw Exception(kNotConnected);
    Connect();
  }
  ++FUseCount;
}

void TCustomDAConnection::EndUse() {
  if (FUseCount > 0) --FUseCount;
}

odbc::Connection& TCustomDAConnection::Session() {
  if (!FSession) throw Exception(kNotConnected);
  return *FSession;
}

void TCustomDAConnection::CheckSessionAfterError(const EOLEDBError& AError) noexcept {
  if (!FSession) return;
  bool broken = false;
  if (const auto* server_error = dynamic_cast<const EMSError*>(&AError)) {
    broken = IsFatalServerError(*server_error);
  }
  try {
    broken = broken || FSession->Dead();
  } catch (const Exception&) {
    broken = true;  // a session that cannot even answer this is no use either
  }
  if (!broken) return;
  try {
    Disconnect();
  } catch (const std::exception&) {
    // A handler of the disconnect events failed; the session must go anyway.
    DoDisconnect();
  }
}

TVariant TCustomDAConnection::ExecSQL(const std::string& AText,
                                      const std::vector<TVariant>& AParams) {
  const TParamMarkers markers = ParseParamMarkers(AText);
  std::vector<odbc::TParamValue> params(markers.Names.size());
  for (std::size_t i = 0; i < params.size() && i < AParams.size(); ++i) {
    params[i].ParamType = ptInputOutput;
    params[i].Value = AParams[i];
  }
  for (std::size_t i = 0; i < params.size(); ++i) params[i].Name = markers.Names[i];
  if (!Connected()) Connect();
  ++FUseCount;
  struct EndOfUse {
    TCustomDAConnection* connection;
    ~EndOfUse() { connection->EndUse(); }
  } end_of_use{this};
  try {
    odbc::Command command(Session(), this);
    if (command.Execute(markers.Text, params)) command.ReadResult(1);
  } catch (const EOLEDBError& error) {
    CheckSessionAfterError(error);
    throw;
  }
  // Markers never declare a result parameter.
  return TVariant();
}

void TCustomDAConnection::DoConnect() {
  if (!FEnvironment) FEnvironment = std::make_unique<odbc::Environment>();
  FSession = OpenSession(*FEnvironment);
}

void TCustomDAConnection::DoDisconnect() {
  if (!FSession) return;
  for (TConnectionClient* client : std::vector<TConnectionClient*>(FClients)) {
    client->ConnectionClosing();
  }
  FSession.reset();
  FUseCount = 0;
}
