#include "db/errors/client_errors.h"

#include <cstdio>
#include <stdexcept>
#include <utility>

namespace {

std::string JoinMessages(const std::vector<TErrorRecord>& ARecords, bool AServerOnly) {
  std::string text;
  for (const TErrorRecord& record : ARecords) {
    if (AServerOnly && !record.FromServer) continue;
    if (!text.empty()) text += "\r\n";
    text += record.Message;
  }
  return text;
}

std::string ClientMessage(const std::vector<TErrorRecord>& ARecords, int AOLEDBErrorCode) {
  std::string text = JoinMessages(ARecords, false);
  if (!text.empty()) return text;
  char code[16];
  std::snprintf(code, sizeof code, "%X", static_cast<unsigned>(AOLEDBErrorCode));
  return std::string("OLE DB error occurred. Code ") + code + "h";
}

const TErrorRecord& LastServerRecord(const std::vector<TErrorRecord>& ARecords) {
  for (auto it = ARecords.rbegin(); it != ARecords.rend(); ++it) {
    if (it->FromServer) return *it;
  }
  throw std::invalid_argument("EMSError needs a record from the server");
}

}  // namespace

EDAError::EDAError(const std::string& AMessage, int AErrorCode, TComponent* AComponent)
    : EDatabaseError(ComponentMessage(AComponent, AMessage)),
      FErrorCode(AErrorCode),
      FComponent(AComponent) {}

EOLEDBError::EOLEDBError(std::vector<TErrorRecord> ARecords, int AOLEDBErrorCode,
                         TComponent* AComponent)
    : EOLEDBError(ClientMessage(ARecords, AOLEDBErrorCode), AOLEDBErrorCode, ARecords,
                  AOLEDBErrorCode, AComponent) {}

EOLEDBError EOLEDBError::ConnectionLost(std::vector<TErrorRecord> ARecords, int AOLEDBErrorCode,
                                        TComponent* AComponent) {
  std::string message =
      "The connection to the server was lost.\r\n" + ClientMessage(ARecords, AOLEDBErrorCode);
  return EOLEDBError(message, AOLEDBErrorCode, std::move(ARecords), AOLEDBErrorCode, AComponent);
}

EOLEDBError::EOLEDBError(const std::string& AMessage, int AErrorCode,
                         std::vector<TErrorRecord> ARecords, int AOLEDBErrorCode,
                         TComponent* AComponent)
    : EDAError(AMessage, AErrorCode, AComponent),
      FRecords(std::move(ARecords)),
      FOLEDBErrorCode(AOLEDBErrorCode) {}

EMSError::EMSError(std::vector<TErrorRecord> ARecords, int AOLEDBErrorCode, TComponent* AComponent)
    : EMSError(ARecords, LastServerRecord(ARecords), AOLEDBErrorCode, AComponent) {}

EMSError::EMSError(const std::vector<TErrorRecord>& ARecords, const TErrorRecord& ALast,
                   int AOLEDBErrorCode, TComponent* AComponent)
    : EOLEDBError(JoinMessages(ARecords, true), ALast.NativeError, ARecords, AOLEDBErrorCode,
                  AComponent),
      FLast(ALast) {}
