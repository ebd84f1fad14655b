// The library path of a site: written in the configuration file absolute, or
// relative to the drive or the folder of the configuration file.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/full_path_name.h"
#include "platform/universal_name.h"

// `ALibPath` expanded against `AIniFile` (the configuration file's name in
// Windows form):
//  - "\\..." or "X:..." (two characters at least) is absolute and stays;
//  - "\..." gets the drive of `AIniFile` in front ("X:", or "\\server\share"
//    for a network name; nothing for a relative name);
//  - anything else, empty too, is taken in the folder of `AIniFile` and made
//    a full path with `AFullPath`; when that starts with a drive letter, the
//    drive's network form from `AUniversalName` replaces it, if it has one.
std::string ExpandLibPath(
    const std::string& ALibPath, const std::string& AIniFile,
    const std::function<std::string(const std::string&)>& AFullPath = platform::FullPathName,
    const std::function<std::optional<std::string>(const std::string&)>& AUniversalName =
        platform::UniversalName);
