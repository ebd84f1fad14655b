// Decoding of the client's requests: SQL batches, procedure calls (RPC) with
// their typed parameters, and transaction manager requests.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "server_version.h"
#include "sql_value.h"

namespace standin::tds {

// One procedure call of an RPC request.
struct RpcCall {
  std::string procedure;  // as sent, or the name of the well-known procedure id
  std::uint16_t options = 0;
  std::vector<Param> params;
};

// Each parser throws ProtocolError if the payload is malformed, truncated or
// uses a type the stand-in does not serve.

// The UTF-8 text of a SQL batch.
std::string ParseSqlBatch(std::span<const std::uint8_t> payload, TdsVersion version);

// The calls of an RPC request, in order (a client may batch several).
std::vector<RpcCall> ParseRpc(std::span<const std::uint8_t> payload, TdsVersion version);

// The T-SQL equivalent of a transaction manager request (begin, commit, rollback).
std::string ParseTransactionRequest(std::span<const std::uint8_t> payload, TdsVersion version);

}  // namespace standin::tds
