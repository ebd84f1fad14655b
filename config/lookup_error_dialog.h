// The question a visual designer asks when a registry lookup fails while it
// hosts the configuration component: the error, and whether to skip such
// lookups from then on. The designer supplies it; the program never does.
#pragma once

#include <string>

class TLookupErrorDialog {
 public:
  virtual ~TLookupErrorDialog() = default;

  // Shows `AText` as an error with the buttons Yes and No and waits for the
  // answer; true for Yes.
  virtual bool AskYesNo(const std::string& AText) = 0;
};
