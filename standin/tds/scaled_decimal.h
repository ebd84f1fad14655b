// Exact decimal values (decimal, numeric, money) as a sign and an unsigned
// integer of units of 10^-scale, the form TDS carries them in.
#pragma once

#include <string>
#include <string_view>

namespace standin::tds {

struct ScaledDecimal {
  bool negative = false;
  unsigned __int128 units = 0;
};

// Parses a plain decimal ("-12.34", "7") into units of 10^-scale, rounding
// digits beyond `scale` half away from zero, as SQL Server converts. Throws
// std::invalid_argument on other text.
ScaledDecimal ParseScaledDecimal(std::string_view text, int scale);

// The engine's form: exactly `scale` fraction digits, "-" when negative.
std::string FormatScaledDecimal(const ScaledDecimal& value, int scale);

}  // namespace standin::tds
