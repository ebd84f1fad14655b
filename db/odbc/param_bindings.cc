#include "db/odbc/param_bindings.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "db/errors/database_error.h"
#include "db/odbc/diagnostics.h"
#include "db/odbc/sql_api.h"
#include "db/odbc/wide_text.h"
#include "db/values/variant_convert.h"

namespace odbc {

namespace {

// The longest value of the sized types; longer ones go as their (max) kinds.
constexpr SQLULEN kMaxVarChar = 8000;
constexpr SQLULEN kMaxNVarChar = 4000;
constexpr SQLULEN kMaxVarBinary = 8000;
// Room for short input text, so that a slightly longer value next time does
// not force a new binding (and with it a new preparation).
constexpr std::size_t kMinTextBytes = 128;

// UTF-16 units of UTF-8 `AText`.
std::size_t Utf16Length(const std::string& AText) {
  std::size_t units = 0;
  for (unsigned char c : AText) {
    if ((c & 0xC0) != 0x80) ++units;  // a lead byte starts a code point
    if (c >= 0xF0) ++units;           // beyond the BMP: a surrogate pair
  }
  return units;
}

std::size_t RoundUpPowerOfTwo(std::size_t AValue) {
  std::size_t result = kMinTextBytes;
  while (result < AValue) result *= 2;
  return result;
}

SQLSMALLINT IoTypeOf(TParamType AType) {
  switch (AType) {
    case ptOutput:
    case ptResult:  // ODBC binds the "?" of "{? = CALL ...}" as output
      return SQL_PARAM_OUTPUT;
    case ptInputOutput:
      return SQL_PARAM_INPUT_OUTPUT;
    case ptUnknown:
    case ptInput:
      break;
  }
  return SQL_PARAM_INPUT;
}

// Which parameter a conversion is for: its position and marker name.
struct ParamLabel {
  int Index;
  const std::string& Name;
};

// Worded as the server-side refusals of a value are, with the status a
// value that cannot be converted gets (DBSTATUS_E_CANTCONVERTVALUE).
[[noreturn]] void InvalidValue(const ParamLabel& AParam, TComponent* AComponent) {
  throw EDatabaseError(ComponentMessage(AComponent, "Parameter[" + std::to_string(AParam.Index) +
                                                        "]:" + AParam.Name +
                                                        " - invalid Value (Status = 2h)."));
}

std::int64_t AsInt64(const TVariant& AValue, const ParamLabel& AParam, TComponent* AComponent) {
  if (AValue.Is<std::int32_t>()) return AValue.As<std::int32_t>();
  if (AValue.Is<std::int64_t>()) return AValue.As<std::int64_t>();
  if (AValue.Is<bool>()) return AValue.As<bool>() ? 1 : 0;
  if (AValue.Is<double>()) return std::llround(AValue.As<double>());
  if (AValue.Is<std::string>()) {
    try {
      std::size_t used = 0;
      const std::int64_t value = std::stoll(AValue.As<std::string>(), &used);
      if (used == AValue.As<std::string>().size()) return value;
    } catch (const std::logic_error&) {
    }
  }
  InvalidValue(AParam, AComponent);
}

double AsDouble(const TVariant& AValue, const ParamLabel& AParam, TComponent* AComponent) {
  if (AValue.Is<double>()) return AValue.As<double>();
  if (AValue.Is<TDateTime>()) return AValue.As<TDateTime>().Value;
  if (AValue.Is<std::string>()) {
    try {
      std::size_t used = 0;
      const double value = std::stod(AValue.As<std::string>(), &used);
      if (used == AValue.As<std::string>().size()) return value;
    } catch (const std::logic_error&) {
    }
    InvalidValue(AParam, AComponent);
  }
  return static_cast<double>(AsInt64(AValue, AParam, AComponent));
}

std::string AsText(const TVariant& AValue) {
  if (AValue.Is<std::string>()) return AValue.As<std::string>();
  if (AValue.Is<bool>()) return AValue.As<bool>() ? "True" : "False";
  if (AValue.Is<std::int32_t>()) return std::to_string(AValue.As<std::int32_t>());
  if (AValue.Is<std::int64_t>()) return std::to_string(AValue.As<std::int64_t>());
  if (AValue.Is<double>()) return std::to_string(AValue.As<double>());
  if (AValue.Is<TBytes>()) {
    const TBytes& bytes = AValue.As<TBytes>();
    return std::string(bytes.begin(), bytes.end());
  }
  return {};
}

template <class T>
void Put(std::vector<unsigned char>& ABuffer, const T& AValue) {
  std::memcpy(ABuffer.data(), &AValue, sizeof(T));
}

template <class T>
T Get(const std::vector<unsigned char>& ABuffer) {
  T value;
  std::memcpy(&value, ABuffer.data(), sizeof(T));
  return value;
}

}  // namespace

ParamBindings::Slot ParamBindings::Layout(const TParamValue& AParam) {
  Slot slot{};
  slot.IoType = IoTypeOf(AParam.ParamType);
  const bool output = slot.IoType != SQL_PARAM_INPUT;
  slot.DataType = AParam.DataType != ftUnknown ? AParam.DataType : FieldTypeOfValue(AParam.Value);
  // A null of unknown type goes as a varchar NULL, which converts to any column type.
  if (slot.DataType == ftUnknown) slot.DataType = ftString;
  std::size_t bytes = 0;
  switch (slot.DataType) {
    case ftLargeint:
      slot.CType = SQL_C_SBIGINT, slot.SqlType = SQL_BIGINT, bytes = sizeof(std::int64_t);
      break;
    case ftBoolean:
      slot.CType = SQL_C_BIT, slot.SqlType = SQL_BIT, bytes = 1;
      break;
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc:
    case ftShortint:
    case ftByte:
      slot.CType = SQL_C_SLONG, slot.SqlType = SQL_INTEGER, bytes = sizeof(std::int32_t);
      break;
    case ftFloat:
    case ftSingle:
      slot.CType = SQL_C_DOUBLE, slot.SqlType = SQL_DOUBLE, bytes = sizeof(double);
      break;
    case ftCurrency:
      // money's range and scale
      slot.CType = SQL_C_DOUBLE, slot.SqlType = SQL_DECIMAL, bytes = sizeof(double);
      slot.ColumnSize = 19, slot.Digits = 4;
      break;
    case ftDateTime:
      slot.CType = SQL_C_TYPE_TIMESTAMP, slot.SqlType = SQL_TYPE_TIMESTAMP;
      slot.ColumnSize = 23, slot.Digits = 3, bytes = sizeof(SQL_TIMESTAMP_STRUCT);
      break;
    case ftDate:
      slot.CType = SQL_C_TYPE_DATE, slot.SqlType = SQL_TYPE_DATE;
      slot.ColumnSize = 10, bytes = sizeof(SQL_DATE_STRUCT);
      break;
    case ftTime:
      slot.CType = SQL_C_TYPE_TIME, slot.SqlType = SQL_TYPE_TIME;
      slot.ColumnSize = 8, bytes = sizeof(SQL_TIME_STRUCT);
      break;
    case ftBytes:
    case ftVarBytes:
    case ftBlob: {
      const std::size_t length = AParam.Value.Is<TBytes>() ? AParam.Value.As<TBytes>().size()
                                                           : AsText(AParam.Value).size();
      const bool long_data = slot.DataType == ftBlob || length > kMaxVarBinary;
      slot.CType = SQL_C_BINARY, slot.SqlType = long_data ? SQL_LONGVARBINARY : SQL_VARBINARY;
      slot.ColumnSize = long_data ? std::max<SQLULEN>(length, 1) : kMaxVarBinary;
      bytes = output ? std::max<std::size_t>(length, kMaxVarBinary) : RoundUpPowerOfTwo(length);
      break;
    }
    case ftWideString:
    case ftFixedWideChar:
    case ftWideMemo:
    case ftString:
    case ftFixedChar:
    case ftMemo:
    case ftGuid:
    case ftUnknown: {
      const bool wide = slot.DataType == ftWideString || slot.DataType == ftFixedWideChar ||
                        slot.DataType == ftWideMemo;
      const bool memo = slot.DataType == ftMemo || slot.DataType == ftWideMemo;
      const SQLULEN limit = wide ? kMaxNVarChar : kMaxVarChar;
      const std::size_t units = Utf16Length(AsText(AParam.Value));
      const bool long_data = memo || units > limit;
      slot.CType = SQL_C_WCHAR;
      if (wide) {
        slot.SqlType = long_data ? SQL_WLONGVARCHAR : SQL_WVARCHAR;
      } else {
        slot.SqlType = long_data ? SQL_LONGVARCHAR : SQL_VARCHAR;
      }
      slot.ColumnSize = long_data ? std::max<SQLULEN>(units, 1) : limit;
      const std::size_t needed = (units + 1) * sizeof(SQLWCHAR);
      bytes = output ? std::max(needed, (limit + 1) * sizeof(SQLWCHAR)) : RoundUpPowerOfTwo(needed);
      break;
    }
  }
  slot.Capacity = bytes;
  return slot;
}

bool ParamBindings::Fits(const Slot& ABound, const Slot& ANeeded) {
  const bool long_data = ANeeded.SqlType == SQL_LONGVARCHAR ||
                         ANeeded.SqlType == SQL_WLONGVARCHAR ||
                         ANeeded.SqlType == SQL_LONGVARBINARY;
  return ABound.IoType == ANeeded.IoType && ABound.CType == ANeeded.CType &&
         ABound.SqlType == ANeeded.SqlType && ABound.DataType == ANeeded.DataType &&
         ABound.Digits == ANeeded.Digits &&
         (long_data ? ABound.ColumnSize >= ANeeded.ColumnSize
                    : ABound.ColumnSize == ANeeded.ColumnSize) &&
         ABound.Capacity >= ANeeded.Capacity;
}

void ParamBindings::Store(Slot& ASlot, const TParamValue& AParam, int AIndex,
                          TComponent* AComponent) {
  const TVariant& value = AParam.Value;
  const ParamLabel label{AIndex, AParam.Name};
  if (value.IsNull()) {
    ASlot.Indicator = SQL_NULL_DATA;
    return;
  }
  switch (ASlot.CType) {
    case SQL_C_SBIGINT:
      Put(ASlot.Buffer, AsInt64(value, label, AComponent));
      ASlot.Indicator = sizeof(std::int64_t);
      return;
    case SQL_C_SLONG:
      // Keeps the low 32 bits, as an integer parameter given a larger value does.
      Put(ASlot.Buffer, static_cast<std::int32_t>(AsInt64(value, label, AComponent)));
      ASlot.Indicator = sizeof(std::int32_t);
      return;
    case SQL_C_BIT:
      Put(ASlot.Buffer, static_cast<unsigned char>(AsInt64(value, label, AComponent) != 0));
      ASlot.Indicator = 1;
      return;
    case SQL_C_DOUBLE:
      Put(ASlot.Buffer, AsDouble(value, label, AComponent));
      ASlot.Indicator = sizeof(double);
      return;
    case SQL_C_TYPE_TIMESTAMP:
    case SQL_C_TYPE_DATE:
    case SQL_C_TYPE_TIME: {
      const TDateTimeParts parts = DecodeDateTime(TDateTime{AsDouble(value, label, AComponent)});
      if (ASlot.CType == SQL_C_TYPE_DATE) {
        Put(ASlot.Buffer, SQL_DATE_STRUCT{static_cast<SQLSMALLINT>(parts.Year),
                                          static_cast<SQLUSMALLINT>(parts.Month),
                                          static_cast<SQLUSMALLINT>(parts.Day)});
      } else if (ASlot.CType == SQL_C_TYPE_TIME) {
        Put(ASlot.Buffer, SQL_TIME_STRUCT{static_cast<SQLUSMALLINT>(parts.Hour),
                                          static_cast<SQLUSMALLINT>(parts.Minute),
                                          static_cast<SQLUSMALLINT>(parts.Second)});
      } else {
        Put(ASlot.Buffer,
            SQL_TIMESTAMP_STRUCT{
                static_cast<SQLSMALLINT>(parts.Year), static_cast<SQLUSMALLINT>(parts.Month),
                static_cast<SQLUSMALLINT>(parts.Day), static_cast<SQLUSMALLINT>(parts.Hour),
                static_cast<SQLUSMALLINT>(parts.Minute), static_cast<SQLUSMALLINT>(parts.Second),
                static_cast<SQLUINTEGER>(parts.MilliSecond) * 1000000u});
      }
      ASlot.Indicator = static_cast<SQLLEN>(ASlot.Buffer.size());
      return;
    }
    case SQL_C_BINARY: {
      const TBytes bytes = value.Is<TBytes>() ? value.As<TBytes>() : TBytes();
      const std::string text = value.Is<TBytes>() ? std::string() : AsText(value);
      const void* data = value.Is<TBytes>() ? static_cast<const void*>(bytes.data()) : text.data();
      const std::size_t size = value.Is<TBytes>() ? bytes.size() : text.size();
      std::memcpy(ASlot.Buffer.data(), data, size);
      ASlot.Indicator = static_cast<SQLLEN>(size);
      return;
    }
    default: {
      const std::vector<SQLWCHAR> text = ToSqlWide(AsText(value));
      std::memcpy(ASlot.Buffer.data(), text.data(), text.size() * sizeof(SQLWCHAR));
      ASlot.Indicator = static_cast<SQLLEN>((text.size() - 1) * sizeof(SQLWCHAR));
      return;
    }
  }
}

void ParamBindings::Apply(SQLHSTMT AStatement, const std::vector<TParamValue>& AParams,
                          TComponent* AComponent) {
  std::vector<Slot> needed;
  needed.reserve(AParams.size());
  bool fits = AParams.size() == FSlots.size();
  for (std::size_t i = 0; i < AParams.size(); ++i) {
    needed.push_back(Layout(AParams[i]));
    fits = fits && Fits(FSlots[i], needed.back());
  }
  if (!fits) {
    FSlots.clear();
    Check(SQLFreeStmt(AStatement, SQL_RESET_PARAMS), SQL_HANDLE_STMT, AStatement, AComponent);
    FSlots = std::move(needed);
    for (std::size_t i = 0; i < FSlots.size(); ++i) {
      Slot& slot = FSlots[i];
      slot.Buffer.resize(slot.Capacity);
      Check(SQLBindParameter(AStatement, static_cast<SQLUSMALLINT>(i + 1), slot.IoType, slot.CType,
                             slot.SqlType, slot.ColumnSize, slot.Digits, slot.Buffer.data(),
                             static_cast<SQLLEN>(slot.Buffer.size()), &slot.Indicator),
            SQL_HANDLE_STMT, AStatement, AComponent);
    }
  }
  for (std::size_t i = 0; i < FSlots.size(); ++i) {
    Store(FSlots[i], AParams[i], static_cast<int>(i), AComponent);
  }
}

std::vector<TVariant> ParamBindings::OutputValues() const {
  std::vector<TVariant> values(FSlots.size());
  for (std::size_t i = 0; i < FSlots.size(); ++i) {
    const Slot& slot = FSlots[i];
    if (slot.IoType == SQL_PARAM_INPUT || slot.Indicator == SQL_NULL_DATA) continue;
    switch (slot.CType) {
      case SQL_C_SBIGINT:
        values[i] = Get<std::int64_t>(slot.Buffer);
        break;
      case SQL_C_SLONG:
        values[i] = Get<std::int32_t>(slot.Buffer);
        break;
      case SQL_C_BIT:
        values[i] = slot.Buffer[0] != 0;
        break;
      case SQL_C_DOUBLE:
        values[i] = Get<double>(slot.Buffer);
        break;
      case SQL_C_TYPE_TIMESTAMP: {
        const auto t = Get<SQL_TIMESTAMP_STRUCT>(slot.Buffer);
        values[i] = EncodeDateTime(t.year, t.month, t.day, t.hour, t.minute, t.second,
                                   static_cast<int>(t.fraction / 1000000u));
        break;
      }
      case SQL_C_TYPE_DATE: {
        const auto d = Get<SQL_DATE_STRUCT>(slot.Buffer);
        values[i] = EncodeDateTime(d.year, d.month, d.day);
        break;
      }
      case SQL_C_TYPE_TIME: {
        const auto t = Get<SQL_TIME_STRUCT>(slot.Buffer);
        values[i] = TDateTime{EncodeDateTime(1899, 12, 30, t.hour, t.minute, t.second)};
        break;
      }
      case SQL_C_BINARY: {
        const std::size_t size = std::min<std::size_t>(slot.Indicator, slot.Buffer.size());
        values[i] = TBytes(slot.Buffer.begin(), slot.Buffer.begin() + size);
        break;
      }
      default: {
        const std::size_t units =
            std::min<std::size_t>(slot.Indicator, slot.Buffer.size() - sizeof(SQLWCHAR)) /
            sizeof(SQLWCHAR);
        values[i] = FromSqlWide(reinterpret_cast<const SQLWCHAR*>(slot.Buffer.data()), units);
        break;
      }
    }
  }
  return values;
}

}  // namespace odbc
