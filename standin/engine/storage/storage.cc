#include "storage/storage.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

#include "values/collation.h"
#include "values/convert.h"
#include "values/sql_types.h"

namespace standin::engine {

namespace {

double AsDouble(const Value& v) {
  if (auto* i = std::get_if<std::int64_t>(&v)) return static_cast<double>(*i);
  if (auto* d = std::get_if<double>(&v)) return *d;
  if (auto* s = std::get_if<std::string>(&v)) return std::strtod(s->c_str(), nullptr);
  return 0;
}

std::string AsText(const Value& v) {
  if (auto* s = std::get_if<std::string>(&v)) return *s;
  if (auto* i = std::get_if<std::int64_t>(&v)) return std::to_string(*i);
  if (auto* b = std::get_if<Bytes>(&v)) return std::string(b->begin(), b->end());
  return ValueText(v, MakeType(TypeId::Float));
}

std::string ScaledText(const Value& v, int scale) {
  if (auto* i = std::get_if<std::int64_t>(&v)) return RoundDecimalText(std::to_string(*i), scale);
  if (auto* s = std::get_if<std::string>(&v)) return RoundDecimalText(*s, scale);
  return FormatScaled(AsDouble(v), scale);
}

}  // namespace

Value ToStorage(const Value& value, const SqlType& type) {
  auto* s = std::get_if<std::string>(&value);
  if (!s || !IsExact(type.id)) return value;
  // Integers stay exact as SQLite integers, short fractions as doubles; the
  // rare long one is kept as text so that it still reads back exactly.
  std::size_t dot = s->find('.');
  bool integral =
      dot == std::string::npos || s->find_first_not_of('0', dot + 1) == std::string::npos;
  std::string whole = s->substr(0, dot);
  std::size_t digits = 0;
  for (char c : *s)
    if (std::isdigit(static_cast<unsigned char>(c))) ++digits;
  if (integral && whole.size() <= 19 && (whole.size() < 19 || whole[0] == '-'))
    return static_cast<std::int64_t>(std::strtoll(whole.c_str(), nullptr, 10));
  std::size_t leading = s->find_first_not_of("-0.");
  std::size_t significant = 0;
  for (std::size_t i = leading == std::string::npos ? s->size() : leading; i < s->size(); ++i)
    if (std::isdigit(static_cast<unsigned char>((*s)[i]))) ++significant;
  if (significant <= 15) return std::strtod(s->c_str(), nullptr);
  return value;
}

Value FromStorage(const Value& stored, const SqlType& type) {
  if (IsNull(stored)) return stored;
  TypeId id = type.id;
  if (IsInteger(id)) {
    std::int64_t n;
    if (auto* i = std::get_if<std::int64_t>(&stored))
      n = *i;
    else
      n = static_cast<std::int64_t>(std::trunc(AsDouble(stored)));
    if (id == TypeId::Bit) n = n != 0;
    return n;
  }
  if (id == TypeId::Float || id == TypeId::Real) return AsDouble(stored);
  if (IsExact(id)) return ScaledText(stored, id == TypeId::Decimal ? type.scale : 4);
  if (IsBinary(id)) {
    Bytes bytes;
    if (auto* b = std::get_if<Bytes>(&stored))
      bytes = *b;
    else {
      std::string s = AsText(stored);
      bytes.assign(s.begin(), s.end());
    }
    if (id == TypeId::Binary && type.length > 0) bytes.resize(type.length, 0);
    return bytes;
  }
  std::string text = AsText(stored);
  if (IsFixedLength(id) && type.length > 0) {
    std::size_t n = CharCount(text);
    if (n < static_cast<std::size_t>(type.length)) text.append(type.length - n, ' ');
  }
  return text;
}

}  // namespace standin::engine
