// TDS data type codes, as they appear in TYPE_INFO.
#pragma once

#include <cstdint>

namespace standin::tds {

enum WireType : std::uint8_t {
  kNull = 0x1F,
  kImage = 0x22,
  kText = 0x23,
  kGuid = 0x24,
  kVarBinary = 0x25,
  kIntN = 0x26,
  kVarChar = 0x27,
  kDateN = 0x28,
  kTimeN = 0x29,
  kDateTime2N = 0x2A,
  kDateTimeOffsetN = 0x2B,
  kBinary = 0x2D,
  kChar = 0x2F,
  kInt1 = 0x30,
  kBit = 0x32,
  kInt2 = 0x34,
  kDecimal = 0x37,
  kInt4 = 0x38,
  kDateTime4 = 0x3A,
  kFloat4 = 0x3B,
  kMoney = 0x3C,
  kDateTime = 0x3D,
  kFloat8 = 0x3E,
  kNumeric = 0x3F,
  kNText = 0x63,
  kBitN = 0x68,
  kDecimalN = 0x6A,
  kNumericN = 0x6C,
  kFloatN = 0x6D,
  kMoneyN = 0x6E,
  kDateTimeN = 0x6F,
  kMoney4 = 0x7A,
  kInt8 = 0x7F,
  kBigVarBinary = 0xA5,
  kBigVarChar = 0xA7,
  kBigBinary = 0xAD,
  kBigChar = 0xAF,
  kNVarChar = 0xE7,
  kNChar = 0xEF,
};

// The collation every character column and parameter carries:
// SQL_Latin1_General_CP1_CI_AS (LCID 0x0409, case- and width-insensitive, sort id 52).
inline constexpr std::uint8_t kCollation[5] = {0x09, 0x04, 0xD0, 0x00, 0x34};

// Bytes of a decimal's magnitude on the wire for a precision 1..38.
inline int DecimalMagnitudeBytes(int precision) {
  return precision <= 9 ? 4 : precision <= 19 ? 8 : precision <= 28 ? 12 : 16;
}

}  // namespace standin::tds
