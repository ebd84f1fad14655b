#include "db/connect_string/format.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "core/exception.h"

namespace {

bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

std::string_view Trim(std::string_view AText) {
  while (!AText.empty() && IsBlank(AText.front())) AText.remove_prefix(1);
  while (!AText.empty() && IsBlank(AText.back())) AText.remove_suffix(1);
  return AText;
}

TConnectStringEntry ParseEntry(std::string_view AEntry) {
  TConnectStringEntry entry;
  const std::size_t equals = AEntry.find('=');
  entry.Name = Trim(AEntry.substr(0, equals));
  if (equals == std::string_view::npos) return entry;
  std::string_view value = Trim(AEntry.substr(equals + 1));
  if (value.size() > 1 && value.front() == '"' && value.back() == '"') {
    value = Trim(value.substr(1, value.size() - 2));
    entry.Quoted = true;
  }
  entry.Value = value;
  return entry;
}

// What a value may hold without double quotes: printable ASCII except
// ":", ";", "<", "=", ">", "?", "[", "]", "^", "`", braces and "~".
bool IsBareValueCharacter(unsigned char c) {
  return (c >= 0x20 && c <= 0x39) || (c >= 0x40 && c <= 0x5A) || c == 0x5C || c == 0x5F ||
         (c >= 0x61 && c <= 0x7A) || c == 0x7C;
}

// The UTF-8 character starting at `AAt`; a byte that starts no valid
// sequence stands alone.
std::string_view CharacterAt(std::string_view AText, std::size_t AAt) {
  const unsigned char lead = static_cast<unsigned char>(AText[AAt]);
  const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  if (AAt + length > AText.size()) return AText.substr(AAt, 1);
  for (std::size_t i = 1; i < length; ++i) {
    if ((static_cast<unsigned char>(AText[AAt + i]) & 0xC0) != 0x80) return AText.substr(AAt, 1);
  }
  return AText.substr(AAt, length);
}

// Whether `AText` is a decimal number: sign, digits with an optional
// fraction, optional exponent. Sets `AZero` when its value is zero.
bool IsDecimalNumber(std::string_view AText, bool& AZero) {
  std::size_t i = 0;
  if (i < AText.size() && (AText[i] == '+' || AText[i] == '-')) ++i;
  bool digits = false;
  AZero = true;
  bool point = false;
  for (; i < AText.size(); ++i) {
    const char c = AText[i];
    if (c == '.' && !point) {
      point = true;
    } else if (std::isdigit(static_cast<unsigned char>(c))) {
      digits = true;
      AZero = AZero && c == '0';
    } else {
      break;
    }
  }
  if (!digits) return false;
  if (i < AText.size() && (AText[i] == 'e' || AText[i] == 'E')) {
    ++i;
    if (i < AText.size() && (AText[i] == '+' || AText[i] == '-')) ++i;
    const std::size_t exponent = i;
    while (i < AText.size() && std::isdigit(static_cast<unsigned char>(AText[i]))) ++i;
    if (i == exponent) return false;
  }
  return i == AText.size();
}

// "entry N": how a message names an entry that follows a password entry.
std::string EntryNumber(const TConnectStringEntry& AEntry) {
  return "entry " + std::to_string(AEntry.Number);
}

// Refuses `AEntry`'s value as no valid `AKind` ("boolean", "integer").
[[noreturn]] void RaiseNotA(const TConnectStringEntry& AEntry, const char* AKind) {
  const std::string what =
      AEntry.AfterPassword ? "The value of " + EntryNumber(AEntry) : "'" + AEntry.Value + "'";
  throw Exception(what + " is not a valid " + AKind + " value");
}

}  // namespace

std::vector<TConnectStringEntry> SplitConnectString(std::string_view AText) {
  AText = Trim(AText);
  std::vector<TConnectStringEntry> entries;
  bool after_password = false;
  std::size_t start = 0;
  bool in_value = false;
  char quote = 0;
  for (std::size_t i = 0; i <= AText.size(); ++i) {
    const char c = i < AText.size() ? AText[i] : ';';
    if (quote != 0 && i < AText.size()) {
      if (c == quote) quote = 0;
    } else if (c == ';') {
      const std::string_view entry = Trim(AText.substr(start, i - start));
      if (!entry.empty()) {
        entries.push_back(ParseEntry(entry));
        entries.back().Number = entries.size();
        entries.back().AfterPassword = after_password;
        after_password = after_password || IsPasswordName(entries.back().Name);
      }
      start = i + 1;
      in_value = false;
    } else if (c == '=') {
      in_value = true;
    } else if (in_value && (c == '"' || c == '\'')) {
      quote = c;
    }
  }
  return entries;
}

bool IsPasswordName(std::string_view AName) {
  return SameKeyName(AName, "Password") || SameKeyName(AName, "PWD");
}

bool HoldsPassword(std::string_view AText) {
  const std::vector<TConnectStringEntry> entries = SplitConnectString(AText);
  return std::any_of(entries.begin(), entries.end(), [](const TConnectStringEntry& AEntry) {
    return IsPasswordName(AEntry.Name) && !AEntry.Value.empty();
  });
}

std::string EntryInMessage(const TConnectStringEntry& AEntry, const std::string& AText) {
  return AEntry.AfterPassword ? EntryNumber(AEntry) : AText;
}

void CheckConnectStringEntry(const TConnectStringEntry& AEntry) {
  if (AEntry.Name.empty()) throw Exception("Connection parameter name missing");
  // A password may need any character, and it must never reach a message.
  if (AEntry.Quoted || IsPasswordName(AEntry.Name)) return;
  for (std::size_t i = 0; i < AEntry.Value.size(); ++i) {
    if (IsBareValueCharacter(static_cast<unsigned char>(AEntry.Value[i]))) continue;
    if (AEntry.AfterPassword) {
      throw Exception("Invalid character in non-quoted connection parameter value: " +
                      EntryNumber(AEntry));
    }
    throw Exception("Invalid character '" + std::string(CharacterAt(AEntry.Value, i)) +
                    "' in non-quoted connection parameter value");
  }
}

bool SameKeyName(std::string_view AName, std::string_view AKey) {
  return std::equal(AName.begin(), AName.end(), AKey.begin(), AKey.end(), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) ==
           std::tolower(static_cast<unsigned char>(b));
  });
}

bool ConnectStringBoolean(const TConnectStringEntry& AEntry) {
  const std::string& value = AEntry.Value;
  if (SameKeyName(value, "True")) return true;
  if (SameKeyName(value, "False")) return false;
  bool zero = false;
  if (!IsDecimalNumber(value, zero)) RaiseNotA(AEntry, "boolean");
  return !zero;
}

int ConnectStringInteger(const TConnectStringEntry& AEntry) {
  const std::string& value = AEntry.Value;
  std::string_view digits = value;
  // from_chars takes a "-" but not a "+".
  if (digits.size() > 1 && digits.front() == '+' && digits[1] != '-') digits.remove_prefix(1);
  int number = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  if (error != std::errc() || end != digits.data() + digits.size()) RaiseNotA(AEntry, "integer");
  return number;
}
