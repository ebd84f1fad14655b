#include "scaled_decimal.h"

#include <stdexcept>

namespace standin::tds {

ScaledDecimal ParseScaledDecimal(std::string_view text, int scale) {
  ScaledDecimal value;
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) value.negative = text[i++] == '-';
  bool any_digit = false;
  bool round_up = false;  // the first digit dropped is 5 or more
  int fraction_digits = -1;
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (c == '.' && fraction_digits < 0) {
      fraction_digits = 0;
      continue;
    }
    if (c < '0' || c > '9') throw std::invalid_argument("bad decimal text");
    any_digit = true;
    if (fraction_digits >= scale) {
      if (fraction_digits++ == scale) round_up = c >= '5';
      continue;
    }
    if (fraction_digits >= 0) ++fraction_digits;
    value.units = value.units * 10 + static_cast<unsigned>(c - '0');
  }
  if (!any_digit) throw std::invalid_argument("bad decimal text");
  for (int k = fraction_digits < 0 ? 0 : fraction_digits; k < scale; ++k) value.units *= 10;
  if (round_up) ++value.units;
  if (value.units == 0) value.negative = false;
  return value;
}

std::string FormatScaledDecimal(const ScaledDecimal& value, int scale) {
  std::string digits;
  unsigned __int128 units = value.units;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(units % 10)));
    units /= 10;
  } while (units != 0);
  if (digits.size() <= static_cast<std::size_t>(scale)) {
    digits.insert(0, static_cast<std::size_t>(scale) + 1 - digits.size(), '0');
  }
  std::size_t whole = digits.size() - static_cast<std::size_t>(scale);
  std::string text = value.negative && value.units != 0 ? "-" : "";
  text.append(digits, 0, whole);
  if (scale > 0) text.append(".").append(digits, whole, std::string::npos);
  return text;
}

}  // namespace standin::tds
