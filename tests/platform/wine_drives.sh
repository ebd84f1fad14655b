#!/bin/sh
# Makes the wine prefix PREFIX with four more drives than wine's own C: and
# Z:, each a folder below DRIVES: Q: a CD-ROM, R: a network drive, S: a
# removable one and T: a fixed one (marked by its file synch-test-drives), so
# that tests see every kind of drive the configuration search tells apart
# through the real GetDriveTypeW. WINE_RUN is the project's wine runner.
# Nothing is done when the prefix is ready.
set -eu
prefix=$1 drives=$2 wine_run=$3
[ -e "$prefix/drives-ready" ] && exit 0
export WINEPREFIX="$prefix"
"$wine_run" cmd /c exit >/dev/null 2>&1
for letter in q r s t; do
  mkdir -p "$drives/$letter"
  ln -sfn "$drives/$letter" "$prefix/dosdevices/$letter:"
done
cat >"$prefix/drive_c/drives.reg" <<'REG'
REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Wine\Drives]
"q:"="cdrom"
"r:"="network"
"s:"="floppy"
"t:"="hd"
REG
"$wine_run" regedit /S 'C:\drives.reg'
# Wine's mount manager reads the drive types when its server starts.
"$(dirname "$(command -v wine64 || echo /usr/lib/wine/wine64)")/wineserver" -k || true
touch "$drives/t/synch-test-drives" "$prefix/drives-ready"
