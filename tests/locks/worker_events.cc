#include "worker_events.h"

#include <array>
#include <cstdio>
#include <stdexcept>

namespace lock_contention {
namespace {

constexpr std::array<const char*, 5> kKindWords = {"ready", "posted", "refused", "holding",
                                                   "failed"};
constexpr std::size_t kFieldCount = 12;

std::string Escaped(const std::string& AText) {
  std::string text;
  for (char c : AText) {
    switch (c) {
      case '\\':
        text += "\\\\";
        break;
      case '\t':
        text += "\\t";
        break;
      case '\r':
        text += "\\r";
        break;
      case '\n':
        text += "\\n";
        break;
      default:
        text += c;
    }
  }
  return text;
}

std::string Unescaped(const std::string& AText, const std::string& ALine) {
  std::string text;
  for (std::size_t i = 0; i < AText.size(); ++i) {
    if (AText[i] != '\\') {
      text += AText[i];
      continue;
    }
    if (++i == AText.size()) throw std::runtime_error("a lone backslash in: " + ALine);
    switch (AText[i]) {
      case '\\':
        text += '\\';
        break;
      case 't':
        text += '\t';
        break;
      case 'r':
        text += '\r';
        break;
      case 'n':
        text += '\n';
        break;
      default:
        throw std::runtime_error("an unknown escape in: " + ALine);
    }
  }
  return text;
}

std::vector<std::string> Split(const std::string& ALine) {
  std::vector<std::string> fields(1);
  for (char c : ALine) {
    if (c == '\t') {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

TWorkerEventKind KindOf(const std::string& AWord, const std::string& ALine) {
  for (std::size_t i = 0; i < kKindWords.size(); ++i) {
    if (AWord == kKindWords[i]) return static_cast<TWorkerEventKind>(i);
  }
  throw std::runtime_error("an unknown event in: " + ALine);
}

TWorkerEvent ParseLine(const std::string& ALine) {
  const std::vector<std::string> fields = Split(ALine);
  if (fields.size() != kFieldCount) throw std::runtime_error("not a worker event: " + ALine);
  auto text = [&](std::size_t AIndex) { return Unescaped(fields[AIndex], ALine); };
  TWorkerEvent event;
  event.Kind = KindOf(fields[0], ALine);
  event.Key = text(1);
  event.Text = text(3);
  event.Refusal = {text(4), text(5), text(6), text(7), text(8), text(9), text(10)};
  try {
    event.Value = std::stoi(fields[2]);
    event.Refusal.TimeLocked = std::stod(fields[11]);
  } catch (const std::logic_error&) {
    throw std::runtime_error("a number that is none in: " + ALine);
  }
  return event;
}

}  // namespace

std::string FormatEvent(const TWorkerEvent& AEvent) {
  const TRefusalFields& r = AEvent.Refusal;
  char time[32];
  std::snprintf(time, sizeof time, "%.17g", r.TimeLocked);
  std::string line = kKindWords.at(static_cast<std::size_t>(AEvent.Kind));
  for (const std::string* field :
       {&AEvent.Key, &AEvent.Text, &r.Message, &r.DatabaseName, &r.TableName, &r.UniqueKey,
        &r.ComputerName, &r.UserName, &r.ProgramName}) {
    line += '\t' + Escaped(*field);
    if (field == &AEvent.Key) line += '\t' + std::to_string(AEvent.Value);
  }
  return line + '\t' + time + '\n';
}

std::vector<TWorkerEvent> ParseEvents(const std::string& AText) {
  std::vector<TWorkerEvent> events;
  std::size_t start = 0;
  for (std::size_t end; (end = AText.find('\n', start)) != std::string::npos; start = end + 1) {
    events.push_back(ParseLine(AText.substr(start, end - start)));
  }
  return events;
}

}  // namespace lock_contention
