#include "byte_writer.h"

#include <stdexcept>

#include "text_codec.h"

namespace standin::tds {

void ByteWriter::U16(std::uint16_t v) {
  U8(static_cast<std::uint8_t>(v));
  U8(static_cast<std::uint8_t>(v >> 8));
}

void ByteWriter::U32(std::uint32_t v) {
  U16(static_cast<std::uint16_t>(v));
  U16(static_cast<std::uint16_t>(v >> 16));
}

void ByteWriter::U64(std::uint64_t v) {
  U32(static_cast<std::uint32_t>(v));
  U32(static_cast<std::uint32_t>(v >> 32));
}

void ByteWriter::U16BigEndian(std::uint16_t v) {
  U8(static_cast<std::uint8_t>(v >> 8));
  U8(static_cast<std::uint8_t>(v));
}

void ByteWriter::Append(std::span<const std::uint8_t> bytes) {
  bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
}

void ByteWriter::Ucs2(std::string_view utf8) {
  Append(Utf8ToUtf16Le(utf8));
}

void ByteWriter::BVarChar(std::string_view utf8) {
  auto units = Utf8ToUtf16Le(utf8);
  if (units.size() / 2 > 0xFF) throw std::length_error("name longer than 255 characters");
  U8(static_cast<std::uint8_t>(units.size() / 2));
  Append(units);
}

void ByteWriter::UsVarChar(std::string_view utf8) {
  auto units = Utf8ToUtf16Le(utf8);
  if (units.size() / 2 > 0xFFFF) throw std::length_error("text longer than 65535 characters");
  U16(static_cast<std::uint16_t>(units.size() / 2));
  Append(units);
}

void ByteWriter::PatchU16(std::size_t offset, std::uint16_t v) {
  bytes_.at(offset) = static_cast<std::uint8_t>(v);
  bytes_.at(offset + 1) = static_cast<std::uint8_t>(v >> 8);
}

}  // namespace standin::tds
