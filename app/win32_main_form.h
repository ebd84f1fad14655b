// The main window on the system's own controls: the start button, the
// progress bar and two labels the pass drives, the conflicts log Memo1 and
// the Save Log button, at their places at 96 dpi scaled to the monitor's
// resolution. It owns the window's components and shows the synchronization
// pass through ISynchView. Its controls carry the identifiers of
// app/win32_control_ids.h.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "app/main_form_components.h"
#include "app/win32_handles.h"
#include "app/win32_log_view.h"
#include "sync/progress_model.h"
#include "sync/synch_view.h"

class TfrmSynchPropertyLocationsMain : public ISynchView {
 public:
  // Restores the components (TMainFormComponents on `ADisk`), creates the
  // window hidden, centred on the primary monitor's work area, and runs
  // FormCreate. Errors propagate: start-up ends. The process should be
  // per-monitor DPI aware.
  explicit TfrmSynchPropertyLocationsMain(const platform::Disk& ADisk);
  ~TfrmSynchPropertyLocationsMain() override;

  TfrmSynchPropertyLocationsMain(const TfrmSynchPropertyLocationsMain&) = delete;
  TfrmSynchPropertyLocationsMain& operator=(const TfrmSynchPropertyLocationsMain&) = delete;

  HWND Handle() const { return FWindow.get(); }
  TMainFormComponents& Components() const { return *FComponents; }

  // Shows the window with the start button focused.
  void Show(int AShowCommand);

  // Memo1's whole text, UTF-8, each line break as CR LF.
  std::string LogText() const;

  // The start button's click: the synchronization pass, and nothing else.
  void GoSynchPropertyLocations();
  // btnSave's click: SaveLog(LogText()); throws Exception when the file
  // cannot be created.
  void btnSaveClick();

  void SetProgressPosition(int APosition) override;
  void SetProgressMax(int AMax) override;
  void SetProgressStep(int AStep) override;
  void StepProgress() override;
  void SetPassesCaption(const std::string& ACaption) override;
  void RepaintPasses() override;
  void SetWhatHappenCaption(const std::string& ACaption) override;
  void RepaintWhatHappen() override;
  // Appends `ALine` by TLogView's rule.
  void AppendLogLine(const std::string& ALine) override;
  void RepaintWindow() override;
  void ShowMessage(const std::string& AText) override;

 private:
  static LRESULT CALLBACK WindowProc(HWND AWindow, UINT AMessage, WPARAM AWParam, LPARAM ALParam);
  LRESULT HandleMessage(UINT AMessage, WPARAM AWParam, LPARAM ALParam);

  // `APixels` at 96 dpi in the monitor's pixels.
  int Scaled(int APixels) const;
  void CreateControls();
  HWND CreateControl(const wchar_t* AClass, const std::string& AText, DWORD AStyle, int AId,
                     int ALeft, int ATop, int AWidth, int AHeight, DWORD AExStyle = 0);
  void ShowProgress();
  // Sets a label's text and sizes it to the text; returns the area of the
  // window it covered before and covers now, which its repaint must paint.
  RECT SetCaption(HWND ALabel, const std::string& ACaption);
  void SizeToText(HWND ALabel);
  void Repaint(const RECT* AArea);
  void LayOut(int AClientWidth, int AClientHeight);
  // Runs a click handler as the application's default handler would: an
  // error that escapes it is shown in an error box, and the program goes on.
  void HandleClick(void (TfrmSynchPropertyLocationsMain::*AHandler)());

  std::unique_ptr<TMainFormComponents> FComponents;
  UINT FDpi = USER_DEFAULT_SCREEN_DPI;
  SIZE FNormalClient{};
  TProgressModel FBar;
  TOwnedFont FFont;
  TOwnedFont FBoldFont;
  TOwnedWindow FWindow;
  HWND FFocused = nullptr;
  RECT FPassesArea{};
  RECT FWhatHappenArea{};
  HWND ProgressBar1 = nullptr;
  HWND lblWhatHappen = nullptr;
  HWND lblPasses = nullptr;
  HWND btnStart = nullptr;
  HWND btnSave = nullptr;
  HWND Label1 = nullptr;
  HWND Memo1 = nullptr;
  std::unique_ptr<TLogView> FLog;
};
