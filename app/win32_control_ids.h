// The main window's controls by their Win32 identifiers: the window finds
// them by these, and so does anything that drives the window from outside
// (GetDlgItem on the window "TfrmSynchPropertyLocationsMain").
#pragma once

enum TMainFormControlId : int {
  kProgressBar1Id = 101,
  kLblWhatHappenId = 102,
  kLblPassesId = 103,
  kBtnStartId = 104,
  kBtnSaveId = 105,
  kLabel1Id = 106,
  kMemo1Id = 107,
};

// The main window's class name.
inline constexpr wchar_t kMainFormClassName[] = L"TfrmSynchPropertyLocationsMain";
