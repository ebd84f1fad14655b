#include "values/convert.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>

#include "errors.h"
#include "values/collation.h"
#include "values/sql_types.h"

namespace standin::engine {

namespace {

std::string Trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return std::string(s);
}

// A decimal number: optional sign, digits, optional fraction, optional exponent.
bool ParseNumber(const std::string& text, bool allow_exponent, double& out) {
  if (text.empty()) return false;
  std::size_t i = 0;
  if (text[i] == '+' || text[i] == '-') ++i;
  bool digits = false;
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) i++, digits = true;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) i++, digits = true;
  }
  if (!digits) return false;
  if (allow_exponent && i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    if (i >= text.size()) return false;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
  }
  if (i != text.size()) return false;
  out = std::strtod(text.c_str(), nullptr);
  return true;
}

double AsDouble(const Value& v) {
  if (auto* i = std::get_if<std::int64_t>(&v)) return static_cast<double>(*i);
  if (auto* d = std::get_if<double>(&v)) return *d;
  if (auto* s = std::get_if<std::string>(&v)) return std::strtod(s->c_str(), nullptr);
  return 0;
}

bool IntegerInRange(TypeId id, double n) {
  switch (id) {
    case TypeId::Bit:
      return true;
    case TypeId::TinyInt:
      return n >= 0 && n <= 255;
    case TypeId::SmallInt:
      return n >= -32768 && n <= 32767;
    case TypeId::Int:
      return n >= -2147483648.0 && n <= 2147483647.0;
    default:
      return n >= -9223372036854775808.0 && n < 9223372036854775808.0;
  }
}

Value ToInteger(const Value& v, const SqlType& from, const SqlType& to) {
  if (auto* s = std::get_if<std::string>(&v); s && IsCharacter(from.id)) {
    std::string t = Trim(*s);
    if (to.id == TypeId::Bit) {
      if (CompareCi(t, "true") == 0) return std::int64_t{1};
      if (CompareCi(t, "false") == 0) return std::int64_t{0};
    }
    std::size_t i = (!t.empty() && (t[0] == '+' || t[0] == '-')) ? 1 : 0;
    bool ok = i < t.size();
    for (std::size_t k = i; k < t.size(); ++k)
      if (!std::isdigit(static_cast<unsigned char>(t[k]))) ok = false;
    if (!ok) throw ValueConversion(TypeName(from.id), *s, TypeName(to.id));
    double n = std::strtod(t.c_str(), nullptr);
    if (to.id == TypeId::Bit) return std::int64_t{n != 0};
    if (!IntegerInRange(to.id, n))
      throw Terminating(Msg(248, 16, 1,
                            "The conversion of the " + TypeName(from.id) + " value '" + *s +
                                "' overflowed an " + TypeName(to.id) + " column."));
    return static_cast<std::int64_t>(std::strtoll(t.c_str(), nullptr, 10));
  }
  if (IsNumeric(from.id)) {
    if (to.id == TypeId::Bit) return std::int64_t{AsDouble(v) != 0};
    if (auto* i = std::get_if<std::int64_t>(&v)) {
      if (!IntegerInRange(to.id, static_cast<double>(*i)))
        throw ArithmeticOverflow(TypeName(to.id));
      return *i;
    }
    double n = std::trunc(AsDouble(v));
    if (!IntegerInRange(to.id, n)) throw ArithmeticOverflow(TypeName(to.id));
    return static_cast<std::int64_t>(n);
  }
  if (auto* b = std::get_if<Bytes>(&v)) {
    // Binary reads as a big-endian integer of its last bytes.
    std::uint64_t n = 0;
    std::size_t width = to.id == TypeId::BigInt     ? 8
                        : to.id == TypeId::Int      ? 4
                        : to.id == TypeId::SmallInt ? 2
                                                    : 1;
    std::size_t start = b->size() > width ? b->size() - width : 0;
    for (std::size_t i = start; i < b->size(); ++i) n = (n << 8) | (*b)[i];
    std::int64_t value = width == 8   ? static_cast<std::int64_t>(n)
                         : width == 4 ? static_cast<std::int32_t>(n)
                         : width == 2 ? static_cast<std::int16_t>(n)
                                      : static_cast<std::int64_t>(n);
    if (to.id == TypeId::Bit) value = value != 0;
    return value;
  }
  throw ConversionNotAllowed(TypeName(from.id), TypeName(to.id));
}

