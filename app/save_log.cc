#include "app/save_log.h"

#include <cstdio>

#include "platform/ansi_text.h"
#include "platform/new_file.h"

std::string LogFileName(const std::tm& ALocal) {
  char name[32];
  std::snprintf(name, sizeof name, "%02d%02d%02d%02d.log", ALocal.tm_mday, ALocal.tm_hour,
                ALocal.tm_min, ALocal.tm_sec);
  return name;
}

std::string SavedLogBytes(std::string_view ALogText) {
  if (ALogText.empty()) return {};
  if (platform::AnsiCodePageIsUtf8()) return "\xEF\xBB\xBF" + std::string(ALogText);
  return platform::AnsiFromUtf8(ALogText);
}

void SaveLogAs(const std::string& AFileName, std::string_view ALogText) {
  platform::WriteNewFile(AFileName, SavedLogBytes(ALogText));
}

void SaveLog(std::string_view ALogText) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#if defined(_WIN32)
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  SaveLogAs(LogFileName(local), ALogText);
}
