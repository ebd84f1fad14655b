#include "param_decoding.h"

#include <cstring>
#include <optional>
#include <string>

#include "protocol_error.h"
#include "scaled_decimal.h"
#include "temporal.h"
#include "text_codec.h"
#include "wire_type.h"

namespace standin::tds {
namespace {

constexpr std::uint8_t kStatusByRef = 0x01;
constexpr std::uint64_t kPlpNull = ~std::uint64_t{0};

// The ranges of the date and time types: datetime counts days from 1900-01-01
// back to 1753-01-01, date and datetime2 from 0001-01-01 up to 9999-12-31.
constexpr std::int32_t kFirstDateTimeDay = -53690;
constexpr std::int32_t kLastDateTimeDay = 2958463;
constexpr std::uint32_t kTicksPerDay = 300 * 86400;
constexpr std::uint16_t kMinutesPerDay = 24 * 60;
constexpr std::int32_t kLastDate = 3652058;
constexpr std::uint64_t kSecondsPerDay = 86400;

// What TYPE_INFO says about the parameter, beyond its SqlType.
struct TypeInfo {
  WireType code;
  SqlType type;
  std::uint32_t max_bytes = 0;  // declared length; 0xFFFF marks a PLP value
  bool unicode = false;
  bool has_text = false;
};

std::int64_t SignExtend(std::uint64_t v, int bytes) {
  int shift = 64 - 8 * bytes;
  return static_cast<std::int64_t>(v << shift) >> shift;
}

std::uint64_t LittleEndian(std::span<const std::uint8_t> bytes) {
  std::uint64_t v = 0;
  for (std::size_t i = bytes.size(); i-- > 0;) v = (v << 8) | bytes[i];
  return v;
}

TypeId IntegerOfSize(std::uint32_t size) {
  switch (size) {
    case 1:
      return TypeId::TinyInt;
    case 2:
      return TypeId::SmallInt;
    case 4:
      return TypeId::Int;
    case 8:
      return TypeId::BigInt;
  }
  throw ProtocolError("bad integer size " + std::to_string(size));
}

// The declared length of a character or binary type: characters for text, bytes otherwise.
std::int32_t DeclaredLength(std::uint32_t max_bytes, bool unicode) {
  if (max_bytes == 0xFFFF) return SqlType::kMaxLength;
  return static_cast<std::int32_t>(unicode ? max_bytes / 2 : max_bytes);
}

TypeInfo ReadTypeInfo(ByteReader& in) {
  TypeInfo info{static_cast<WireType>(in.U8()), {}};
  auto fixed = [&](TypeId id, std::uint32_t size) {
    info.type = MakeType(id);
    info.max_bytes = size;
  };
  auto character = [&](TypeId id, bool unicode, bool long_length) {
    info.max_bytes = long_length ? in.U32() : in.U16();
    in.Skip(5);  // collation
    info.unicode = unicode;
    info.has_text = true;
    info.type = MakeType(id, long_length ? 0 : DeclaredLength(info.max_bytes, unicode));
  };
  switch (info.code) {
    case kNull:
      fixed(TypeId::Int, 0);
      break;
    case kInt1:
      fixed(TypeId::TinyInt, 1);
      break;
    case kBit:
      fixed(TypeId::Bit, 1);
      break;
    case kInt2:
      fixed(TypeId::SmallInt, 2);
      break;
    case kInt4:
      fixed(TypeId::Int, 4);
      break;
    case kInt8:
      fixed(TypeId::BigInt, 8);
      break;
    case kFloat4:
      fixed(TypeId::Real, 4);
      break;
    case kFloat8:
      fixed(TypeId::Float, 8);
      break;
    case kMoney:
      fixed(TypeId::Money, 8);
      break;
    case kMoney4:
      fixed(TypeId::SmallMoney, 4);
      break;
    case kDateTime:
      fixed(TypeId::DateTime, 8);
      break;
    case kDateTime4:
      fixed(TypeId::SmallDateTime, 4);
      break;
    case kIntN:
      info.max_bytes = in.U8();
      info.type = MakeType(IntegerOfSize(info.max_bytes));
      break;
    case kBitN:
      info.max_bytes = in.U8();
      info.type = MakeType(TypeId::Bit);
      break;
    case kFloatN:
      info.max_bytes = in.U8();
      info.type = MakeType(info.max_bytes == 4 ? TypeId::Real : TypeId::Float);
      break;
    case kMoneyN:
      info.max_bytes = in.U8();
      info.type = MakeType(info.max_bytes == 4 ? TypeId::SmallMoney : TypeId::Money);
      break;
    case kDateTimeN:
      info.max_bytes = in.U8();
      info.type = MakeType(info.max_bytes == 4 ? TypeId::SmallDateTime : TypeId::DateTime);
      break;
    case kGuid:
      info.max_bytes = in.U8();
      info.type = MakeType(TypeId::UniqueIdentifier);
      break;
    case kDecimal:
    case kNumeric:
    case kDecimalN:
    case kNumericN: {
      info.max_bytes = in.U8();
      std::uint8_t precision = in.U8();
      std::uint8_t scale = in.U8();
      if (precision < 1 || precision > 38 || scale > precision)
        throw ProtocolError("bad decimal precision");
      info.type = MakeType(TypeId::Decimal, 0, precision, scale);
      break;
    }
    case kDateN:
      info.type = MakeType(TypeId::Date);
      break;
    case kTimeN:
    case kDateTime2N:
    case kDateTimeOffsetN: {
      std::uint8_t scale = in.U8();
      if (scale > 7) throw ProtocolError("bad time scale");
      // datetimeoffset arrives as the datetime2 of its local time.
      info.type = MakeType(info.code == kTimeN ? TypeId::Time : TypeId::DateTime2, 0, 0, scale);
      break;
    }
    case kBigChar:
      character(TypeId::Char, false, false);
      break;
    case kBigVarChar:
      character(TypeId::VarChar, false, false);
      break;
    case kNChar:
      character(TypeId::NChar, true, false);
      break;
    case kNVarChar:
      character(TypeId::NVarChar, true, false);
      break;
    case kText:
      character(TypeId::Text, false, true);
      break;
    case kNText:
      character(TypeId::NText, true, true);
      break;
    case kChar:
    case kVarChar:
      info.max_bytes = in.U8();
      info.has_text = true;
      info.type = MakeType(info.code == kChar ? TypeId::Char : TypeId::VarChar, info.max_bytes);
      break;
    case kBinary:
    case kVarBinary:
      info.max_bytes = in.U8();
      info.type =
          MakeType(info.code == kBinary ? TypeId::Binary : TypeId::VarBinary, info.max_bytes);
      break;
    case kBigBinary:
    case kBigVarBinary:
      info.max_bytes = in.U16();
      info.type = MakeType(info.code == kBigBinary ? TypeId::Binary : TypeId::VarBinary,
                           DeclaredLength(info.max_bytes, false));
      break;
    case kImage:
      info.max_bytes = in.U32();
      info.type = MakeType(TypeId::Image);
      break;
    default:
      throw ProtocolError("unsupported parameter type " + std::to_string(info.code));
  }
  return info;
}

// The value bytes of a character or binary parameter, or nullopt for NULL.
std::optional<std::vector<std::uint8_t>> ReadStringBytes(ByteReader& in, const TypeInfo& info) {
  switch (info.code) {
    case kText:
    case kNText:
    case kImage: {
      std::uint32_t length = in.U32();
      if (length == 0xFFFFFFFF) return std::nullopt;
      auto bytes = in.Take(length);
      return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
    }
    case kChar:
    case kVarChar:
    case kBinary:
    case kVarBinary: {
      std::uint8_t length = in.U8();
      if (length == 0xFF) return std::nullopt;
      auto bytes = in.Take(length);
      return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
    }
    default:
      break;
  }
  if (info.max_bytes != 0xFFFF) {
    std::uint16_t length = in.U16();
    if (length == 0xFFFF) return std::nullopt;
    auto bytes = in.Take(length);
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
  }
  std::uint64_t total = in.U64();
  if (total == kPlpNull) return std::nullopt;
  std::vector<std::uint8_t> value;
  while (std::uint32_t chunk = in.U32()) {
    auto bytes = in.Take(chunk);
    value.insert(value.end(), bytes.begin(), bytes.end());
  }
  return value;
}

std::string Text(const std::vector<std::uint8_t>& bytes, bool unicode) {
  return unicode ? Utf16LeToUtf8(bytes) : Cp1252ToUtf8(bytes);
}

// Reads the body of a fixed-size value: `size` bytes, or a length byte first for the N types.
std::optional<std::span<const std::uint8_t>> ReadFixedBody(ByteReader& in, const TypeInfo& info) {
  bool has_length = info.code == kIntN || info.code == kBitN || info.code == kFloatN ||
                    info.code == kMoneyN || info.code == kDateTimeN || info.code == kGuid ||
                    info.code == kNull;
  std::uint32_t size = has_length ? in.U8() : info.max_bytes;
  if (size == 0) return std::nullopt;
  if (has_length && size != info.max_bytes && info.code != kGuid) {
    throw ProtocolError("value size differs from its declared type");
  }
  return in.Take(size);
}

Value ReadFixed(ByteReader& in, const TypeInfo& info) {
  auto body = ReadFixedBody(in, info);
  if (!body) return {};
  std::uint64_t raw = LittleEndian(*body);
  switch (info.type.id) {
    case TypeId::Real: {
      float f;
      auto bits = static_cast<std::uint32_t>(raw);
      std::memcpy(&f, &bits, 4);
      return static_cast<double>(f);
    }
    case TypeId::Float: {
      double d;
      std::memcpy(&d, &raw, 8);
      return d;
    }
    case TypeId::Money:
    case TypeId::SmallMoney: {
      std::int64_t units = info.max_bytes == 8
                               ? static_cast<std::int64_t>((raw << 32) | (raw >> 32))
                               : SignExtend(raw, 4);
      ScaledDecimal d{units < 0, static_cast<unsigned __int128>(
                                     units < 0 ? -static_cast<__int128>(units) : units)};
      return FormatScaledDecimal(d, 4);
    }
    case TypeId::DateTime: {
      const DateTimeTicks value{static_cast<std::int32_t>(raw & 0xFFFFFFFF),
                                static_cast<std::uint32_t>(raw >> 32)};
      if (value.days < kFirstDateTimeDay || value.days > kLastDateTimeDay ||
          value.ticks >= kTicksPerDay) {
        throw ProtocolError("datetime value out of range");
      }
      return FormatDateTime(value);
    }
    case TypeId::SmallDateTime: {
      const SmallDateTimeMinutes value{static_cast<std::uint16_t>(raw),
                                       static_cast<std::uint16_t>(raw >> 16)};
      if (value.minutes >= kMinutesPerDay) throw ProtocolError("smalldatetime value out of range");
      return FormatSmallDateTime(value);
    }
    case TypeId::UniqueIdentifier: {
      if (body->size() != 16) throw ProtocolError("bad uniqueidentifier size");
      static constexpr int kOrder[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
      static constexpr char kHex[] = "0123456789ABCDEF";
      std::string text;
      for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) text += '-';
        std::uint8_t b = (*body)[kOrder[i]];
        text += kHex[b >> 4];
        text += kHex[b & 0xF];
      }
      return text;
    }
    case TypeId::Bit:
      return static_cast<std::int64_t>(raw != 0);
    case TypeId::TinyInt:
      return static_cast<std::int64_t>(raw);
    default:
      return SignExtend(raw, static_cast<int>(body->size()));
  }
}

Value ReadDecimal(ByteReader& in, const TypeInfo& info) {
  std::uint8_t length = in.U8();
  if (length == 0) return {};
  if (length < 2 || length > 17) throw ProtocolError("bad decimal value length");
  bool positive = in.U8() != 0;
  ScaledDecimal d{!positive, 0};
  auto magnitude = in.Take(length - 1u);
  for (std::size_t i = magnitude.size(); i-- > 0;) d.units = (d.units << 8) | magnitude[i];
  return FormatScaledDecimal(d, info.type.scale);
}

// date, time, datetime2 and datetimeoffset: a length byte, then time units and/or days.
Value ReadTemporal(ByteReader& in, const TypeInfo& info) {
  std::uint8_t length = in.U8();
  if (length == 0) return {};
  auto body = in.Take(length);
  int scale = info.type.scale;
  std::size_t time_bytes = info.code == kDateN ? 0 : scale <= 2 ? 3 : scale <= 4 ? 4 : 5;
  std::size_t expected =
      time_bytes + (info.code == kTimeN ? 0 : 3) + (info.code == kDateTimeOffsetN ? 2 : 0);
  if (length != expected) throw ProtocolError("bad date/time value length");
  std::uint64_t units = LittleEndian(body.subspan(0, time_bytes));
  std::uint64_t units_per_day = kSecondsPerDay;
  for (int i = 0; i < scale; ++i) units_per_day *= 10;
  if (info.code != kDateN && units >= units_per_day) throw ProtocolError("time value out of range");
  if (info.code == kTimeN) return FormatTime(units, scale);
  auto days = static_cast<std::int32_t>(LittleEndian(body.subspan(time_bytes, 3)));
  if (days > kLastDate) throw ProtocolError("date value out of range");
  if (info.code == kDateN) return FormatDate(days);
  return FormatDateTime2(days, units, scale);
}

}  // namespace

Param ReadParam(ByteReader& in) {
  Param param;
  param.name = in.BVarChar();
  param.output = (in.U8() & kStatusByRef) != 0;
  TypeInfo info = ReadTypeInfo(in);
  param.type = info.type;
  switch (info.type.id) {
    case TypeId::Decimal:
      param.value = ReadDecimal(in, info);
      break;
    case TypeId::Date:
    case TypeId::Time:
    case TypeId::DateTime2:
      param.value = ReadTemporal(in, info);
      break;
    case TypeId::Char:
    case TypeId::VarChar:
    case TypeId::NChar:
    case TypeId::NVarChar:
    case TypeId::Text:
    case TypeId::NText:
    case TypeId::Binary:
    case TypeId::VarBinary:
    case TypeId::Image: {
      auto bytes = ReadStringBytes(in, info);
      if (!bytes) break;
      if (info.has_text) {
        param.value = Text(*bytes, info.unicode);
      } else {
        param.value = std::move(*bytes);
      }
      break;
    }
    default:
      param.value = ReadFixed(in, info);
  }
  return param;
}

}  // namespace standin::tds