Value ToApproximate(const Value& v, const SqlType& from, const SqlType& to) {
  if (auto* s = std::get_if<std::string>(&v); s && IsCharacter(from.id)) {
    double n;
    if (!ParseNumber(Trim(*s), true, n)) throw NumericConversion(TypeName(from.id), "float");
    return to.id == TypeId::Real ? static_cast<double>(static_cast<float>(n)) : n;
  }
  if (IsNumeric(from.id)) {
    double n = AsDouble(v);
    return to.id == TypeId::Real ? static_cast<double>(static_cast<float>(n)) : n;
  }
  throw ConversionNotAllowed(TypeName(from.id), TypeName(to.id));
}

Value ToExact(const Value& v, const SqlType& from, const SqlType& to) {
  int scale = to.id == TypeId::Decimal ? to.scale : 4;
  int precision = to.id == TypeId::Decimal ? to.precision : to.id == TypeId::Money ? 19 : 10;
  std::string text;
  if (auto* s = std::get_if<std::string>(&v); s && IsCharacter(from.id)) {
    std::string t = Trim(*s);
    if (to.id != TypeId::Decimal && !t.empty() && t[0] == '$') t.erase(0, 1);
    double n;
    if (!ParseNumber(t, to.id == TypeId::Decimal, n))
      throw NumericConversion(TypeName(from.id), TypeName(to.id));
    text = t.find_first_of("eE") == std::string::npos ? RoundDecimalText(t, scale)
                                                      : FormatScaled(n, scale);
  } else if (auto* exact = std::get_if<std::string>(&v); exact && IsExact(from.id)) {
    text = RoundDecimalText(*exact, scale);
  } else if (auto* i = std::get_if<std::int64_t>(&v)) {
    text = RoundDecimalText(std::to_string(*i), scale);
  } else if (IsNumeric(from.id)) {
    text = FormatScaled(AsDouble(v), scale);
  } else {
    throw ConversionNotAllowed(TypeName(from.id), TypeName(to.id));
  }
  std::size_t digits = text.find('.');
  if (digits == std::string::npos) digits = text.size();
  if (!text.empty() && text[0] == '-') --digits;
  bool zero_integer = text.rfind("0", 0) == 0 || text.rfind("-0", 0) == 0;
  if (!zero_integer && static_cast<int>(digits) > precision - scale)
    throw ArithmeticOverflow(TypeName(to.id));
  return text;
}

std::string DateOutOfRangeFrom(const SqlType& from) {
  return TypeName(from.id);
}

Value ToDateTime(const Value& v, const SqlType& from, const SqlType& to, DateOrder order) {
  DateTimeParts parts;
  if (auto* s = std::get_if<std::string>(&v); s && IsCharacter(from.id)) {
    bool legacy = to.id == TypeId::DateTime || to.id == TypeId::SmallDateTime;
    switch (ParseDateTime(*s, order, legacy, parts)) {
      case DateParse::Ok:
        break;
      case DateParse::BadSyntax:
        throw DateConversion();
      case DateParse::OutOfRange:
        if (!legacy) throw DateConversion();
        throw DateOutOfRange(DateOutOfRangeFrom(from), TypeName(to.id));
    }
  } else if (auto* s2 = std::get_if<std::string>(&v); s2 && IsDateTime(from.id)) {
    if (from.id == TypeId::Time && to.id == TypeId::Date)
      throw ConversionNotAllowed(TypeName(from.id), TypeName(to.id));
    if (from.id == TypeId::Date && to.id == TypeId::Time)
      throw ConversionNotAllowed(TypeName(from.id), TypeName(to.id));
    parts = ParseCanonical(*s2);
  } else if (IsNumeric(from.id) && (to.id == TypeId::DateTime || to.id == TypeId::SmallDateTime)) {
    double days = AsDouble(v);
    double whole = std::floor(days);
    DateFromDays1900(static_cast<std::int64_t>(whole), parts.year, parts.month, parts.day);
    std::int64_t nanos = static_cast<std::int64_t>(std::llround((days - whole) * 86400e9));
    parts.hour = static_cast<int>(nanos / 3600000000000LL);
    parts.minute = static_cast<int>(nanos / 60000000000LL % 60);
    parts.second = static_cast<int>(nanos / 1000000000LL % 60);
    parts.nanos = nanos % 1000000000LL;
  } else {
    throw ConversionNotAllowed(TypeName(from.id), TypeName(to.id));
  }
  std::optional<std::string> text = FormatCanonical(parts, to);
  if (!text) throw DateOutOfRange(DateOutOfRangeFrom(from), TypeName(to.id));
  return *text;
}

