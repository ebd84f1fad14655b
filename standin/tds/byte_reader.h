// Bounds-checked reading of the little-endian fields TDS messages are made of.
// Every read past the end throws ProtocolError, so a short or lying message can
// never make the server read outside the buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "protocol_error.h"

namespace standin::tds {

class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::size_t Remaining() const { return bytes_.size() - pos_; }
  bool AtEnd() const { return pos_ == bytes_.size(); }

  std::uint8_t U8();
  std::uint16_t U16();
  std::uint32_t U32();
  std::uint64_t U64();
  std::uint16_t U16BigEndian();
  // The next `count` bytes; fails if fewer remain.
  std::span<const std::uint8_t> Take(std::size_t count);
  void Skip(std::size_t count) { Take(count); }
  // UCS-2 text of `chars` characters, returned as UTF-8.
  std::string Ucs2(std::size_t chars);
  // A string preceded by a one-byte character count (B_VARCHAR).
  std::string BVarChar() { return Ucs2(U8()); }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t pos_ = 0;
};

}  // namespace standin::tds
