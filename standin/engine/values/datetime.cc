#include "values/datetime.h"

#include <cctype>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <vector>

namespace standin::engine {

namespace {

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(y + (month <= 2));
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

constexpr const char* kMonths[] = {"january",   "february", "march",    "april",
                                   "may",       "june",     "july",     "august",
                                   "september", "october",  "november", "december"};

int MonthFromName(std::string word) {
  for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (word.size() < 3) return 0;
  for (int i = 0; i < 12; ++i) {
    std::string_view full = kMonths[i];
    if (word == full || word == full.substr(0, 3)) return i + 1;
  }
  return 0;
}

struct Number {
  int value;
  std::size_t digits;
};

bool AllDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

int TwoDigitYear(const Number& n) {
  if (n.digits > 2) return n.value;
  return n.value < 50 ? 2000 + n.value : 1900 + n.value;
}

bool StrEqNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

// Reads "H:MM[:SS[.fffffff|:mmm]]" and an optional AM/PM.
DateParse ParseTime(std::string_view text, DateTimeParts& out) {
  std::string t;
  for (char c : text)
    if (c != ' ') t += c;
  int ampm = 0;
  if (t.size() >= 2) {
    std::string_view tail = std::string_view(t).substr(t.size() - 2);
    if (StrEqNoCase(tail, "am")) ampm = 1;
    if (StrEqNoCase(tail, "pm")) ampm = 2;
    if (ampm != 0) t.resize(t.size() - 2);
  }
  std::vector<std::string> parts;
  std::string fraction;
  bool fraction_is_ms = false;
  std::string current;
  for (std::size_t i = 0; i < t.size(); ++i) {
    char c = t[i];
    if (std::isdigit(static_cast<unsigned char>(c))) {
      current += c;
    } else if (c == ':' && parts.size() < 2) {
      parts.push_back(current);
      current.clear();
    } else if ((c == '.' || c == ':') && parts.size() == 2) {
      parts.push_back(current);
      current.clear();
      fraction_is_ms = c == ':';
      fraction = std::string(t.substr(i + 1));
      if (!fraction.empty() && !AllDigits(fraction)) return DateParse::BadSyntax;
      break;
    } else {
      return DateParse::BadSyntax;
    }
  }
  if (fraction.empty() && parts.size() < 3) parts.push_back(current);
  if (parts.empty() || parts.size() > 3) return DateParse::BadSyntax;
  if (parts.size() == 1 && ampm == 0) return DateParse::BadSyntax;
  for (const std::string& p : parts)
    if (!AllDigits(p) || p.size() > 2) return DateParse::BadSyntax;
  int hour = std::stoi(parts[0]);
  int minute = parts.size() > 1 ? std::stoi(parts[1]) : 0;
  int second = parts.size() > 2 ? std::stoi(parts[2]) : 0;
  std::int64_t nanos = 0;
  if (!fraction.empty()) {
    if (fraction_is_ms) {
      if (fraction.size() > 3) return DateParse::BadSyntax;
      nanos = std::stoll(fraction) * 1000000;
    } else {
      std::string digits = fraction.substr(0, 9);
      while (digits.size() < 9) digits += '0';
      nanos = std::stoll(digits);
    }
  }
  if (ampm != 0) {
    if (hour > 12) return DateParse::BadSyntax;
    if (ampm == 1 && hour == 12) hour = 0;
    if (ampm == 2 && hour < 12) hour += 12;
  }
  if (hour > 23 || minute > 59 || second > 59) return DateParse::BadSyntax;
  out.hour = hour;
  out.minute = minute;
  out.second = second;
  out.nanos = nanos;
  return DateParse::Ok;
}

DateParse SetDate(int year, int month, int day, DateTimeParts& out) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, month))
    return DateParse::OutOfRange;
  out.year = year;
  out.month = month;
  out.day = day;
  return DateParse::Ok;
}

