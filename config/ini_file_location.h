// Where the site configuration file is. Products are installed in a folder
// named "VANTOR.APP" (or below it) and keep "Vantor.ini" in the sibling folder
// "Vantor.Cfg"; failing that, a "Vantor.Cfg" folder at a drive's root serves.
// A mobile installation instead keeps "Rovane.ini" beside the program.
// Names are in Windows form ("\" separators, drive letters) on every host;
// nothing is cached, every call looks at the disks again.
#pragma once

#include <string>

#include "platform/disk.h"

// The site configuration file found from the folder of `AStartFile` (of the
// running program when `AStartFile` is empty), in the form `ADisk` opens it by
// (on POSIX hosts the POSIX path, relative when the candidate was). Tries, in
// order: "Rovane.ini" in that folder; ConfigFolderFromPath(folder) +
// "Vantor.ini"; the folder's drive's "\Vantor.Cfg\Vantor.ini"; then the same on
// every fixed or network drive from C: to Z:. Throws EIniFileException "Vantor.ini
// not found." when none exists, its PlacesLookedAt() every name above looked
// at; EIniFileException "Rovane.ini not found" when the mobile file went away
// while being looked at.
std::string LocateIniFile(const std::string& AStartFile,
                          const platform::Disk& ADisk = platform::SystemDisk());

// Whether Trim(FolderPart(`AFolder`)) + "Rovane.ini" exists: the mark of a
// mobile installation. A folder ending in "\" is taken whole.
bool MobileIniExists(const std::string& AFolder,
                     const platform::Disk& ADisk = platform::SystemDisk());

// The product configuration folder beside program folder `AProgramFolder`:
// its text (trimmed, "/" turned into "\") in front of the first "VANTOR.APP",
// matched in any letter case and not necessarily a whole folder name, followed
// by "Vantor.Cfg\". Just "Vantor.Cfg\", a relative name, when the marker is
// missing or opens the text.
std::string ConfigFolderFromPath(const std::string& AProgramFolder);
