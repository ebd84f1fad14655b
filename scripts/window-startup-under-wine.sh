#!/usr/bin/env bash
# Start-up figures of the cross-built programs under wine, for notes rather
# than a test (no part of ctest): the Win32 window against the console runner,
# both from one installed site on the Linux stand-in with the sample jail, as
# packaged (stripped), and the sizes of both .exe files stripped and not.
# window_driver.exe starts each program and times it from its start: the
# window until it shows and answers a message, then until it ends once closed;
# a site without Vantor.ini until the "Application Error" box and until the
# program ends once it is answered; the runner, which shows nothing, until it
# ends. The full pass runs on a freshly loaded jail each time. The cases take
# turns, so a busy machine slows them alike; one throw-away round warms the
# private wine prefix first. Prints the median and range of each case.
#
# usage: xvfb-run -a scripts/window-startup-under-wine.sh [RUNS]   (default 9)
#   needs build-windows (window_driver, synch-property-locations,
#   synch-property-locations-run) and build (stand-in, jailgen).
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-9}
window=build-windows/app/synch-property-locations.exe
runner=build-windows/app/synch-property-locations-run.exe
driver=$(realpath build-windows/tests/wine/window_driver.exe)
wine_run=$(realpath cmake/wine-run.sh)
standin=$(realpath build/standin/server/sqlserver-standin)
jailgen=$(realpath build/standin/jailgen/jailgen)
for tool in "$window" "$runner" "$driver" "$standin" "$jailgen"; do
  [[ -x $tool ]] || { echo "missing $tool: build it first" >&2; exit 1; }
done
[[ -n ${DISPLAY:-} ]] || { echo "no display: run under xvfb-run" >&2; exit 1; }
[[ ! -e /Vantor.Cfg/Vantor.ini ]] || { echo "this machine has /Vantor.Cfg/Vantor.ini" >&2; exit 1; }

work=$(mktemp -d /tmp/window-startup.XXXXXX)
# Its own prefix, as window_under_wine.sh explains.
export WINEPREFIX=$work/prefix
wineserver=$(dirname "$(command -v wine64 || echo /usr/lib/wine/wine64)")/wineserver
servers=()
trap 'kill "${servers[@]}" 2>/dev/null; wait 2>/dev/null; "$wineserver" -k 2>/dev/null
      rm -rf "$work"' EXIT
# xvfb has no window manager, and wine waits 2 s for one to withdraw each
# managed window a program hides, which would pass for the program's exit.
"$wine_run" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
jail_options=''
source tests/wine/wine_site.sh

windows_path() { local path=$1; echo "Z:${path//\//\\}"; }

# A site under `work`/$1 with both programs, stripped unless $2 is
# "unstripped", and no Vantor.ini yet.
install_site() {
  local jail=$work/$1/Apps/VANTOR.APP/Jail
  mkdir -p "$jail" "$work/$1/Apps/Vantor.Cfg"
  cp "$window" "$runner" "$jail/"
  [[ ${2:-} == unstripped ]] || x86_64-w64-mingw32-strip "$jail"/*.exe
}
program() { windows_path "$work/$1/Apps/VANTOR.APP/Jail/$(basename "$2")"; }

install_site site
install_site unstripped unstripped
install_site no-ini
install_site pass
start_standin standin
load_jail standin "$port" | tee "$work/unstripped/Apps/Vantor.Cfg/Vantor.ini" \
  >"$work/site/Apps/Vantor.Cfg/Vantor.ini"
rmdir "$work/no-ini/Apps/Vantor.Cfg"

# name|site|program|arguments: the driver's arguments per case.
cases=(
  "window, site|site|$window|"
  "window, site, unstripped|unstripped|$window|"
  "window, no Vantor.ini|no-ini|$window|"
  "runner --help|site|$runner|--help"
  "runner, no Vantor.ini|no-ini|$runner|"
  "runner, full pass|pass|$runner|"
)

# Runs case $1, after a fresh jail for the full pass; appends its figures to
# `work`/figures.$1.
run_case() {
  local name site exe arguments
  IFS='|' read -r name site exe arguments <<<"${cases[$1]}"
  if [[ $site == pass ]]; then
    start_standin "pass.$RANDOM"
    load_jail pass "$port" >"$work/pass/Apps/Vantor.Cfg/Vantor.ini"
  fi
  (cd "$work/$site" && "$wine_run" "$driver" startup "$(program "$site" "$exe")" $arguments) \
    2>&1 | tr -d '\r' | grep '^startup: ' >>"$work/figures.$1" ||
    fail "$name: no figures"
  if [[ $site == pass ]]; then
    kill "${servers[-1]}"
    wait "${servers[-1]}" 2>/dev/null || true
  fi
}

for round in $(seq 0 "$runs"); do
  for i in "${!cases[@]}"; do run_case "$i"; done
  [[ $round != 0 ]] || rm -f "$work"/figures.*
done

# Median (of an odd count, the middle one) and range of column $1 of stdin.
summary() {
  sort -n | awk '{ v[NR] = $1 } END { printf "%8.1f  (%.1f-%.1f)", v[int((NR + 1) / 2)], v[1], v[NR] }'
}
echo "median ms (min-max) of $runs runs under wine, $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-26s %-6s %-24s %-24s %s\n' case window "until shown" "whole process" exit
for i in "${!cases[@]}"; do
  IFS='|' read -r name _ <<<"${cases[$i]}"
  figures=$work/figures.$i
  shown=-
  grep -q '^startup: none ' "$figures" || shown=$(awk '{ print $4 }' "$figures" | summary)
  printf '%-26s %-6s %-24s %-24s %s\n' "$name" "$(awk '{ print $2 }' "$figures" | sort -u | paste -sd/)" \
    "$shown" "$(awk '{ print $7 }' "$figures" | summary)" \
    "$(awk '{ print $10 }' "$figures" | sort -u | paste -sd/)"
done
echo
echo "sizes in bytes: program, as built, stripped as packaged"
for exe in "$window" "$runner"; do
  printf '%-34s %10s %10s\n' "$(basename "$exe")" "$(stat -c %s "$exe")" \
    "$(stat -c %s "$work/site/Apps/VANTOR.APP/Jail/$(basename "$exe")")"
done
