#include "script_loader.h"

#include <algorithm>
#include <cctype>

namespace standin_test {
namespace {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
    text.remove_prefix(1);
  }
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
    text.remove_suffix(1);
  }
  return text;
}

bool IsGo(std::string_view line) {
  line = Trim(line);
  return line.size() == 2 && std::toupper(static_cast<unsigned char>(line[0])) == 'G' &&
         std::toupper(static_cast<unsigned char>(line[1])) == 'O';
}

}  // namespace

std::vector<std::string> SplitBatches(std::string_view script) {
  std::vector<std::string> batches;
  std::string current;
  auto finish = [&] {
    if (!Trim(current).empty()) batches.push_back(current);
    current.clear();
  };
  while (!script.empty()) {
    const std::size_t end = script.find('\n');
    const std::string_view line = script.substr(0, end);
    script.remove_prefix(end == std::string_view::npos ? script.size() : end + 1);
    if (IsGo(line)) {
      finish();
    } else {
      current.append(line).append("\n");
    }
  }
  finish();
  return batches;
}

void LoadScript(OdbcTestConnection& connection, std::string_view script) {
  for (const std::string& batch : SplitBatches(script)) {
    try {
      connection.Exec(batch);
    } catch (const OdbcError& error) {
      std::vector<Diagnostic> diagnostics = error.diagnostics();
      const std::string first_line = batch.substr(0, std::min(batch.find('\n'), std::size_t{120}));
      throw OdbcError("batch \"" + first_line + "\"", std::move(diagnostics));
    }
  }
}

}  // namespace standin_test
