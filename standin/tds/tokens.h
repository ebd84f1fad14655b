// Writers of the server's TDS tokens. Each appends one complete token to `out`
// in the layout of the client's protocol version.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "byte_writer.h"
#include "server_message.h"
#include "server_version.h"
#include "sql_value.h"

namespace standin::tds {

enum class DoneKind : std::uint8_t {
  kDone = 0xFD,        // ends a batch statement or the whole request
  kDoneProc = 0xFE,    // ends a procedure call (RPC)
  kDoneInProc = 0xFF,  // ends a statement inside a procedure call
};

enum DoneStatus : std::uint16_t {
  kDoneFinal = 0x00,
  kDoneMore = 0x01,
  kDoneError = 0x02,
  kDoneCount = 0x10,
  kDoneAttention = 0x20,
};

// The statement kinds a DONE names (its CurCmd field).
enum DoneCommand : std::uint16_t {
  kCommandNone = 0x00,
  kCommandSelect = 0xC1,
  kCommandExecute = 0xE0,
};

enum class EnvChange : std::uint8_t {
  kDatabase = 1,
  kLanguage = 2,
  kPacketSize = 4,
  kCollation = 7,
};

void WriteDone(ByteWriter& out, DoneKind kind, std::uint16_t status, std::uint16_t command,
               std::uint64_t count, TdsVersion version);
// An ENVCHANGE whose values are strings (database, language, packet size).
void WriteEnvChange(ByteWriter& out, EnvChange type, const std::string& new_value,
                    const std::string& old_value);
// The ENVCHANGE announcing the server's collation.
void WriteCollationChange(ByteWriter& out);
// ERROR for messages above severity 10, INFO otherwise.
void WriteMessage(ByteWriter& out, const ServerMessage& message, const std::string& server_name,
                  TdsVersion version);
// LOGINACK for a successful login at `version`.
void WriteLoginAck(ByteWriter& out, TdsVersion version);
void WriteColumnMetadata(ByteWriter& out, const std::vector<Column>& columns, TdsVersion version);
// ROW, or NBCROW when a value is NULL and the client knows NBCROW.
void WriteRow(ByteWriter& out, const std::vector<Column>& columns, const std::vector<Value>& values,
              TdsVersion version);
void WriteReturnStatus(ByteWriter& out, std::int32_t status);
// RETURNVALUE for the output parameter at position `ordinal` of the call.
void WriteReturnValue(ByteWriter& out, std::uint16_t ordinal, const Param& param,
                      TdsVersion version);

}  // namespace standin::tds
