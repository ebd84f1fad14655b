// Drives the cross-built window program from outside, as an operator would,
// with Win32 calls only: window_under_wine.sh runs it under wine beside the
// Linux stand-in and judges what it writes.
//
// usage: window_driver pass PROGRAM.exe MEMO_FILE
//          checks the program's description in its version record,
//          starts the program, checks the window's geometry at 96 dpi (also
//          maximized and restored) and its tab order, clicks the start button, answers the
//          box that ends the pass (its text on standard output, "box: ..."),
//          checks that the log view ends at the log's end, writes Memo1's text
//          (UTF-8) to MEMO_FILE, clicks Save Log with directories in the way
//          of its file (the failure box's text on standard output), types a
//          line of a no-break space after the log, clicks Save Log again
//          with nothing in the way, types after the log and
//          runs a second pass with the view at the top, which must stay
//          there, and closes the window; the
//          program must end with 0. With WINDOW_DRIVER_WAIT_FOR set to a
//          file name, it waits for that file before saving and closing.
//        window_driver startup-error PROGRAM.exe
//          the program must show the "Application Error" box (its text on
//          standard output) and, once it is answered, end with 1 without
//          having shown its window.
//        window_driver startup PROGRAM.exe [ARGUMENT...]
//          times the program's start-up, for figures rather than a test: from
//          its start until its first window (the main window or a box) shows
//          and answers a message, then, that window closed (WM_CLOSE, or OK
//          for a box), until the program ends; a program that shows no window
//          is timed until it ends. Prints "startup: WINDOW shown MS ms, ended
//          MS ms, exit N" (WINDOW "main", "box" or "none"). Arguments must not
//          hold double quotes.
#include <windows.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/win32_control_ids.h"
#include "platform/win32_file.h"
#include "platform/win32_text.h"

