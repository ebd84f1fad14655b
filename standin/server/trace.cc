#include "trace.h"

#include <cstdio>
#include <stdexcept>
#include <string>

namespace standin::server {
namespace {

std::string Length(std::int32_t length) {
  return length == SqlType::kMaxLength ? "max" : std::to_string(length);
}

std::string TypeName(const SqlType& t) {
  switch (t.id) {
    case TypeId::Int:
      return "int";
    case TypeId::BigInt:
      return "bigint";
    case TypeId::SmallInt:
      return "smallint";
    case TypeId::TinyInt:
      return "tinyint";
    case TypeId::Bit:
      return "bit";
    case TypeId::Char:
      return "char(" + Length(t.length) + ")";
    case TypeId::VarChar:
      return "varchar(" + Length(t.length) + ")";
    case TypeId::NChar:
      return "nchar(" + Length(t.length) + ")";
    case TypeId::NVarChar:
      return "nvarchar(" + Length(t.length) + ")";
    case TypeId::Text:
      return "text";
    case TypeId::NText:
      return "ntext";
    case TypeId::DateTime:
      return "datetime";
    case TypeId::SmallDateTime:
      return "smalldatetime";
    case TypeId::Date:
      return "date";
    case TypeId::Time:
      return "time(" + std::to_string(t.scale) + ")";
    case TypeId::Money:
      return "money";
    case TypeId::SmallMoney:
      return "smallmoney";
    case TypeId::Decimal:
      return "decimal(" + std::to_string(t.precision) + "," + std::to_string(t.scale) + ")";
    case TypeId::Float:
      return "float";
    case TypeId::Real:
      return "real";
    case TypeId::UniqueIdentifier:
      return "uniqueidentifier";
    case TypeId::Binary:
      return "binary(" + Length(t.length) + ")";
    case TypeId::VarBinary:
      return "varbinary(" + Length(t.length) + ")";
    case TypeId::Image:
      return "image";
  }
  return "?";
}

bool IsUnicode(TypeId id) {
  return id == TypeId::NChar || id == TypeId::NVarChar || id == TypeId::NText;
}

std::string Quoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out + "'";
}

std::string ValueText(const Param& param) {
  const Value& v = param.value;
  if (IsNull(v)) return "NULL";
  if (auto* i = std::get_if<std::int64_t>(&v)) return std::to_string(*i);
  if (auto* d = std::get_if<double>(&v)) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.17g", *d);
    return buf;
  }
  if (auto* b = std::get_if<Bytes>(&v)) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out = "0x";
    for (std::uint8_t byte : *b) {
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    }
    return out;
  }
  const std::string& s = std::get<std::string>(v);
  switch (param.type.id) {
    case TypeId::Money:
    case TypeId::SmallMoney:
    case TypeId::Decimal:
      return s;
    default:
      return (IsUnicode(param.type.id) ? "N" : "") + Quoted(s);
  }
}

std::string Escaped(std::string line) {
  std::string out;
  out.reserve(line.size());
  for (char c : line) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

std::string FormatParam(const Param& param) {
  std::string name = param.name.empty() ? "@?" : param.name;
  std::string text = IsUnicode(param.type.id)
                         ? name + "=" + ValueText(param)
                         : name + " " + TypeName(param.type) + "=" + ValueText(param);
  return param.output ? text + " output" : text;
}

Trace::Trace(const std::filesystem::path& file) {
  if (file.empty()) return;
  out_.open(file, std::ios::app | std::ios::binary);
  if (!out_) throw std::runtime_error("cannot open trace file " + file.string());
}

void Trace::Batch(std::int32_t spid, std::string_view sql) {
  if (!out_.is_open()) return;
  WriteLine("spid=" + std::to_string(spid) + " batch: " + std::string(sql));
}

void Trace::Rpc(std::int32_t spid, std::string_view procedure, const std::vector<Param>& params) {
  if (!out_.is_open()) return;
  std::string line = "spid=" + std::to_string(spid) + " rpc " + std::string(procedure) + ":";
  for (const Param& p : params) line += " " + FormatParam(p);
  WriteLine(std::move(line));
}

void Trace::TransactionRequest(std::int32_t spid, std::string_view sql) {
  if (!out_.is_open()) return;
  WriteLine("spid=" + std::to_string(spid) + " tm: " + std::string(sql));
}

void Trace::WriteLine(std::string line) {
  std::string escaped = Escaped(std::move(line)) + "\n";
  std::lock_guard lock(mutex_);
  out_ << escaped;
  out_.flush();
}

}  // namespace standin::server
