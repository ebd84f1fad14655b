#include "tokens.h"

#include <stdexcept>

#include "column_encoding.h"
#include "wire_type.h"

namespace standin::tds {
namespace {

enum Token : std::uint8_t {
  kReturnStatus = 0x79,
  kColMetadata = 0x81,
  kError = 0xAA,
  kInfo = 0xAB,
  kReturnValue = 0xAC,
  kLoginAck = 0xAD,
  kRow = 0xD1,
  kNbcRow = 0xD2,
  kEnvChange = 0xE3,
};

constexpr std::uint16_t kFlagNullable = 0x0001;
// Updatability "unknown", as SQL Server marks the columns of a plain query.
constexpr std::uint16_t kFlagUpdateableUnknown = 0x0008;
constexpr std::uint8_t kStatusOutput = 0x01;

// Starts a token with a two-byte length; returns where that length goes.
std::size_t BeginSized(ByteWriter& out, std::uint8_t token) {
  out.U8(token);
  std::size_t at = out.Size();
  out.U16(0);
  return at;
}

void EndSized(ByteWriter& out, std::size_t at) {
  std::size_t length = out.Size() - at - 2;
  if (length > 0xFFFF) throw std::length_error("token longer than 65535 bytes");
  out.PatchU16(at, static_cast<std::uint16_t>(length));
}

void WriteUserType(ByteWriter& out, TdsVersion version) {
  if (HasAllHeaders(version)) {
    out.U32(0);
  } else {
    out.U16(0);
  }
}

}  // namespace

void WriteDone(ByteWriter& out, DoneKind kind, std::uint16_t status, std::uint16_t command,
               std::uint64_t count, TdsVersion version) {
  out.U8(static_cast<std::uint8_t>(kind));
  out.U16(status);
  out.U16(command);
  if (HasAllHeaders(version)) {
    out.U64(count);
  } else {
    out.U32(static_cast<std::uint32_t>(count));
  }
}

void WriteEnvChange(ByteWriter& out, EnvChange type, const std::string& new_value,
                    const std::string& old_value) {
  std::size_t at = BeginSized(out, kEnvChange);
  out.U8(static_cast<std::uint8_t>(type));
  out.BVarChar(new_value);
  out.BVarChar(old_value);
  EndSized(out, at);
}

void WriteCollationChange(ByteWriter& out) {
  std::size_t at = BeginSized(out, kEnvChange);
  out.U8(static_cast<std::uint8_t>(EnvChange::kCollation));
  out.U8(sizeof kCollation);
  out.Append(kCollation);
  out.U8(0);
  EndSized(out, at);
}

void WriteMessage(ByteWriter& out, const ServerMessage& message, const std::string& server_name,
                  TdsVersion version) {
  std::size_t at = BeginSized(out, message.IsError() ? kError : kInfo);
  out.U32(static_cast<std::uint32_t>(message.number));
  out.U8(message.state);
  out.U8(message.severity);
  out.UsVarChar(message.text);
  out.BVarChar(server_name);
  out.BVarChar(message.procedure);
  if (HasAllHeaders(version)) {
    out.U32(static_cast<std::uint32_t>(message.line));
  } else {
    out.U16(static_cast<std::uint16_t>(message.line));
  }
  EndSized(out, at);
}

void WriteLoginAck(ByteWriter& out, TdsVersion version) {
  constexpr std::uint8_t kInterfaceSql = 1;
  std::size_t at = BeginSized(out, kLoginAck);
  out.U8(kInterfaceSql);
  auto v = static_cast<std::uint32_t>(version);
  out.U8(static_cast<std::uint8_t>(v >> 24));
  out.U8(static_cast<std::uint8_t>(v >> 16));
  out.U8(static_cast<std::uint8_t>(v >> 8));
  out.U8(static_cast<std::uint8_t>(v));
  out.BVarChar("Microsoft SQL Server");
  out.U8(kServerVersionMajor);
  out.U8(kServerVersionMinor);
  out.U8(static_cast<std::uint8_t>(kServerBuild >> 8));
  out.U8(static_cast<std::uint8_t>(kServerBuild & 0xFF));
  EndSized(out, at);
}

void WriteColumnMetadata(ByteWriter& out, const std::vector<Column>& columns, TdsVersion version) {
  out.U8(kColMetadata);
  out.U16(static_cast<std::uint16_t>(columns.size()));
  for (const Column& column : columns) {
    WriteUserType(out, version);
    out.U16((column.type.nullable ? kFlagNullable : 0) | kFlagUpdateableUnknown);
    WriteTypeInfo(out, column.type, version);
    if (HasTableName(column.type, version)) {
      // The stand-in does not track which table a column came from: no name parts.
      if (HasAllHeaders(version)) {
        out.U8(0);
      } else {
        out.U16(0);
      }
    }
    out.BVarChar(column.name);
  }
}

void WriteRow(ByteWriter& out, const std::vector<Column>& columns, const std::vector<Value>& values,
              TdsVersion version) {
  if (values.size() != columns.size())
    throw std::invalid_argument("row width differs from its columns");
  bool any_null = false;
  for (const Value& v : values) any_null = any_null || IsNull(v);
  if (any_null && HasDateTypes(version)) {
    out.U8(kNbcRow);
    std::vector<std::uint8_t> bitmap((values.size() + 7) / 8);
    for (std::size_t i = 0; i < values.size(); ++i) {
      if (IsNull(values[i])) bitmap[i / 8] |= static_cast<std::uint8_t>(1u << (i % 8));
    }
    out.Append(bitmap);
    for (std::size_t i = 0; i < values.size(); ++i) {
      if (!IsNull(values[i])) WriteValue(out, columns[i].type, values[i], version);
    }
    return;
  }
  out.U8(kRow);
  for (std::size_t i = 0; i < values.size(); ++i)
    WriteValue(out, columns[i].type, values[i], version);
}

void WriteReturnStatus(ByteWriter& out, std::int32_t status) {
  out.U8(kReturnStatus);
  out.U32(static_cast<std::uint32_t>(status));
}

void WriteReturnValue(ByteWriter& out, std::uint16_t ordinal, const Param& param,
                      TdsVersion version) {
  out.U8(kReturnValue);
  out.U16(ordinal);
  out.BVarChar(param.name);
  out.U8(kStatusOutput);
  WriteUserType(out, version);
  out.U16(kFlagNullable);
  WriteTypeInfo(out, param.type, version);
  WriteValue(out, param.type, param.value, version);
}

}  // namespace standin::tds
