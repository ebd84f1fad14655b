#include "app/win32_main_form.h"

#include <commctrl.h>
#include <shellscalingapi.h>

#include <algorithm>
#include <cmath>
#include <cwchar>

#include "app/application_title.h"
#include "app/save_log.h"
#include "app/win32_control_ids.h"
#include "app/win32_error_boxes.h"
#include "core/exception.h"
#include "platform/win32_file.h"
#include "platform/win32_text.h"

namespace {

constexpr int kClientWidth = 675;
constexpr int kClientHeight = 505;
constexpr int kFontPixels = 11;  // 8 points at 96 dpi
constexpr wchar_t kCaption[] =
    L"Synch Property Locations (Compatible with Warderly 5.0.3.x or higher)";
// A single fixed border: no sizing frame, yet the window minimizes and maximizes.
constexpr DWORD kWindowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kWindowExStyle = WS_EX_CONTROLPARENT;

[[noreturn]] void ThrowLastError(const char* AWhat) {
  throw Exception(std::string(AWhat) + ": " + platform::SystemReason(GetLastError()));
}

TOwnedFont WindowFont(int APixels, LONG AWeight) {
  LOGFONTW description{};
  description.lfHeight = -APixels;
  description.lfWeight = AWeight;
  description.lfCharSet = DEFAULT_CHARSET;
  std::wcscpy(description.lfFaceName, L"MS Sans Serif");
  HFONT font = CreateFontIndirectW(&description);
  if (font == nullptr) ThrowLastError("Cannot create the window's font");
  return TOwnedFont(font);
}

// The monitor the window is centred on, which it is scaled for.
HMONITOR PrimaryMonitor() {
  return MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
}

UINT MonitorDpi(HMONITOR AMonitor) {
  UINT dpiX = USER_DEFAULT_SCREEN_DPI;
  UINT dpiY = USER_DEFAULT_SCREEN_DPI;
  if (FAILED(GetDpiForMonitor(AMonitor, MDT_EFFECTIVE_DPI, &dpiX, &dpiY))) {
    return USER_DEFAULT_SCREEN_DPI;
  }
  return dpiY;
}

void RegisterWindowClass(WNDPROC AWindowProc) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  if (GetClassInfoExW(instance, kMainFormClassName, &windowClass)) return;
  windowClass.lpfnWndProc = AWindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kMainFormClassName;
  if (RegisterClassExW(&windowClass) == 0) ThrowLastError("Cannot register the main window");
}

RECT ChildRect(HWND AChild) {
  RECT area{};
  GetWindowRect(AChild, &area);
  MapWindowPoints(HWND_DESKTOP, GetParent(AChild), reinterpret_cast<POINT*>(&area), 2);
  return area;
}

}  // namespace

TfrmSynchPropertyLocationsMain::TfrmSynchPropertyLocationsMain(const platform::Disk& ADisk)
    : FComponents(std::make_unique<TMainFormComponents>(ADisk)) {
  RegisterWindowClass(&TfrmSynchPropertyLocationsMain::WindowProc);
  const INITCOMMONCONTROLSEX progressClass{sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&progressClass);
  const HMONITOR monitor = PrimaryMonitor();
  FDpi = MonitorDpi(monitor);
  FNormalClient = SIZE{Scaled(kClientWidth), Scaled(kClientHeight)};
  FFont = WindowFont(Scaled(kFontPixels), FW_NORMAL);
  FBoldFont = WindowFont(Scaled(kFontPixels), FW_BOLD);

  RECT frame{0, 0, FNormalClient.cx, FNormalClient.cy};
  AdjustWindowRectExForDpi(&frame, kWindowStyle, FALSE, kWindowExStyle, FDpi);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfoW(monitor, &info);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const RECT& work = info.rcWork;
  const int left = work.left + (work.right - work.left - width) / 2;
  const int top = work.top + (work.bottom - work.top - height) / 2;

  HWND window =
      CreateWindowExW(kWindowExStyle, kMainFormClassName, kCaption, kWindowStyle, left, top, width,
                      height, nullptr, nullptr, GetModuleHandleW(nullptr), this);
  if (window == nullptr) ThrowLastError("Cannot create the main window");
  FWindow.reset(window);
  CreateControls();
  FComponents->FormCreate();
}

