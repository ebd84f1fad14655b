#include "requests.h"

#include <array>

#include "byte_reader.h"
#include "param_decoding.h"
#include "protocol_error.h"

namespace standin::tds {
namespace {

// Names of the procedures a client may call by number instead of by name.
constexpr std::array<const char*, 16> kProcedureById = {"",
                                                        "sp_cursor",
                                                        "sp_cursoropen",
                                                        "sp_cursorprepare",
                                                        "sp_cursorexecute",
                                                        "sp_cursorprepexec",
                                                        "sp_cursorunprepare",
                                                        "sp_cursorfetch",
                                                        "sp_cursoroption",
                                                        "sp_cursorclose",
                                                        "sp_executesql",
                                                        "sp_prepare",
                                                        "sp_execute",
                                                        "sp_prepexec",
                                                        "sp_prepexecrpc",
                                                        "sp_unprepare"};

constexpr std::uint16_t kProcedureIdFollows = 0xFFFF;
// What separates batched calls: 0x80 below TDS 7.2, 0xFF (or 0xFE, "do not execute") later.
constexpr std::uint8_t kBatchFlag71 = 0x80;
constexpr std::uint8_t kBatchFlag = 0xFF;
constexpr std::uint8_t kNoExecFlag = 0xFE;

// Skips the ALL_HEADERS block that TDS 7.2 and later put before a request.
void SkipAllHeaders(ByteReader& in, TdsVersion version) {
  if (!HasAllHeaders(version)) return;
  std::uint32_t total = in.U32();
  if (total < 4) throw ProtocolError("ALL_HEADERS length too small");
  in.Skip(total - 4);
}

bool IsBatchSeparator(std::uint8_t b, TdsVersion version) {
  if (!HasAllHeaders(version)) return b == kBatchFlag71;
  return b == kBatchFlag || b == kNoExecFlag;
}

RpcCall ReadCall(ByteReader& in, TdsVersion version) {
  RpcCall call;
  std::uint16_t name_length = in.U16();
  if (name_length == kProcedureIdFollows) {
    std::uint16_t id = in.U16();
    if (id == 0 || id >= kProcedureById.size()) {
      throw ProtocolError("unknown procedure id " + std::to_string(id));
    }
    call.procedure = kProcedureById[id];
  } else {
    call.procedure = in.Ucs2(name_length);
  }
  call.options = in.U16();
  while (!in.AtEnd()) {
    // Peek: a separator byte ends this call's parameters.
    ByteReader peek = in;
    if (IsBatchSeparator(peek.U8(), version)) break;
    call.params.push_back(ReadParam(in));
  }
  return call;
}

}  // namespace

std::string ParseSqlBatch(std::span<const std::uint8_t> payload, TdsVersion version) {
  ByteReader in(payload);
  SkipAllHeaders(in, version);
  if (in.Remaining() % 2 != 0) throw ProtocolError("SQL batch text of odd length");
  return in.Ucs2(in.Remaining() / 2);
}

std::vector<RpcCall> ParseRpc(std::span<const std::uint8_t> payload, TdsVersion version) {
  ByteReader in(payload);
  SkipAllHeaders(in, version);
  std::vector<RpcCall> calls;
  calls.push_back(ReadCall(in, version));
  while (!in.AtEnd()) {
    in.U8();  // separator
    if (in.AtEnd()) break;
    calls.push_back(ReadCall(in, version));
  }
  return calls;
}

std::string ParseTransactionRequest(std::span<const std::uint8_t> payload, TdsVersion version) {
  enum : std::uint16_t { kBegin = 5, kCommit = 7, kRollback = 8 };
  constexpr std::uint8_t kBeginAgain = 0x01;
  ByteReader in(payload);
  SkipAllHeaders(in, version);
  std::uint16_t request = in.U16();
  switch (request) {
    case kBegin:
      return "BEGIN TRANSACTION";
    case kCommit:
    case kRollback: {
      in.BVarChar();  // transaction name
      bool begin_again = !in.AtEnd() && (in.U8() & kBeginAgain) != 0;
      std::string sql = request == kCommit ? "COMMIT TRANSACTION" : "ROLLBACK TRANSACTION";
      return begin_again ? sql + "; BEGIN TRANSACTION" : sql;
    }
    default:
      throw ProtocolError("unsupported transaction manager request " + std::to_string(request));
  }
}

}  // namespace standin::tds
