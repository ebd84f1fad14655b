#include "app/win32_log_view.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/win32_text.h"

namespace {

LRESULT Send(HWND AEdit, UINT AMessage, WPARAM AWParam = 0, LPARAM ALParam = 0) {
  return SendMessageW(AEdit, AMessage, AWParam, ALParam);
}

// The operator's Tab leaves the log, as it leaves every other control; a
// multi-line edit would otherwise take it as a character.
LRESULT CALLBACK TabLeavesLog(HWND AEdit, UINT AMessage, WPARAM AWParam, LPARAM ALParam, UINT_PTR,
                              DWORD_PTR) {
  LRESULT result = DefSubclassProc(AEdit, AMessage, AWParam, ALParam);
  if (AMessage == WM_GETDLGCODE) {
    const MSG* message = reinterpret_cast<const MSG*>(ALParam);
    if (message != nullptr && message->message == WM_KEYDOWN && message->wParam == VK_TAB) {
      result &= ~(DLGC_WANTTAB | DLGC_WANTALLKEYS | DLGC_WANTMESSAGE);
    }
  }
  return result;
}

}  // namespace

TLogView::TLogView(HWND AEdit) : FEdit(AEdit) {
  Send(FEdit, EM_SETLIMITTEXT, 0);
  SetWindowSubclass(FEdit, TabLeavesLog, 0, 0);
}

std::string TLogView::Text() const {
  std::wstring text(GetWindowTextLengthW(FEdit) + 1, L'\0');
  text.resize(GetWindowTextW(FEdit, text.data(), static_cast<int>(text.size())));
  return platform::Utf8FromWide(text);
}

// The last line the control holds is empty exactly when the text ends in a
// line break (or is empty); wrapping never leaves an empty line behind.
bool TLogView::EndsInBreak() const {
  const LRESULT lastLine = Send(FEdit, EM_GETLINECOUNT) - 1;
  const LRESULT lastStart = Send(FEdit, EM_LINEINDEX, lastLine);
  return Send(FEdit, EM_LINELENGTH, lastStart) == 0;
}

bool TLogView::EndIsVisible() const {
  RECT area{};
  Send(FEdit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&area));
  TEXTMETRICW metrics{};
  HDC dc = GetDC(FEdit);
  HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(Send(FEdit, WM_GETFONT)));
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, previous);
  ReleaseDC(FEdit, dc);
  const LONG lineHeight = std::max<LONG>(1, metrics.tmHeight);
  const LRESULT visibleLines = std::max<LONG>(1, (area.bottom - area.top) / lineHeight);
  return Send(FEdit, EM_GETFIRSTVISIBLELINE) + visibleLines >= Send(FEdit, EM_GETLINECOUNT);
}

void TLogView::AppendLine(const std::string& ALine) {
  const DWORD length = GetWindowTextLengthW(FEdit);
  DWORD selStart = 0;
  DWORD selEnd = 0;
  Send(FEdit, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart), reinterpret_cast<LPARAM>(&selEnd));
  const bool follow = selStart == length && selEnd == length && EndIsVisible();
  const LRESULT firstVisible = Send(FEdit, EM_GETFIRSTVISIBLELINE);

  const std::wstring line = platform::WideFromUtf8(ALine);
  const std::wstring added = EndsInBreak() ? line + L"\r\n" : L"\r\n" + line;
  Send(FEdit, EM_SETSEL, length, length);
  Send(FEdit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(added.c_str()));
  if (follow) {
    Send(FEdit, EM_SCROLLCARET);
    return;
  }
  // Replacing scrolled the new text into view; the operator's place comes back.
  Send(FEdit, EM_SETSEL, selStart, selEnd);
  Send(FEdit, EM_LINESCROLL, 0, firstVisible - Send(FEdit, EM_GETFIRSTVISIBLELINE));
}