Value ToGuid(const Value& v, const SqlType& from, const SqlType& to) {
  auto* s = std::get_if<std::string>(&v);
  if (!s || !(IsCharacter(from.id) || from.id == TypeId::UniqueIdentifier))
    throw ConversionNotAllowed(TypeName(from.id), TypeName(to.id));
  std::string t = Trim(*s);
  if (t.size() == 38 && t.front() == '{' && t.back() == '}') t = t.substr(1, 36);
  bool ok = t.size() == 36;
  for (std::size_t i = 0; ok && i < t.size(); ++i) {
    bool dash = i == 8 || i == 13 || i == 18 || i == 23;
    if (dash ? t[i] != '-' : !std::isxdigit(static_cast<unsigned char>(t[i]))) ok = false;
    t[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(t[i])));
  }
  if (!ok)
    throw BatchAbort(Msg(8169, 16, 2,
                         "Conversion failed when converting from a character string to "
                         "uniqueidentifier."));
  return t;
}

Value ToBinary(const Value& v, const SqlType& from, const SqlType& to, ConvertMode mode) {
  Bytes bytes;
  if (auto* b = std::get_if<Bytes>(&v)) {
    bytes = *b;
  } else if (auto* s = std::get_if<std::string>(&v); s && IsCharacter(from.id)) {
    bytes.assign(s->begin(), s->end());
  } else if (auto* i = std::get_if<std::int64_t>(&v)) {
    int width = from.id == TypeId::BigInt                              ? 8
                : from.id == TypeId::SmallInt                          ? 2
                : from.id == TypeId::TinyInt || from.id == TypeId::Bit ? 1
                                                                       : 4;
    for (int k = width - 1; k >= 0; --k) bytes.push_back(static_cast<std::uint8_t>(*i >> (8 * k)));
  } else {
    throw ConversionNotAllowed(TypeName(from.id), TypeName(to.id));
  }
  if (to.length != SqlType::kMaxLength && to.id != TypeId::Image &&
      bytes.size() > static_cast<std::size_t>(to.length)) {
    if (mode == ConvertMode::Assign) throw Truncation();
    bytes.resize(to.length);
  }
  if (to.id == TypeId::Binary) bytes.resize(to.length, 0);
  return bytes;
}

Value ToCharacter(const Value& v, const SqlType& from, const SqlType& to, ConvertMode mode) {
  std::string text = ValueText(v, from);
  if (!IsUnicode(to.id)) text = ToCodePage1252(text);
  bool bounded =
      to.length != SqlType::kMaxLength && to.id != TypeId::Text && to.id != TypeId::NText;
  if (bounded) {
    std::vector<char32_t> chars = DecodeUtf8(text);
    std::size_t limit = static_cast<std::size_t>(to.length);
    if (chars.size() > limit) {
      bool only_blanks = true;
      for (std::size_t i = limit; i < chars.size(); ++i)
        if (chars[i] != ' ') only_blanks = false;
      if (mode == ConvertMode::Assign && !only_blanks) throw Truncation();
      chars.resize(limit);
    }
    if (IsFixedLength(to.id)) chars.resize(limit, ' ');
    text = EncodeUtf8(chars);
  }
  return text;
}

}  // namespace

std::string RoundDecimalText(const std::string& text, int scale) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  std::size_t dot = text.find('.', i);
  std::string whole = text.substr(i, dot == std::string::npos ? std::string::npos : dot - i);
  std::string fraction = dot == std::string::npos ? "" : text.substr(dot + 1);
  bool round_up = static_cast<int>(fraction.size()) > scale && fraction[scale] >= '5';
  fraction.resize(scale, '0');
  std::string digits = whole + fraction;
  if (round_up) {
    int k = static_cast<int>(digits.size()) - 1;
    for (; k >= 0 && digits[k] == '9'; --k) digits[k] = '0';
    if (k >= 0)
      ++digits[k];
    else
      digits.insert(digits.begin(), '1');
  }
  std::string integer = digits.substr(0, digits.size() - scale);
  std::size_t first = integer.find_first_not_of('0');
  integer = first == std::string::npos ? "0" : integer.substr(first);
  std::string out = integer;
  if (scale > 0) out += "." + digits.substr(digits.size() - scale);
  bool zero = out.find_first_not_of("0.") == std::string::npos;
  return negative && !zero ? "-" + out : out;
}

std::string FormatScaled(double number, int scale) {
  char buf[512];
  // Fifteen significant digits keep what a decimal literal meant (1.005, not 1.00499...).
  std::snprintf(buf, sizeof buf, "%.15g", number);
  std::string text = buf;
  if (text.find_first_of("eEni") != std::string::npos) {
    std::snprintf(buf, sizeof buf, "%.*f", scale, number);
    text = buf;
  }
  return RoundDecimalText(text, scale);
}

