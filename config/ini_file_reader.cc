#include "config/ini_file_reader.h"

#include <optional>

#include "config/ini_text.h"
#include "platform/whole_file.h"

TIniValues ReadIniFile(const std::string& AFileName, const platform::Disk& ADisk) {
  const std::optional<std::string> file =
      AFileName.empty() ? std::nullopt : ADisk.FindFile(AFileName);
  if (!file) return TIniValues::Parse("");
  return TIniValues::Parse(IniTextFromBytes(platform::ReadWholeFile(*file)));
}