DateParse ParseNumericDate(const std::vector<Number>& n, DateOrder order, bool legacy,
                           DateTimeParts& out) {
  if (n.size() != 3) return DateParse::BadSyntax;
  if (n[0].digits == 4) {
    bool ydm = legacy && (order == DateOrder::Dmy || order == DateOrder::Ydm);
    return ydm ? SetDate(n[0].value, n[2].value, n[1].value, out)
               : SetDate(n[0].value, n[1].value, n[2].value, out);
  }
  for (const Number& x : n)
    if (x.digits > 4) return DateParse::BadSyntax;
  switch (order) {
    case DateOrder::Mdy:
      return SetDate(TwoDigitYear(n[2]), n[0].value, n[1].value, out);
    case DateOrder::Dmy:
      return SetDate(TwoDigitYear(n[2]), n[1].value, n[0].value, out);
    case DateOrder::Ymd:
      return SetDate(TwoDigitYear(n[0]), n[1].value, n[2].value, out);
    case DateOrder::Ydm:
      return SetDate(TwoDigitYear(n[0]), n[2].value, n[1].value, out);
    case DateOrder::Myd:
      return SetDate(TwoDigitYear(n[1]), n[0].value, n[2].value, out);
    case DateOrder::Dym:
      return SetDate(TwoDigitYear(n[1]), n[2].value, n[0].value, out);
  }
  return DateParse::BadSyntax;
}

DateParse ParseDate(std::string_view text, DateOrder order, bool legacy, DateTimeParts& out) {
  std::vector<Number> numbers;
  int month_by_name = 0;
  char separator = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    char c = text[i];
    if (std::isdigit(static_cast<unsigned char>(c))) {
      std::size_t start = i;
      while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
      if (i - start > 9) return DateParse::BadSyntax;
      numbers.push_back({std::stoi(std::string(text.substr(start, i - start))), i - start});
    } else if (std::isalpha(static_cast<unsigned char>(c))) {
      std::size_t start = i;
      while (i < text.size() && std::isalpha(static_cast<unsigned char>(text[i]))) ++i;
      if (month_by_name != 0) return DateParse::BadSyntax;
      month_by_name = MonthFromName(std::string(text.substr(start, i - start)));
      if (month_by_name == 0) return DateParse::BadSyntax;
    } else if (c == '/' || c == '-' || c == '.') {
      if (separator != 0 && separator != c) return DateParse::BadSyntax;
      separator = c;
      ++i;
    } else if (c == ' ' || c == ',') {
      ++i;
    } else {
      return DateParse::BadSyntax;
    }
  }
  if (month_by_name != 0) {
    if (numbers.size() != 2) return DateParse::BadSyntax;
    const Number& a = numbers[0];
    const Number& b = numbers[1];
    if (a.digits == 4) return SetDate(a.value, month_by_name, b.value, out);
    return SetDate(TwoDigitYear(b), month_by_name, a.value, out);
  }
  if (numbers.size() == 1 && separator == 0) {
    const Number& n = numbers[0];
    if (n.digits == 8) return SetDate(n.value / 10000, n.value / 100 % 100, n.value % 100, out);
    if (n.digits == 6)
      return SetDate(TwoDigitYear({n.value / 10000, 2}), n.value / 100 % 100, n.value % 100, out);
    if (n.digits == 4) return SetDate(n.value, 1, 1, out);
    return DateParse::BadSyntax;
  }
  if (separator == 0) return DateParse::BadSyntax;
  return ParseNumericDate(numbers, order, legacy, out);
}

bool IsTimePiece(std::string_view piece) {
  if (piece.find(':') != std::string_view::npos) return true;
  if (piece.size() >= 2) {
    std::string_view tail = piece.substr(piece.size() - 2);
    if ((StrEqNoCase(tail, "am") || StrEqNoCase(tail, "pm")) &&
        (piece.size() == 2 || AllDigits(piece.substr(0, piece.size() - 2))))
      return true;
  }
  return false;
}

}  // namespace

