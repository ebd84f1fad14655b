#!/bin/sh
# Runs a cross-built Windows program under wine64, headless, for ctest and
# GoogleTest's test discovery. The wine prefix ($WINEPREFIX, or one per user
# under the temporary directory) is made once, under a lock, since parallel
# tests may be the first to need it. Wine takes its ANSI code page from the
# Unix locale, so the machine's locale is not let through: C.UTF-8 gives code
# page 1252 on every Debian machine, and a test that wants another code page
# names its locale in WINE_LOCALE.
set -eu
export LANG="${WINE_LOCALE:-C.UTF-8}" LC_ALL="${WINE_LOCALE:-C.UTF-8}"
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
prefix=${WINEPREFIX:-${TMPDIR:-/tmp}/synch-wine-$(id -u)}
export WINEPREFIX="$prefix" WINEDEBUG=${WINEDEBUG:--all}
if [ ! -e "$prefix/system.reg" ]; then
  mkdir -p "$(dirname "$prefix")"
  flock "$prefix.lock" sh -c '[ -e "$1/system.reg" ] || "$2" wineboot --init >/dev/null 2>&1' \
    sh "$prefix" "$wine"
fi
exec "$wine" "$@"
