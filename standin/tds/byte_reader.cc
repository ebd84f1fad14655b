#include "byte_reader.h"

#include "text_codec.h"

namespace standin::tds {

std::span<const std::uint8_t> ByteReader::Take(std::size_t count) {
  if (count > Remaining()) throw ProtocolError("message ends inside a field");
  auto part = bytes_.subspan(pos_, count);
  pos_ += count;
  return part;
}

std::uint8_t ByteReader::U8() {
  return Take(1)[0];
}

std::uint16_t ByteReader::U16() {
  auto b = Take(2);
  return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
}

std::uint32_t ByteReader::U32() {
  auto b = Take(4);
  return static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
         (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}

std::uint64_t ByteReader::U64() {
  std::uint64_t low = U32();
  std::uint64_t high = U32();
  return low | (high << 32);
}

std::uint16_t ByteReader::U16BigEndian() {
  auto b = Take(2);
  return static_cast<std::uint16_t>((b[0] << 8) | b[1]);
}

std::string ByteReader::Ucs2(std::size_t chars) {
  return Utf16LeToUtf8(Take(chars * 2));
}

}  // namespace standin::tds
