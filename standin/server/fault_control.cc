#include "fault_control.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <iostream>
#include <iterator>
#include <system_error>

namespace standin::server {
namespace {

std::string ReadWhole(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

FaultControl::FaultControl(std::filesystem::path file, std::function<void()> stop_server)
    : file_(std::move(file)), stop_server_(std::move(stop_server)) {}

bool FaultControl::EndsSession() {
  if (file_.empty()) return false;
  Action fired = Action::kNone;
  {
    std::lock_guard lock(mutex_);
    TakeFile();
    if (armed_ != Action::kNone && --remaining_ == 0) {
      fired = armed_;
      armed_ = Action::kNone;
    }
  }
  if (fired == Action::kStop) stop_server_();
  return fired != Action::kNone;
}

void FaultControl::TakeFile() {
  std::error_code error;
  if (!std::filesystem::exists(file_, error)) return;
  const std::string text = ReadWhole(file_);
  std::filesystem::remove(file_, error);
  armed_ = Action::kNone;
  // "VERB N", a line break after it allowed.
  const std::string line = text.substr(0, text.find_last_not_of("\r\n") + 1);
  const std::string verb = line.substr(0, 5);
  std::int64_t count = 0;
  const char* last = line.data() + line.size();
  const auto [stopped, failure] =
      std::from_chars(line.data() + std::min<std::size_t>(5, line.size()), last, count);
  if ((verb != "kill " && verb != "stop ") || failure != std::errc() || stopped != last ||
      count < 1) {
    std::cerr << "sqlserver-standin: ignored the fault file, which does not hold \"kill N\" or "
                 "\"stop N\": "
              << text << std::endl;
    return;
  }
  armed_ = verb == "kill " ? Action::kKill : Action::kStop;
  remaining_ = count;
}

}  // namespace standin::server