std::optional<DateOrder> DateOrderFromName(std::string_view name) {
  static constexpr std::pair<const char*, DateOrder> kOrders[] = {
      {"mdy", DateOrder::Mdy}, {"dmy", DateOrder::Dmy}, {"ymd", DateOrder::Ymd},
      {"ydm", DateOrder::Ydm}, {"myd", DateOrder::Myd}, {"dym", DateOrder::Dym}};
  for (const auto& [n, o] : kOrders)
    if (StrEqNoCase(n, name)) return o;
  return std::nullopt;
}

DateParse ParseDateTime(std::string_view text, DateOrder order, bool legacy, DateTimeParts& out) {
  out = DateTimeParts{};
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
    text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
    text.remove_suffix(1);
  if (text.empty()) return DateParse::Ok;
  // ISO 8601: yyyy-mm-ddThh:mm[:ss[.fff]], always year-month-day.
  std::size_t t_pos = text.find_first_of("Tt");
  if (t_pos == 10 && text.size() > 11 && text[4] == '-' && text[7] == '-' &&
      AllDigits(text.substr(0, 4)) && AllDigits(text.substr(5, 2)) &&
      AllDigits(text.substr(8, 2))) {
    DateParse r = SetDate(std::stoi(std::string(text.substr(0, 4))),
                          std::stoi(std::string(text.substr(5, 2))),
                          std::stoi(std::string(text.substr(8, 2))), out);
    if (r != DateParse::Ok) return r;
    return ParseTime(text.substr(11), out);
  }
  std::string date_text, time_text;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == ' ') ++i;
    std::size_t start = i;
    while (i < text.size() && text[i] != ' ') ++i;
    std::string_view piece = text.substr(start, i - start);
    if (piece.empty()) continue;
    std::string& target = (IsTimePiece(piece) || !time_text.empty()) ? time_text : date_text;
    if (!target.empty()) target += ' ';
    target += piece;
  }
  if (!date_text.empty()) {
    DateParse r = ParseDate(date_text, order, legacy, out);
    if (r != DateParse::Ok) return r;
  }
  if (!time_text.empty()) return ParseTime(time_text, out);
  return DateParse::Ok;
}

DateTimeParts ParseCanonical(std::string_view s) {
  DateTimeParts p;
  std::string_view time = s;
  if (s.size() >= 10 && s[4] == '-') {
    p.year = std::stoi(std::string(s.substr(0, 4)));
    p.month = std::stoi(std::string(s.substr(5, 2)));
    p.day = std::stoi(std::string(s.substr(8, 2)));
    time = s.size() > 11 ? s.substr(11) : std::string_view();
  }
  if (time.size() >= 8) {
    p.hour = std::stoi(std::string(time.substr(0, 2)));
    p.minute = std::stoi(std::string(time.substr(3, 2)));
    p.second = std::stoi(std::string(time.substr(6, 2)));
    if (time.size() > 9) {
      std::string digits(time.substr(9, 9));
      while (digits.size() < 9) digits += '0';
      p.nanos = std::stoll(digits);
    }
  }
  return p;
}