std::string ValueText(const Value& v, const SqlType& type) {
  if (auto* s = std::get_if<std::string>(&v)) {
    if (type.id == TypeId::DateTime || type.id == TypeId::SmallDateTime)
      return FormatDefaultStyle(ParseCanonical(*s), type.id);
    if (type.id == TypeId::Money || type.id == TypeId::SmallMoney)
      return FormatScaled(std::strtod(s->c_str(), nullptr), 2);
    return *s;
  }
  if (auto* i = std::get_if<std::int64_t>(&v)) return std::to_string(*i);
  if (auto* d = std::get_if<double>(&v)) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%g", *d);
    return buf;
  }
  if (auto* b = std::get_if<Bytes>(&v)) return std::string(b->begin(), b->end());
  return std::string();
}

namespace {

// The text of a date/time value in a CONVERT style, or nullopt for styles not known.
std::optional<std::string> StyledText(const DateTimeParts& p, TypeId id, int style) {
  char buf[64];
  int yy = p.year % 100;
  int ms = static_cast<int>(p.nanos / 1000000);
  switch (style) {
    case 0:
    case 100:
      return FormatDefaultStyle(p, id);
    case 1:
      std::snprintf(buf, sizeof buf, "%02d/%02d/%02d", p.month, p.day, yy);
      break;
    case 101:
      std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", p.month, p.day, p.year);
      break;
    case 3:
      std::snprintf(buf, sizeof buf, "%02d/%02d/%02d", p.day, p.month, yy);
      break;
    case 103:
      std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", p.day, p.month, p.year);
      break;
    case 104:
      std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", p.day, p.month, p.year);
      break;
    case 105:
      std::snprintf(buf, sizeof buf, "%02d-%02d-%04d", p.day, p.month, p.year);
      break;
    case 108:
    case 8:
      std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", p.hour, p.minute, p.second);
      break;
    case 110:
      std::snprintf(buf, sizeof buf, "%02d-%02d-%04d", p.month, p.day, p.year);
      break;
    case 111:
      std::snprintf(buf, sizeof buf, "%04d/%02d/%02d", p.year, p.month, p.day);
      break;
    case 112:
      std::snprintf(buf, sizeof buf, "%04d%02d%02d", p.year, p.month, p.day);
      break;
    case 120:
    case 20:
      std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month, p.day,
                    p.hour, p.minute, p.second);
      break;
    case 121:
    case 21:
      std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", p.year, p.month, p.day,
                    p.hour, p.minute, p.second, ms);
      break;
    case 126:
      std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d.%03d", p.year, p.month, p.day,
                    p.hour, p.minute, p.second, ms);
      break;
    default:
      return std::nullopt;
  }
  return std::string(buf);
}

std::optional<DateOrder> StyleOrder(int style) {
  switch (style % 100) {
    case 1:
    case 10:
      return DateOrder::Mdy;
    case 3:
    case 4:
    case 5:
      return DateOrder::Dmy;
    case 11:
    case 12:
    case 20:
    case 21:
    case 26:
      return DateOrder::Ymd;
    default:
      return std::nullopt;
  }
}

}  // namespace

Value ConvertStyled(const Value& value, const SqlType& from, const SqlType& to, int style,
                    DateOrder order) {
  if (IsNull(value)) return value;
  if (IsDateTime(from.id) && IsCharacter(to.id)) {
    if (auto* s = std::get_if<std::string>(&value)) {
      if (std::optional<std::string> text = StyledText(ParseCanonical(*s), from.id, style))
        return Convert(*text, MakeType(TypeId::VarChar, 8000), to, ConvertMode::Explicit, order);
    }
  }
  if (IsCharacter(from.id) && IsDateTime(to.id)) {
    if (std::optional<DateOrder> styled = StyleOrder(style))
      return Convert(value, from, to, ConvertMode::Explicit, *styled);
  }
  return Convert(value, from, to, ConvertMode::Explicit, order);
}

Value Convert(const Value& value, const SqlType& from, const SqlType& to, ConvertMode mode,
              DateOrder order) {
  if (IsNull(value)) return value;
  TypeId id = to.id;
  if (IsInteger(id)) return ToInteger(value, from, to);
  if (id == TypeId::Float || id == TypeId::Real) return ToApproximate(value, from, to);
  if (IsExact(id)) return ToExact(value, from, to);
  if (IsDateTime(id)) return ToDateTime(value, from, to, order);
  if (id == TypeId::UniqueIdentifier) return ToGuid(value, from, to);
  if (IsBinary(id)) return ToBinary(value, from, to, mode);
  return ToCharacter(value, from, to, mode);
}

}  // namespace standin::engine