TfrmSynchPropertyLocationsMain::~TfrmSynchPropertyLocationsMain() = default;

int TfrmSynchPropertyLocationsMain::Scaled(int APixels) const {
  return static_cast<int>(std::lround(APixels * static_cast<double>(FDpi) / 96.0));
}

HWND TfrmSynchPropertyLocationsMain::CreateControl(const wchar_t* AClass, const std::string& AText,
                                                   DWORD AStyle, int AId, int ALeft, int ATop,
                                                   int AWidth, int AHeight, DWORD AExStyle) {
  HWND control = CreateWindowExW(AExStyle, AClass, platform::WideFromUtf8(AText).c_str(),
                                 WS_CHILD | WS_VISIBLE | AStyle, ALeft, ATop, AWidth, AHeight,
                                 FWindow.get(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(AId)),
                                 GetModuleHandleW(nullptr), nullptr);
  if (control == nullptr) ThrowLastError("Cannot create a control of the main window");
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FFont.get()), FALSE);
  return control;
}

// Created in tab order (start button, Memo1, btnSave): the dialog manager
// moves the focus along the creation order. The progress bar and the labels
// never take the focus.
void TfrmSynchPropertyLocationsMain::CreateControls() {
  btnStart = CreateControl(WC_BUTTONW, "Start Synchronization Of Property Locations",
                           WS_TABSTOP | BS_PUSHBUTTON, kBtnStartId, Scaled(116), Scaled(70),
                           Scaled(277), Scaled(25));
  SendMessageW(btnStart, WM_SETFONT, reinterpret_cast<WPARAM>(FBoldFont.get()), FALSE);

  Memo1 = CreateControl(
      WC_EDITW, "", WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
      kMemo1Id, Scaled(8), Scaled(136), Scaled(657), Scaled(361), WS_EX_CLIENTEDGE);
  FLog = std::make_unique<TLogView>(Memo1);

  btnSave = CreateControl(WC_BUTTONW, "Save Log", WS_TABSTOP | BS_PUSHBUTTON, kBtnSaveId,
                          Scaled(592), Scaled(107), Scaled(75), Scaled(25));

  ProgressBar1 = CreateControl(PROGRESS_CLASSW, "", 0, kProgressBar1Id, Scaled(22), Scaled(20),
                               Scaled(497), Scaled(16));
  ShowProgress();

  lblWhatHappen = CreateControl(WC_STATICW, "[XXXXXX]", SS_LEFT | SS_NOPREFIX, kLblWhatHappenId,
                                Scaled(30), Scaled(40), 0, 0);
  SizeToText(lblWhatHappen);
  lblPasses = CreateControl(WC_STATICW, "[XXX]", SS_LEFT | SS_NOPREFIX, kLblPassesId, Scaled(407),
                            Scaled(40), 0, 0);
  SizeToText(lblPasses);

  // A substitute font may be wider than the one the width was chosen for.
  Label1 = CreateControl(WC_STATICW, "Conflicts Log:", SS_LEFT | SS_NOPREFIX, kLabel1Id, Scaled(8),
                         Scaled(120), Scaled(64), Scaled(13));
  SizeToText(Label1);
  const RECT measured = ChildRect(Label1);
  SetWindowPos(Label1, nullptr, 0, 0, std::max<LONG>(Scaled(64), measured.right - measured.left),
               Scaled(13), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  FFocused = btnStart;
}

void TfrmSynchPropertyLocationsMain::Show(int AShowCommand) {
  ShowWindow(FWindow.get(), AShowCommand);
  SetFocus(FFocused);
  UpdateWindow(FWindow.get());
}

LRESULT CALLBACK TfrmSynchPropertyLocationsMain::WindowProc(HWND AWindow, UINT AMessage,
                                                            WPARAM AWParam, LPARAM ALParam) {
  if (AMessage == WM_NCCREATE) {
    const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(ALParam);
    SetWindowLongPtrW(AWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
  }
  auto* form =
      reinterpret_cast<TfrmSynchPropertyLocationsMain*>(GetWindowLongPtrW(AWindow, GWLP_USERDATA));
  if (form == nullptr || form->FWindow.get() != AWindow) {
    return DefWindowProcW(AWindow, AMessage, AWParam, ALParam);
  }
  return form->HandleMessage(AMessage, AWParam, ALParam);
}

LRESULT TfrmSynchPropertyLocationsMain::HandleMessage(UINT AMessage, WPARAM AWParam,
                                                      LPARAM ALParam) {
  HWND window = FWindow.get();
  switch (AMessage) {
    case WM_COMMAND:
      if (HIWORD(AWParam) == BN_CLICKED && LOWORD(AWParam) == kBtnStartId) {
        HandleClick(&TfrmSynchPropertyLocationsMain::GoSynchPropertyLocations);
        return 0;
      }
      if (HIWORD(AWParam) == BN_CLICKED && LOWORD(AWParam) == kBtnSaveId) {
        HandleClick(&TfrmSynchPropertyLocationsMain::btnSaveClick);
        return 0;
      }
      break;
    case WM_SIZE:
      if (AWParam != SIZE_MINIMIZED && Memo1 != nullptr) {
        LayOut(LOWORD(ALParam), HIWORD(ALParam));
      }
      return 0;
    // The focus comes back to the control that had it when the window
    // is activated again.
    case WM_ACTIVATE:
      if (LOWORD(AWParam) == WA_INACTIVE) {
        HWND focused = GetFocus();
        if (focused != nullptr && IsChild(window, focused)) FFocused = focused;
      } else if (FFocused != nullptr) {
        SetFocus(FFocused);
      }
      return 0;
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      // The system destroyed the window; nothing is left to destroy.
      static_cast<void>(FWindow.release());
      return DefWindowProcW(window, AMessage, AWParam, ALParam);
  }
  return DefWindowProcW(window, AMessage, AWParam, ALParam);
}

// Anchors. Memo1 follows all four edges, btnSave the top and right ones, and
// the start button, anchored at neither side, keeps its centre at the same
// fraction of the width; everything else stays where it was laid out.
void TfrmSynchPropertyLocationsMain::LayOut(int AClientWidth, int AClientHeight) {
  const int growX = AClientWidth - FNormalClient.cx;
  const int growY = AClientHeight - FNormalClient.cy;
  constexpr UINT kMove = SWP_NOZORDER | SWP_NOACTIVATE;
  SetWindowPos(Memo1, nullptr, Scaled(8), Scaled(136), Scaled(657) + growX, Scaled(361) + growY,
               kMove);
  SetWindowPos(btnSave, nullptr, Scaled(592) + growX, Scaled(107), 0, 0, kMove | SWP_NOSIZE);
  const double centre =
      (Scaled(116) + Scaled(277) / 2.0) * AClientWidth / static_cast<double>(FNormalClient.cx);
  SetWindowPos(btnStart, nullptr, static_cast<int>(std::lround(centre - Scaled(277) / 2.0)),
               Scaled(70), 0, 0, kMove | SWP_NOSIZE);
}

void TfrmSynchPropertyLocationsMain::HandleClick(
    void (TfrmSynchPropertyLocationsMain::*AHandler)()) {
  try {
    (this->*AHandler)();
  } catch (...) {
    ShowDefaultHandlerBox(FWindow.get(), std::current_exception());
  }
}

std::string TfrmSynchPropertyLocationsMain::LogText() const {
  return FLog->Text();
}

void TfrmSynchPropertyLocationsMain::GoSynchPropertyLocations() {
  FComponents->GoSynchPropertyLocations(*this);
}

void TfrmSynchPropertyLocationsMain::btnSaveClick() {
  SaveLog(LogText());
}

// The control would step and wrap by itself too; the window keeps the
// model's arithmetic, which the Qt window and the tests share, and shows
// its position.
void TfrmSynchPropertyLocationsMain::ShowProgress() {
  SendMessageW(ProgressBar1, PBM_SETRANGE32, FBar.Min(), FBar.Max());
  SendMessageW(ProgressBar1, PBM_SETPOS, FBar.Position(), 0);
}

void TfrmSynchPropertyLocationsMain::SetProgressPosition(int APosition) {
  FBar.SetPosition(APosition);
  ShowProgress();
}

void TfrmSynchPropertyLocationsMain::SetProgressMax(int AMax) {
  FBar.SetMax(AMax);
  ShowProgress();
}

void TfrmSynchPropertyLocationsMain::SetProgressStep(int AStep) {
  FBar.SetStep(AStep);
}

void TfrmSynchPropertyLocationsMain::StepProgress() {
  FBar.StepIt();
  ShowProgress();
}

void TfrmSynchPropertyLocationsMain::SizeToText(HWND ALabel) {
  const int length = GetWindowTextLengthW(ALabel);
  std::wstring text(length + 1, L'\0');
  text.resize(GetWindowTextW(ALabel, text.data(), length + 1));
  HDC dc = GetDC(ALabel);
  HGDIOBJ previous = SelectObject(dc, FFont.get());
  RECT extent{0, 0, 0, 0};
  DrawTextW(dc, text.empty() ? L" " : text.c_str(), -1, &extent,
            DT_CALCRECT | DT_NOPREFIX | DT_LEFT);
  SelectObject(dc, previous);
  ReleaseDC(ALabel, dc);
  SetWindowPos(ALabel, nullptr, 0, 0, text.empty() ? 0 : extent.right, extent.bottom,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT TfrmSynchPropertyLocationsMain::SetCaption(HWND ALabel, const std::string& ACaption) {
  const RECT before = ChildRect(ALabel);
  SetWindowTextW(ALabel, platform::WideFromUtf8(ACaption).c_str());
  SizeToText(ALabel);
  const RECT after = ChildRect(ALabel);
  RECT both{};
  UnionRect(&both, &before, &after);
  return both;
}

void TfrmSynchPropertyLocationsMain::SetPassesCaption(const std::string& ACaption) {
  FPassesArea = SetCaption(lblPasses, ACaption);
}

// The pass keeps the message loop waiting until it ends, so the repaints
// paint at once, the window and its controls, and let nothing else run: no
// input, timers or posted messages are delivered in the middle of the pass.
// A label that shrank leaves its old area for the window to paint over.
void TfrmSynchPropertyLocationsMain::Repaint(const RECT* AArea) {
  RedrawWindow(FWindow.get(), AArea, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void TfrmSynchPropertyLocationsMain::RepaintPasses() {
  Repaint(&FPassesArea);
}

void TfrmSynchPropertyLocationsMain::SetWhatHappenCaption(const std::string& ACaption) {
  FWhatHappenArea = SetCaption(lblWhatHappen, ACaption);
}

void TfrmSynchPropertyLocationsMain::RepaintWhatHappen() {
  Repaint(&FWhatHappenArea);
}

void TfrmSynchPropertyLocationsMain::AppendLogLine(const std::string& ALine) {
  FLog->AppendLine(ALine);
}

void TfrmSynchPropertyLocationsMain::RepaintWindow() {
  Repaint(nullptr);
}

void TfrmSynchPropertyLocationsMain::ShowMessage(const std::string& AText) {
  MessageBoxW(FWindow.get(), platform::WideFromUtf8(AText).c_str(),
              platform::WideFromUtf8(kApplicationTitle).c_str(), MB_OK);
}
