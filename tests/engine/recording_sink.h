// A ResultSink that writes what it receives as lines of text, so tests can
// compare a whole response at once.
#pragma once

#include <sstream>
#include <string>

#include "result_sink.h"

namespace standin::test {

class RecordingSink : public ResultSink {
 public:
  void Columns(const std::vector<Column>& columns) override;
  void Row(const std::vector<Value>& values) override;
  void Done(const StatementDone& done) override;
  void Message(const ServerMessage& message) override;
  void DatabaseChanged(const std::string& old_name, const std::string& new_name) override;
  void ReturnStatus(std::int32_t status) override;
  void ReturnValue(const Param& param) override;

  std::string Text() const { return out_.str(); }
  void Clear() { out_.str(""); }

 private:
  std::ostringstream out_;
};

// "int", "varchar(30)", "decimal(10,2)", with " null" for nullable types.
std::string Describe(const SqlType& type);
// A value as the text tests expect: NULL, 12, 'abc', 0x0AFF.
std::string Describe(const Value& value);

}  // namespace standin::test