namespace {

int failures = 0;

void Check(bool AHolds, const std::string& AWhat) {
  if (AHolds) return;
  ++failures;
  std::printf("FAILED: %s\n", AWhat.c_str());
  std::fflush(stdout);
}

[[noreturn]] void Fail(const std::string& AWhat) {
  std::printf("FAILED: %s\n", AWhat.c_str());
  std::exit(1);
}

// Polls `AFound` until it gives a window, or fails naming `AWhat`.
HWND WaitFor(const std::function<HWND()>& AFound, const std::string& AWhat, int ASeconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(ASeconds);
  while (std::chrono::steady_clock::now() < deadline) {
    if (HWND window = AFound()) return window;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  Fail("no " + AWhat + " within " + std::to_string(ASeconds) + " s");
}

struct TChild {
  PROCESS_INFORMATION Info{};
  ~TChild() {
    if (Info.hProcess == nullptr) return;
    if (WaitForSingleObject(Info.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(Info.hProcess, 99);
    CloseHandle(Info.hThread);
    CloseHandle(Info.hProcess);
  }
  DWORD ExitCode(int ASeconds) const {
    if (WaitForSingleObject(Info.hProcess, ASeconds * 1000) != WAIT_OBJECT_0) {
      Fail("the program did not end");
    }
    DWORD code = 0;
    GetExitCodeProcess(Info.hProcess, &code);
    return code;
  }
};

void Start(TChild& AChild, const std::string& AProgram,
           const std::vector<std::string>& AArguments = {}) {
  std::wstring commandLine = L"\"" + platform::WideFromUtf8(AProgram) + L"\"";
  for (const std::string& argument : AArguments) {
    commandLine += L" \"" + platform::WideFromUtf8(argument) + L"\"";
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &AChild.Info)) {
    Fail("cannot start " + AProgram);
  }
}

// Asked of the window itself: GetWindowText gives only the caption of
// another process's window, not its edit control's text.
std::string Text(HWND AWindow) {
  std::wstring text(SendMessageW(AWindow, WM_GETTEXTLENGTH, 0, 0) + 1, L'\0');
  text.resize(
      SendMessageW(AWindow, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
  return platform::Utf8FromWide(text);
}

struct TSearch {
  DWORD Process;
  const wchar_t* Class;
  HWND Found;
};

// The child's visible top-level window of class `AClass`.
HWND TopLevelOf(DWORD AProcess, const wchar_t* AClass) {
  TSearch search{AProcess, AClass, nullptr};
  EnumWindows(
      [](HWND AWindow, LPARAM AParam) -> BOOL {
        auto& search = *reinterpret_cast<TSearch*>(AParam);
        DWORD process = 0;
        GetWindowThreadProcessId(AWindow, &process);
        wchar_t name[64] = {};
        GetClassNameW(AWindow, name, 64);
        if (process != search.Process || !IsWindowVisible(AWindow) ||
            std::wstring(name) != search.Class) {
          return TRUE;
        }
        search.Found = AWindow;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

// Answers a message box of the child: returns its caption and text.
std::pair<std::string, std::string> AnswerBox(DWORD AProcess, int ASeconds) {
  HWND box = WaitFor([&] { return TopLevelOf(AProcess, L"#32770"); }, "message box", ASeconds);
  const std::string caption = Text(box);
  const std::string text = Text(GetDlgItem(box, 0xFFFF));
  std::printf("box: %s: %s\n", caption.c_str(), text.c_str());
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  return {caption, text};
}

RECT ClientRectOf(HWND AControl) {
  RECT area{};
  GetWindowRect(AControl, &area);
  MapWindowPoints(HWND_DESKTOP, GetParent(AControl), reinterpret_cast<POINT*>(&area), 2);
  return area;
}

struct TPlace {
  int Id;
  const char* Name;
  int Left, Top, Width, Height;  // a width of 0: sized to the text, not checked
};

// At 96 dpi, the places the window was drawn with; `AGrowX`, `AGrowY` the
// client area's growth past 675 x 505, which the anchors follow.
void CheckPlaces(HWND AWindow, int AGrowX, int AGrowY, int AClientWidth, const char* AState) {
  const int startLeft =
      static_cast<int>(std::lround((116 + 277 / 2.0) * AClientWidth / 675.0 - 277 / 2.0));
  const TPlace places[] = {
      {kProgressBar1Id, "ProgressBar1", 22, 20, 497, 16},
      {kLblWhatHappenId, "lblWhatHappen", 30, 40, 0, 13},
      {kLblPassesId, "lblPasses", 407, 40, 0, 13},
      {kBtnStartId, "start button", startLeft, 70, 277, 25},
      {kBtnSaveId, "btnSave", 592 + AGrowX, 107, 75, 25},
      {kLabel1Id, "Label1", 8, 120, 0, 13},
      {kMemo1Id, "Memo1", 8, 136, 657 + AGrowX, 361 + AGrowY},
  };
  for (const TPlace& place : places) {
    const RECT area = ClientRectOf(GetDlgItem(AWindow, place.Id));
    const std::string where = std::string(place.Name) + " " + AState + " at " +
                              std::to_string(area.left) + "," + std::to_string(area.top) + " " +
                              std::to_string(area.right - area.left) + "x" +
                              std::to_string(area.bottom - area.top);
    Check(area.left == place.Left && area.top == place.Top, where);
    Check(place.Width == 0 || area.right - area.left == place.Width, where);
    Check(area.bottom - area.top == place.Height, where);
  }
}

void CheckClientSize(HWND AWindow, int AWidth, int AHeight, const char* AState) {
  RECT client{};
  GetClientRect(AWindow, &client);
  Check(client.right == AWidth && client.bottom == AHeight,
        std::string("client area ") + AState + " " + std::to_string(client.right) + "x" +
            std::to_string(client.bottom));
}

void CheckWindow(HWND AWindow) {
  Check(Text(AWindow) == "Synch Property Locations (Compatible with Warderly 5.0.3.x or higher)",
        "caption " + Text(AWindow));
  const LONG style = GetWindowLongW(AWindow, GWL_STYLE);
  Check((style & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) ==
                (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX) &&
            !(style & WS_THICKFRAME),
        "a fixed single border with system menu, minimize and maximize");
  const struct {
    int Id;
    const char* Text;
  } texts[] = {
      {kLblWhatHappenId, "[XXXXXX]"},
      {kLblPassesId, "[XXX]"},
      {kBtnStartId, "Start Synchronization Of Property Locations"},
      {kBtnSaveId, "Save Log"},
      {kLabel1Id, "Conflicts Log:"},
      {kMemo1Id, ""},
  };
  for (const auto& text : texts) {
    Check(Text(GetDlgItem(AWindow, text.Id)) == text.Text,
          std::string("text ") + Text(GetDlgItem(AWindow, text.Id)));
  }
  CheckClientSize(AWindow, 675, 505, "at first");
  CheckPlaces(AWindow, 0, 0, 675, "at first");

  SendMessageW(AWindow, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  RECT client{};
  GetClientRect(AWindow, &client);
  Check(client.right > 675 && client.bottom > 505, "maximizing enlarges the window");
  CheckPlaces(AWindow, client.right - 675, client.bottom - 505, client.right, "maximized");
  SendMessageW(AWindow, WM_SYSCOMMAND, SC_RESTORE, 0);
  CheckClientSize(AWindow, 675, 505, "restored");
  CheckPlaces(AWindow, 0, 0, 675, "restored");
}

// Windows names a program in its task bar groups and Task Manager by the
// description in the program's version record.
void CheckDescription(const std::string& AProgram) {
  const std::wstring program = platform::WideFromUtf8(AProgram);
  std::vector<char> record(GetFileVersionInfoSizeW(program.c_str(), nullptr));
  void* description = nullptr;
  UINT length = 0;
  Check(!record.empty() &&
            GetFileVersionInfoW(program.c_str(), 0, static_cast<DWORD>(record.size()),
                                record.data()) &&
            VerQueryValueW(record.data(), L"\\StringFileInfo\\040904B0\\FileDescription",
                           &description, &length) &&
            length > 0 &&
            std::wstring(static_cast<const wchar_t*>(description)) == L"Synch Property Locations",
        "the program's version record describes it as Synch Property Locations");
}

HWND FocusOf(DWORD AThread) {
  GUITHREADINFO thread{};
  thread.cbSize = sizeof thread;
  GetGUIThreadInfo(AThread, &thread);
  return thread.hwndFocus;
}

// The start button has the focus at first; Tab goes on to Memo1, which does
// not take it as a character, to btnSave, and round to the start button.
void CheckTabOrder(DWORD AThread, HWND AWindow) {
  Check(FocusOf(AThread) == GetDlgItem(AWindow, kBtnStartId), "the start button has the focus");
  const struct {
    int Id;
    const char* Name;
  } order[] = {{kMemo1Id, "Memo1"}, {kBtnSaveId, "btnSave"}, {kBtnStartId, "the start button"}};
  for (const auto& next : order) {
    PostMessageW(FocusOf(AThread), WM_KEYDOWN, VK_TAB, 0);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (FocusOf(AThread) != GetDlgItem(AWindow, next.Id) &&
           std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    Check(FocusOf(AThread) == GetDlgItem(AWindow, next.Id),
          std::string("Tab moves the focus to ") + next.Name);
  }
  Check(Text(GetDlgItem(AWindow, kMemo1Id)).empty(), "Tab typed nothing into Memo1");
}

// The last line of text (the one before the empty line after the last
// break) shows inside Memo1, below its first line.
void CheckLogAtEnd(HWND AMemo) {
  const LRESULT lines = SendMessageW(AMemo, EM_GETLINECOUNT, 0, 0);
  const LRESULT lastStart = SendMessageW(AMemo, EM_LINEINDEX, lines - 2, 0);
  const LRESULT position = SendMessageW(AMemo, EM_POSFROMCHAR, lastStart, 0);
  RECT client{};
  GetClientRect(AMemo, &client);
  const int top = static_cast<short>(HIWORD(position));
  Check(SendMessageW(AMemo, EM_GETFIRSTVISIBLELINE, 0, 0) > 0,
        "the log view followed the pass past its first screen");
  Check(position != -1 && top >= 0 && top < client.bottom, "the log's last line shows (at " +
                                                               std::to_string(top) + " of " +
                                                               std::to_string(client.bottom) + ")");
}

// Directories in the current directory under every "ddhhnnss.log" the local
// time gives from now on for `ASeconds`, so that a Save Log clicked meanwhile
// finds one in the way of its file: that stops root too, where a read-only
// directory would not. Removed again on destruction.
class TLogNamesInTheWay {
 public:
  explicit TLogNamesInTheWay(int ASeconds) {
    const std::time_t now = std::time(nullptr);
    for (std::time_t at = now; at <= now + ASeconds; ++at) {
      std::tm local{};
      localtime_s(&local, &at);
      char name[32];
      std::snprintf(name, sizeof name, "%02d%02d%02d%02d.log", local.tm_mday, local.tm_hour,
                    local.tm_min, local.tm_sec);
      if (!CreateDirectoryA(name, nullptr)) Fail(std::string("cannot make directory ") + name);
      FNames.insert(name);
    }
  }
  ~TLogNamesInTheWay() {
    for (const std::string& name : FNames) RemoveDirectoryA(name.c_str());
  }
  TLogNamesInTheWay(const TLogNamesInTheWay&) = delete;
  TLogNamesInTheWay& operator=(const TLogNamesInTheWay&) = delete;
  bool Contains(const std::string& AName) const { return FNames.contains(AName); }

 private:
  std::set<std::string> FNames;
};

// The regular files "*.log" in the current directory.
std::vector<std::string> LogFiles() {
  std::vector<std::string> files;
  WIN32_FIND_DATAA found{};
  const HANDLE search = FindFirstFileA("*.log", &found);
  if (search == INVALID_HANDLE_VALUE) return files;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.push_back(found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return files;
}

// Save Log whose file cannot be created goes to the default handler: a box
// under the application title naming the file and the system's reason, and
// once it is answered the window goes on as it was, with no file written.
void SaveLogFailure(DWORD AProcess, HWND AWindow) {
  HWND memo = GetDlgItem(AWindow, kMemo1Id);
  const std::string log = Text(memo);
  wchar_t current[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, current);
  const std::string prefix = "Cannot create file \"" + platform::Utf8FromWide(current) + "\\";
  const std::string suffix = "\". " + platform::SystemReason(ERROR_ACCESS_DENIED);
  {
    const TLogNamesInTheWay inTheWay(120);
    // Posted: the box is modal, so a sent click would return only once it
    // is answered.
    PostMessageW(GetDlgItem(AWindow, kBtnSaveId), BM_CLICK, 0, 0);
    const auto [caption, text] = AnswerBox(AProcess, 60);
    Check(caption == "Synch Property Locations", "the failure box's caption " + caption);
    Check(text.size() == prefix.size() + 12 + suffix.size() && text.starts_with(prefix) &&
              inTheWay.Contains(text.substr(prefix.size(), 12)) && text.ends_with(suffix),
          "the failure box names a file in the way and why: " + text);
    WaitFor([&] { return TopLevelOf(AProcess, L"#32770") == nullptr ? AWindow : nullptr; },
            "end of the failure box", 30);
  }
  Check(TopLevelOf(AProcess, kMainFormClassName) == AWindow, "the window is still up");
  Check(Text(memo) == log, "the log stays as it was");
  const std::vector<std::string> files = LogFiles();
  Check(files.empty(), "the failed Save Log wrote no file" +
                           (files.empty() ? std::string() : " (" + files[0] + ")"));
}

// The operator adds a line of a no-break space after the log (Enter and
// Shift+Enter both reach the edit control as a carriage return), which Save
// Log must keep as it stands: byte A0 in code page 1252, then CR LF.
void TypeNoBreakSpaceLine(HWND AWindow) {
  HWND memo = GetDlgItem(AWindow, kMemo1Id);
  const std::string log = Text(memo);
  SendMessageW(memo, EM_SETSEL, -1, -1);
  SendMessageW(memo, WM_CHAR, 0x00A0, 0);
  SendMessageW(memo, WM_CHAR, L'\r', 0);
  Check(Text(memo) == log + "\u00A0\r\n", "the typed line is a no-break space and a line break");
}

// The operator types after the last line, then goes back to the top of the
// log: a second pass appends its lines (`APassLog`, as the first pass left
// them) after a line break of their own and leaves the view and the caret
// where the operator put them.
void SecondPass(DWORD AProcess, HWND AWindow, const std::string& APassLog) {
  HWND memo = GetDlgItem(AWindow, kMemo1Id);
  const std::string first = Text(memo);
  SendMessageW(memo, EM_SETSEL, -1, -1);
  SendMessageW(memo, WM_CHAR, L'x', 0);
  SendMessageW(memo, EM_SETSEL, 0, 0);
  SendMessageW(memo, WM_VSCROLL, SB_TOP, 0);
  PostMessageW(GetDlgItem(AWindow, kBtnStartId), BM_CLICK, 0, 0);
  AnswerBox(AProcess, 120);
  const std::string expected = first + "x\r\n" + APassLog.substr(0, APassLog.size() - 2);
  Check(Text(memo) == expected, "the second pass's lines follow the typed text after a break");
  DWORD selStart = 1;
  DWORD selEnd = 1;
  SendMessageW(memo, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart),
               reinterpret_cast<LPARAM>(&selEnd));
  Check(selStart == 0 && selEnd == 0, "the caret stays at the top");
  Check(SendMessageW(memo, EM_GETFIRSTVISIBLELINE, 0, 0) == 0, "the view stays at the top");
}

int Pass(const std::string& AProgram, const std::string& AMemoFile) {
  CheckDescription(AProgram);
  TChild child;
  Start(child, AProgram);
  HWND window = WaitFor([&] { return TopLevelOf(child.Info.dwProcessId, kMainFormClassName); },
                        "main window", 60);
  CheckWindow(window);
  CheckTabOrder(child.Info.dwThreadId, window);

  PostMessageW(GetDlgItem(window, kBtnStartId), BM_CLICK, 0, 0);
  const auto [caption, text] = AnswerBox(child.Info.dwProcessId, 120);
  Check(caption == "Synch Property Locations", "the box's caption " + caption);
  CheckLogAtEnd(GetDlgItem(window, kMemo1Id));
  const std::string passLog = Text(GetDlgItem(window, kMemo1Id));
  std::ofstream(AMemoFile, std::ios::binary) << passLog;
  // Someone may want to look at the window first (a screenshot).
  if (const char* file = std::getenv("WINDOW_DRIVER_WAIT_FOR")) {
    WaitFor([&] { return GetFileAttributesA(file) != INVALID_FILE_ATTRIBUTES ? window : nullptr; },
            "signal to go on", 60);
  }

  SaveLogFailure(child.Info.dwProcessId, window);
  TypeNoBreakSpaceLine(window);
  SendMessageW(GetDlgItem(window, kBtnSaveId), BM_CLICK, 0, 0);
  SecondPass(child.Info.dwProcessId, window, passLog);
  PostMessageW(window, WM_CLOSE, 0, 0);
  Check(child.ExitCode(30) == 0, "the program ends with 0 once closed");
  return failures == 0 ? 0 : 1;
}

int StartupError(const std::string& AProgram) {
  TChild child;
  Start(child, AProgram);
  const auto [caption, text] = AnswerBox(child.Info.dwProcessId, 60);
  Check(caption == "Application Error", "the start-up box's caption " + caption);
  Check(TopLevelOf(child.Info.dwProcessId, kMainFormClassName) == nullptr,
        "no main window beside the start-up error");
  Check(child.ExitCode(30) == 1, "the program ends with 1");
  return failures == 0 ? 0 : 1;
}

int Startup(const std::string& AProgram, const std::vector<std::string>& AArguments) {
  using TClock = std::chrono::steady_clock;
  const auto Milliseconds = [](TClock::duration AElapsed) {
    return std::chrono::duration<double, std::milli>(AElapsed).count();
  };
  TChild child;
  const TClock::time_point started = TClock::now();
  Start(child, AProgram, AArguments);
  const DWORD process = child.Info.dwProcessId;
  HWND window = nullptr;
  const char* kind = "none";
  // Polled finely: the figure is meant to the millisecond or so.
  while (WaitForSingleObject(child.Info.hProcess, 1) == WAIT_TIMEOUT) {
    if ((window = TopLevelOf(process, kMainFormClassName))) {
      kind = "main";
    } else if ((window = TopLevelOf(process, L"#32770"))) {
      kind = "box";
    }
    if (window != nullptr) break;
  }
  double shown = 0;
  if (window != nullptr) {
    // Visible is not yet usable: the round trip waits for its message loop.
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &ignored)) {
      Fail("the window does not answer");
    }
    shown = Milliseconds(TClock::now() - started);
    if (std::string(kind) == "main") {
      PostMessageW(window, WM_CLOSE, 0, 0);
    } else {
      PostMessageW(window, WM_COMMAND, IDOK, 0);
    }
  }
  const DWORD code = child.ExitCode(600);
  std::printf("startup: %s shown %.1f ms, ended %.1f ms, exit %lu\n", kind, shown,
              Milliseconds(TClock::now() - started), code);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 2 ? argv[1] : "";
  if (mode == "pass" && argc == 4) return Pass(argv[2], argv[3]);
  if (mode == "startup-error" && argc == 3) return StartupError(argv[2]);
  if (mode == "startup") return Startup(argv[2], std::vector<std::string>(argv + 3, argv + argc));
  std::fprintf(stderr,
               "usage: window_driver pass PROGRAM.exe MEMO_FILE\n"
               "       window_driver startup-error PROGRAM.exe\n"
               "       window_driver startup PROGRAM.exe [ARGUMENT...]\n");
  return 2;
}
