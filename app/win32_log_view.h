// Memo1 on the system's multi-line edit control: the conflicts log as the
// pass appends to it and the operator reads, scrolls and types in it.
#pragma once

#include <windows.h>

#include <string>

class TLogView {
 public:
  // Takes over `AEdit` (a multi-line edit, destroyed with its parent): lifts
  // the edit's 32K text limit and makes Tab move the focus on rather than type.
  explicit TLogView(HWND AEdit);

  // The whole text, UTF-8, line breaks as the control holds them (CR LF).
  std::string Text() const;

  // Appends `ALine` with CR LF after it, or before it when the text does not
  // end in a line break (the operator typed after the last line). While the
  // caret and the view are at the end, the new line is scrolled into view;
  // otherwise the operator's selection and scroll position stay.
  void AppendLine(const std::string& ALine);

 private:
  bool EndsInBreak() const;
  bool EndIsVisible() const;

  HWND FEdit;
};
