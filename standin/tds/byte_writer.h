// Appends the little-endian fields of TDS messages to a growing byte buffer.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace standin::tds {

class ByteWriter {
 public:
  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
  std::vector<std::uint8_t> Release() { return std::move(bytes_); }
  std::size_t Size() const { return bytes_.size(); }

  void U8(std::uint8_t v) { bytes_.push_back(v); }
  void U16(std::uint16_t v);
  void U32(std::uint32_t v);
  void U64(std::uint64_t v);
  void U16BigEndian(std::uint16_t v);
  void Append(std::span<const std::uint8_t> bytes);
  // UTF-8 text as UCS-2, without any length prefix.
  void Ucs2(std::string_view utf8);
  // UTF-8 text as UCS-2 after a one-byte (B_VARCHAR) or two-byte (US_VARCHAR)
  // character count. Fails if the text is longer than the count can say.
  void BVarChar(std::string_view utf8);
  void UsVarChar(std::string_view utf8);
  // Overwrites a two-byte field written earlier at `offset`.
  void PatchU16(std::size_t offset, std::uint16_t v);

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace standin::tds
