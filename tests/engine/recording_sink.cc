#include "recording_sink.h"

#include <cstdio>

#include "values/sql_types.h"

namespace standin::test {

std::string Describe(const SqlType& type) {
  return engine::TypeDeclaration(type) + (type.nullable ? " null" : "");
}

std::string Describe(const Value& value) {
  if (IsNull(value)) return "NULL";
  if (auto* i = std::get_if<std::int64_t>(&value)) return std::to_string(*i);
  if (auto* d = std::get_if<double>(&value)) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%g", *d);
    return buf;
  }
  if (auto* s = std::get_if<std::string>(&value)) return "'" + *s + "'";
  std::string hex = "0x";
  char buf[3];
  for (std::uint8_t b : std::get<Bytes>(value)) {
    std::snprintf(buf, sizeof buf, "%02X", b);
    hex += buf;
  }
  return hex;
}

void RecordingSink::Columns(const std::vector<Column>& columns) {
  out_ << "columns:";
  for (const Column& c : columns) out_ << " [" << c.name << " " << Describe(c.type) << "]";
  out_ << "\n";
}

void RecordingSink::Row(const std::vector<Value>& values) {
  out_ << "row:";
  for (const Value& v : values) out_ << " " << Describe(v);
  out_ << "\n";
}

void RecordingSink::Done(const StatementDone& done) {
  out_ << "done";
  if (done.has_count) out_ << " " << done.count;
  if (done.error) out_ << " error";
  if (done.cancelled) out_ << " cancelled";
  out_ << "\n";
}

void RecordingSink::Message(const ServerMessage& m) {
  out_ << "msg " << m.number << "," << int(m.severity) << "," << int(m.state) << ",line " << m.line
       << ": " << m.text << "\n";
}

void RecordingSink::DatabaseChanged(const std::string& old_name, const std::string& new_name) {
  out_ << "database: " << old_name << " -> " << new_name << "\n";
}

void RecordingSink::ReturnStatus(std::int32_t status) {
  out_ << "status " << status << "\n";
}

void RecordingSink::ReturnValue(const Param& param) {
  out_ << "output " << param.name << " = " << Describe(param.value) << "\n";
}

}  // namespace standin::test
