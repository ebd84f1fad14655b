// TStrings: a statement text kept as a list of lines, telling its owner of
// every change.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class TStrings {
 public:
  int Count() const { return static_cast<int>(FLines.size()); }
  const std::string& Strings(int AIndex) const { return FLines.at(AIndex); }

  // Removes every line; a change only when there were lines.
  void Clear();
  // Appends `ALine` as one line; always a change.
  void Add(const std::string& ALine);
  // Every line followed by CR LF; "" without lines.
  std::string Text() const;
  // Replaces the lines with those of `AText`, split at CR LF, LF or CR (a
  // last line without a line break counts); always a change.
  void SetText(std::string_view AText);

  // Called after every change.
  void SetOnChange(std::function<void()> AEvent) { FOnChange = std::move(AEvent); }

 private:
  void Changed() {
    if (FOnChange) FOnChange();
  }

  std::vector<std::string> FLines;
  std::function<void()> FOnChange;
};