std::optional<std::string> FormatCanonical(DateTimeParts p, const SqlType& type) {
  std::int64_t days = DaysSince1900(p.year, p.month, p.day);
  std::int64_t seconds = p.hour * 3600 + p.minute * 60 + p.second;
  std::int64_t nanos = p.nanos;
  switch (type.id) {
    case TypeId::DateTime: {
      std::int64_t ticks = (nanos * 300 + 500000000) / 1000000000;
      if (ticks == 300) {
        ticks = 0;
        ++seconds;
      }
      nanos = (ticks * 1000 + 150) / 300 * 1000000;
      break;
    }
    case TypeId::SmallDateTime: {
      // Values from 29.998 seconds up round to the next minute.
      std::int64_t total_ms = p.second * 1000 + nanos / 1000000;
      seconds -= p.second;
      if (total_ms >= 29999) seconds += 60;
      nanos = 0;
      break;
    }
    case TypeId::Time:
    case TypeId::DateTime2:
    case TypeId::Date: {
      std::int64_t unit = 1;
      for (int k = type.id == TypeId::Date ? 0 : type.scale; k < 9; ++k) unit *= 10;
      nanos = (nanos + unit / 2) / unit * unit;
      if (nanos >= 1000000000) {
        nanos -= 1000000000;
        ++seconds;
      }
      break;
    }
    default:
      break;
  }
  days += seconds / 86400;
  seconds %= 86400;
  if (type.id == TypeId::Time) days = 0;
  DateFromDays1900(days, p.year, p.month, p.day);
  char buf[64];
  int h = static_cast<int>(seconds / 3600), m = static_cast<int>(seconds / 60 % 60),
      s = static_cast<int>(seconds % 60);
  switch (type.id) {
    case TypeId::DateTime:
      if (p.year < 1753 || p.year > 9999) return std::nullopt;
      std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", p.year, p.month, p.day,
                    h, m, s, static_cast<int>(nanos / 1000000));
      return std::string(buf);
    case TypeId::SmallDateTime:
      if (p.year < 1900 || (p.year > 2079) ||
          (p.year == 2079 && (p.month > 6 || (p.month == 6 && p.day > 6))))
        return std::nullopt;
      std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:00.000", p.year, p.month, p.day, h,
                    m);
      return std::string(buf);
    case TypeId::Date:
      if (p.year < 1 || p.year > 9999) return std::nullopt;
      std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", p.year, p.month, p.day);
      return std::string(buf);
    case TypeId::Time:
    case TypeId::DateTime2: {
      if (type.id == TypeId::DateTime2 && (p.year < 1 || p.year > 9999)) return std::nullopt;
      std::string out;
      if (type.id == TypeId::DateTime2) {
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d ", p.year, p.month, p.day);
        out = buf;
      }
      std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", h, m, s);
      out += buf;
      if (type.scale > 0) {
        std::snprintf(buf, sizeof buf, "%09lld", static_cast<long long>(nanos));
        out += "." + std::string(buf).substr(0, type.scale);
      }
      return out;
    }
    default:
      return std::nullopt;
  }
}

std::string FormatDefaultStyle(const DateTimeParts& p, TypeId id) {
  static constexpr const char* kShort[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                           "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  char buf[64];
  if (id == TypeId::Date) {
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", p.year, p.month, p.day);
    return buf;
  }
  int hour12 = p.hour % 12 == 0 ? 12 : p.hour % 12;
  std::snprintf(buf, sizeof buf, "%s %2d %04d %2d:%02d%s", kShort[p.month - 1], p.day, p.year,
                hour12, p.minute, p.hour < 12 ? "AM" : "PM");
  return buf;
}

DateTimeParts Now() {
  auto now = std::chrono::system_clock::now();
  std::time_t t = std::chrono::system_clock::to_time_t(now);
  std::tm tm{};
  localtime_r(&t, &tm);
  auto since_second = now - std::chrono::system_clock::from_time_t(t);
  DateTimeParts p;
  p.year = tm.tm_year + 1900;
  p.month = tm.tm_mon + 1;
  p.day = tm.tm_mday;
  p.hour = tm.tm_hour;
  p.minute = tm.tm_min;
  p.second = tm.tm_sec;
  p.nanos = std::chrono::duration_cast<std::chrono::nanoseconds>(since_second).count();
  return p;
}

std::int64_t DaysSince1900(int year, int month, int day) {
  return DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
         DaysFromCivil(1900, 1, 1);
}

void DateFromDays1900(std::int64_t days, int& year, int& month, int& day) {
  CivilFromDays(days + DaysFromCivil(1900, 1, 1), year, month, day);
}

}  // namespace standin::engine
