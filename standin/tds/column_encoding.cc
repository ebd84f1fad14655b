#include "column_encoding.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

#include "scaled_decimal.h"
#include "temporal.h"
#include "text_codec.h"
#include "wire_type.h"

namespace standin::tds {
namespace {

// How a value travels: the shape of its length prefix and body.
enum class Form {
  kFixedN,     // one length byte, then a little-endian number (int, bit, float, money, datetime)
  kDecimal,    // length byte, sign byte, magnitude
  kGuid,       // length byte, 16 bytes
  kDate,       // length byte, 3 bytes of days
  kTime,       // length byte, 3..5 bytes of units
  kDateTime2,  // length byte, 3..5 bytes of units, 3 bytes of days
  kShort,      // two-byte length, 0xFFFF for NULL
  kPlp,        // partially length-prefixed (max) value
  kLong,       // text pointer, timestamp, four-byte length (text, ntext, image)
};

enum class Text { kNone, kCp1252, kUcs2 };

struct Wire {
  WireType code;
  Form form;
  std::uint32_t max_bytes = 0;  // the length in TYPE_INFO
  Text text = Text::kNone;
};

constexpr std::uint32_t kMaxShortBytes = 8000;

// char(n) and friends: n bytes per character for the encoding, (max) past 8000 bytes.
Wire Character(const SqlType& type, TdsVersion version, bool unicode, bool fixed) {
  Text text = unicode ? Text::kUcs2 : Text::kCp1252;
  std::uint32_t unit = unicode ? 2 : 1;
  bool max = type.length == SqlType::kMaxLength ||
             static_cast<std::uint64_t>(type.length) * unit > kMaxShortBytes;
  if (max && !fixed) {
    if (!HasAllHeaders(version)) {
      return unicode ? Wire{kNText, Form::kLong, 0x7FFFFFFE, text}
                     : Wire{kText, Form::kLong, 0x7FFFFFFF, text};
    }
    return {unicode ? kNVarChar : kBigVarChar, Form::kPlp, 0xFFFF, text};
  }
  std::uint32_t chars = type.length <= 0 ? 1 : static_cast<std::uint32_t>(type.length);
  std::uint32_t bytes = std::min(chars * unit, kMaxShortBytes);
  WireType code = unicode ? (fixed ? kNChar : kNVarChar) : (fixed ? kBigChar : kBigVarChar);
  return {code, Form::kShort, bytes, text};
}

Wire Binary(const SqlType& type, TdsVersion version, bool fixed) {
  bool max = type.length == SqlType::kMaxLength || type.length > static_cast<int>(kMaxShortBytes);
  if (max && !fixed) {
    if (!HasAllHeaders(version)) return {kImage, Form::kLong, 0x7FFFFFFF};
    return {kBigVarBinary, Form::kPlp, 0xFFFF};
  }
  std::uint32_t bytes = type.length <= 0 ? 1 : std::min<std::uint32_t>(type.length, kMaxShortBytes);
  return {fixed ? kBigBinary : kBigVarBinary, Form::kShort, bytes};
}

// Characters of the text form of time(scale), which older clients receive as nvarchar.
std::uint32_t TimeBytes(int scale) {
  return scale <= 2 ? 3u : scale <= 4 ? 4u : 5u;
}

std::uint32_t TimeChars(int scale) {
  return 8 + (scale > 0 ? scale + 1 : 0);
}

// The type as it can travel: a decimal without a precision is decimal(18, scale).
SqlType Normalized(SqlType type) {
  if (type.id == TypeId::Decimal) {
    if (type.precision == 0) type.precision = 18;
    if (type.precision > 38) type.precision = 38;
    if (type.scale > type.precision) type.scale = type.precision;
  }
  if ((type.id == TypeId::Time || type.id == TypeId::DateTime2) && type.scale > 7) type.scale = 7;
  return type;
}

Wire Resolve(const SqlType& type, TdsVersion version) {
  switch (type.id) {
    case TypeId::Int:
      return {kIntN, Form::kFixedN, 4};
    case TypeId::BigInt:
      return {kIntN, Form::kFixedN, 8};
    case TypeId::SmallInt:
      return {kIntN, Form::kFixedN, 2};
    case TypeId::TinyInt:
      return {kIntN, Form::kFixedN, 1};
    case TypeId::Bit:
      return {kBitN, Form::kFixedN, 1};
    case TypeId::Float:
      return {kFloatN, Form::kFixedN, 8};
    case TypeId::Real:
      return {kFloatN, Form::kFixedN, 4};
    case TypeId::Money:
      return {kMoneyN, Form::kFixedN, 8};
    case TypeId::SmallMoney:
      return {kMoneyN, Form::kFixedN, 4};
    case TypeId::DateTime:
      return {kDateTimeN, Form::kFixedN, 8};
    case TypeId::SmallDateTime:
      return {kDateTimeN, Form::kFixedN, 4};
    case TypeId::Decimal:
      return {kDecimalN, Form::kDecimal,
              1 + static_cast<std::uint32_t>(DecimalMagnitudeBytes(type.precision))};
    case TypeId::UniqueIdentifier:
      return {kGuid, Form::kGuid, 16};
    case TypeId::Date:
      if (!HasDateTypes(version)) return {kNVarChar, Form::kShort, 20, Text::kUcs2};
      return {kDateN, Form::kDate, 3};
    case TypeId::Time:
      if (!HasDateTypes(version)) {
        return {kNVarChar, Form::kShort, 2 * TimeChars(type.scale), Text::kUcs2};
      }
      return {kTimeN, Form::kTime, TimeBytes(type.scale)};
    case TypeId::DateTime2:
      if (!HasDateTypes(version)) {
        return {kNVarChar, Form::kShort, 2 * (11 + TimeChars(type.scale)), Text::kUcs2};
      }
      return {kDateTime2N, Form::kDateTime2, TimeBytes(type.scale) + 3};
    case TypeId::Char:
      return Character(type, version, false, true);
    case TypeId::VarChar:
      return Character(type, version, false, false);
    case TypeId::NChar:
      return Character(type, version, true, true);
    case TypeId::NVarChar:
      return Character(type, version, true, false);
    case TypeId::Text:
      return {kText, Form::kLong, 0x7FFFFFFF, Text::kCp1252};
    case TypeId::NText:
      return {kNText, Form::kLong, 0x7FFFFFFE, Text::kUcs2};
    case TypeId::Binary:
      return Binary(type, version, true);
    case TypeId::VarBinary:
      return Binary(type, version, false);
    case TypeId::Image:
      return {kImage, Form::kLong, 0x7FFFFFFF};
  }
  throw std::invalid_argument("unknown column type");
}

std::string AsText(const Value& value) {
  if (auto* s = std::get_if<std::string>(&value)) return *s;
  if (auto* i = std::get_if<std::int64_t>(&value)) return std::to_string(*i);
  if (auto* d = std::get_if<double>(&value)) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.17g", *d);
    return buf;
  }
  const Bytes& b = std::get<Bytes>(value);
  return std::string(b.begin(), b.end());
}

std::int64_t AsInteger(const Value& value) {
  if (auto* i = std::get_if<std::int64_t>(&value)) return *i;
  if (auto* d = std::get_if<double>(&value)) return static_cast<std::int64_t>(*d);
  if (auto* s = std::get_if<std::string>(&value)) return std::stoll(*s);
  throw std::invalid_argument("binary value in a numeric column");
}

double AsDouble(const Value& value) {
  if (auto* d = std::get_if<double>(&value)) return *d;
  if (auto* i = std::get_if<std::int64_t>(&value)) return static_cast<double>(*i);
  if (auto* s = std::get_if<std::string>(&value)) return std::stod(*s);
  throw std::invalid_argument("binary value in a float column");
}

std::vector<std::uint8_t> EncodeText(const std::string& utf8, Text text) {
  return text == Text::kUcs2 ? Utf8ToUtf16Le(utf8) : Utf8ToCp1252(utf8);
}

std::vector<std::uint8_t> AsBytes(const Value& value, Text text) {
  if (auto* b = std::get_if<Bytes>(&value)) return *b;
  return EncodeText(AsText(value), text);
}

// The body of a kFixedN value, `size` bytes little-endian.
void WriteFixed(ByteWriter& out, const SqlType& type, std::uint32_t size, const Value& value) {
  switch (type.id) {
    case TypeId::Float:
    case TypeId::Real:
      if (size == 8) {
        double d = AsDouble(value);
        std::uint64_t bits;
        std::memcpy(&bits, &d, 8);
        out.U64(bits);
      } else {
        float f = static_cast<float>(AsDouble(value));
        std::uint32_t bits;
        std::memcpy(&bits, &f, 4);
        out.U32(bits);
      }
      return;
    case TypeId::Money:
    case TypeId::SmallMoney: {
      ScaledDecimal d = ParseScaledDecimal(AsText(value), 4);
      __int128 signed_units =
          d.negative ? -static_cast<__int128>(d.units) : static_cast<__int128>(d.units);
      __int128 limit = size == 8 ? __int128{INT64_MAX} : __int128{INT32_MAX};
      if (signed_units > limit || signed_units < -limit - 1) {
        throw std::invalid_argument("money value out of range");
      }
      auto units = static_cast<std::int64_t>(signed_units);
      if (size == 8) {
        out.U32(static_cast<std::uint32_t>(static_cast<std::uint64_t>(units) >> 32));
        out.U32(static_cast<std::uint32_t>(units));
      } else {
        out.U32(static_cast<std::uint32_t>(units));
      }
      return;
    }
    case TypeId::DateTime: {
      DateTimeTicks t = ParseDateTime(AsText(value));
      out.U32(static_cast<std::uint32_t>(t.days));
      out.U32(t.ticks);
      return;
    }
    case TypeId::SmallDateTime: {
      SmallDateTimeMinutes t = ParseSmallDateTime(AsText(value));
      out.U16(t.days);
      out.U16(t.minutes);
      return;
    }
    default: {
      auto v = static_cast<std::uint64_t>(AsInteger(value));
      for (std::uint32_t i = 0; i < size; ++i) out.U8(static_cast<std::uint8_t>(v >> (8 * i)));
    }
  }
}

void WriteGuid(ByteWriter& out, const std::string& text) {
  std::string hex;
  for (char c : text) {
    if (c != '-' && c != '{' && c != '}') hex += c;
  }
  if (hex.size() != 32) throw std::invalid_argument("bad uniqueidentifier text");
  std::uint8_t bytes[16];
  for (int i = 0; i < 16; ++i)
    bytes[i] = static_cast<std::uint8_t>(std::stoi(hex.substr(2 * i, 2), nullptr, 16));
  // The first three groups travel little-endian.
  static constexpr int kOrder[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
  for (int i : kOrder) out.U8(bytes[i]);
}

constexpr std::uint8_t kTextPointer[16] = {};
constexpr std::uint8_t kTimestamp[8] = {};

void WritePlp(ByteWriter& out, const std::vector<std::uint8_t>& bytes) {
  out.U64(bytes.size());
  if (!bytes.empty()) {
    out.U32(static_cast<std::uint32_t>(bytes.size()));
    out.Append(bytes);
  }
  out.U32(0);
}

}  // namespace

void WriteTypeInfo(ByteWriter& out, const SqlType& declared, TdsVersion version) {
  SqlType type = Normalized(declared);
  Wire wire = Resolve(type, version);
  out.U8(wire.code);
  switch (wire.form) {
    case Form::kFixedN:
    case Form::kGuid:
      out.U8(static_cast<std::uint8_t>(wire.max_bytes));
      break;
    case Form::kDecimal:
      out.U8(static_cast<std::uint8_t>(wire.max_bytes));
      out.U8(type.precision);
      out.U8(type.scale);
      break;
    case Form::kDate:
      break;
    case Form::kTime:
    case Form::kDateTime2:
      out.U8(type.scale);
      break;
    case Form::kShort:
    case Form::kPlp:
      out.U16(static_cast<std::uint16_t>(wire.max_bytes));
      if (wire.text != Text::kNone) out.Append(kCollation);
      break;
    case Form::kLong:
      out.U32(wire.max_bytes);
      if (wire.text != Text::kNone) out.Append(kCollation);
      break;
  }
}

bool HasTableName(const SqlType& type, TdsVersion version) {
  return Resolve(type, version).form == Form::kLong;
}

void WriteValue(ByteWriter& out, const SqlType& declared, const Value& value, TdsVersion version) {
  SqlType type = Normalized(declared);
  Wire wire = Resolve(type, version);
  bool null = IsNull(value);
  switch (wire.form) {
    case Form::kFixedN:
      if (null) return out.U8(0);
      out.U8(static_cast<std::uint8_t>(wire.max_bytes));
      return WriteFixed(out, type, wire.max_bytes, value);
    case Form::kDecimal: {
      if (null) return out.U8(0);
      ScaledDecimal d = ParseScaledDecimal(AsText(value), type.scale);
      out.U8(static_cast<std::uint8_t>(wire.max_bytes));
      out.U8(d.negative ? 0 : 1);
      for (std::uint32_t i = 0; i + 1 < wire.max_bytes; ++i) {
        out.U8(i < 16 ? static_cast<std::uint8_t>(d.units >> (8 * i)) : 0);
      }
      return;
    }
    case Form::kGuid:
      if (null) return out.U8(0);
      out.U8(16);
      return WriteGuid(out, AsText(value));
    case Form::kDate: {
      if (null) return out.U8(0);
      auto days = static_cast<std::uint32_t>(ParseDate(AsText(value)));
      out.U8(3);
      for (int i = 0; i < 3; ++i) out.U8(static_cast<std::uint8_t>(days >> (8 * i)));
      return;
    }
    case Form::kTime: {
      if (null) return out.U8(0);
      std::uint64_t units = ParseTime(AsText(value), type.scale);
      out.U8(static_cast<std::uint8_t>(wire.max_bytes));
      for (std::uint32_t i = 0; i < wire.max_bytes; ++i)
        out.U8(static_cast<std::uint8_t>(units >> (8 * i)));
      return;
    }
    case Form::kDateTime2: {
      if (null) return out.U8(0);
      const std::string text = AsText(value);
      std::uint64_t units = ParseTime(std::string_view(text).substr(11), type.scale);
      auto days = static_cast<std::uint32_t>(ParseDate(std::string_view(text).substr(0, 10)));
      out.U8(static_cast<std::uint8_t>(wire.max_bytes));
      for (std::uint32_t i = 0; i + 3 < wire.max_bytes; ++i)
        out.U8(static_cast<std::uint8_t>(units >> (8 * i)));
      for (int i = 0; i < 3; ++i) out.U8(static_cast<std::uint8_t>(days >> (8 * i)));
      return;
    }
    case Form::kShort: {
      if (null) return out.U16(0xFFFF);
      std::vector<std::uint8_t> bytes = AsBytes(value, wire.text);
      // A client sizes its buffers from TYPE_INFO: never send more than declared.
      if (bytes.size() > wire.max_bytes) bytes.resize(wire.max_bytes);
      out.U16(static_cast<std::uint16_t>(bytes.size()));
      return out.Append(bytes);
    }
    case Form::kPlp:
      if (null) return out.U64(~std::uint64_t{0});
      return WritePlp(out, AsBytes(value, wire.text));
    case Form::kLong: {
      if (null) return out.U8(0);
      std::vector<std::uint8_t> bytes = AsBytes(value, wire.text);
      out.U8(sizeof kTextPointer);
      out.Append(kTextPointer);
      out.Append(kTimestamp);
      out.U32(static_cast<std::uint32_t>(bytes.size()));
      return out.Append(bytes);
    }
  }
}

}  // namespace standin::tds
