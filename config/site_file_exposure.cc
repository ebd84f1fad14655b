#include "config/site_file_exposure.h"

#include "config/ini_file_reader.h"
#include "db/connect_string/format.h"
#include "platform/others_may_read.h"

bool SiteFileExposesPassword(const std::string& AIniFile, const platform::Disk& ADisk) {
  return platform::OthersMayRead(AIniFile) &&
         HoldsPassword(ReadIniFile(AIniFile, ADisk).ReadString("DataProvider", "ConnStr", ""));
}
