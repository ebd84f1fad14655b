#include "trace.h"

#include <cctype>
#include <cstdio>
#include <map>
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
    case TypeId::DateTime2:
      return "datetime2(" + std::to_string(t.scale) + ")";
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

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// The names in a parameter declaration list such as "@P1 INT,@P2 DECIMAL(10,2)".
std::vector<std::string> DeclaredNames(const std::string& declaration) {
  std::vector<std::string> names;
  int depth = 0;
  bool at_item_start = true;
  for (std::size_t i = 0; i < declaration.size(); ++i) {
    char c = declaration[i];
    if (c == '(') ++depth;
    if (c == ')') --depth;
    if (c == ',' && depth == 0) {
      at_item_start = true;
    } else if (at_item_start && c == '@') {
      std::size_t end = declaration.find_first_of(" \t\r\n,", i);
      names.push_back(declaration.substr(i, end == std::string::npos ? end : end - i));
      at_item_start = false;
    }
  }
  return names;
}

// Clients pass the well-known procedures' arguments by position; the trace
// names them as the procedures declare them, and the statement's parameters
// as the declaration list passed along names them.
std::vector<Param> Named(std::string_view procedure, std::vector<Param> params) {
  static const std::map<std::string, std::vector<std::string>> kLeading = {
      {"sp_executesql", {"@stmt", "@params"}},
      {"sp_prepexec", {"@handle", "@params", "@stmt"}},
      {"sp_prepare", {"@handle", "@params", "@stmt", "@options"}},
      {"sp_execute", {"@handle"}},
      {"sp_unprepare", {"@handle"}},
  };
  auto leading = kLeading.find(Lower(procedure));
  if (leading == kLeading.end()) return params;
  std::vector<std::string> names = leading->second;
  for (std::size_t i = 0; i < params.size() && i < names.size(); ++i) {
    if (names[i] != "@params") continue;
    if (auto* declaration = std::get_if<std::string>(&params[i].value)) {
      for (std::string& name : DeclaredNames(*declaration)) names.push_back(std::move(name));
    }
  }
  for (std::size_t i = 0; i < params.size() && i < names.size(); ++i) {
    if (params[i].name.empty()) params[i].name = names[i];
  }
  return params;
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
  for (const Param& p : Named(procedure, params)) line += " " + FormatParam(p);
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
