#!/usr/bin/env bash
# The cross-built window program under wine on a virtual display, driven by
# window_driver.exe as an operator would, against the Linux stand-in, beside
# the Linux console runner on a second stand-in loaded the same way. The
# window must start from an installed site, settle the same flags, show the
# same log, answer a Save Log whose file cannot be created with a box and go
# on, save the log (and a no-break space the operator typed) in code page
# 1252, and end start-up that cannot reach its
# site with the "Application Error" box and exit code 1.
#
# usage: window_under_wine.sh WINDOW.exe DRIVER.exe LINUX_BUILD_DIR WINE_RUN [SCREENSHOT.png]
#   run under xvfb-run; with SCREENSHOT.png, the screen after the pass is saved there.
set -euo pipefail
window=$(realpath "$1") driver=$(realpath "$2") linux_build=$(realpath "$3")
wine_run=$(realpath "$4") screenshot=${5:+$(realpath "$5")}
standin=$linux_build/standin/server/sqlserver-standin
jailgen=$linux_build/standin/jailgen/jailgen
linux_runner=$linux_build/app/synch-property-locations-run
for tool in "$standin" "$jailgen" "$linux_runner"; do
  [[ -x $tool ]] || { echo "missing $tool: build the Linux preset first" >&2; exit 1; }
done
[[ -n ${DISPLAY:-} ]] || { echo "no display: run under xvfb-run" >&2; exit 1; }

work=$(mktemp -d /tmp/window-under-wine.XXXXXX)
# A wine prefix of its own: the shared one's wineserver and desktop may
# have been started by a headless test, and then no window of this display
# ever shows.
export WINEPREFIX=$work/prefix
wineserver=$(dirname "$(command -v wine64 || echo /usr/lib/wine/wine64)")/wineserver
servers=()
trap 'kill "${servers[@]}" 2>/dev/null; wait 2>/dev/null; "$wineserver" -k 2>/dev/null
      rm -rf "$work"' EXIT
jail_options=''
source "$(dirname "$0")/wine_site.sh"

windows_path() { local path=$1; echo "Z:${path//\//\\}"; }

# Installs the window program in a site under `work`/$1 with the
# configuration file on standard input (none when empty); prints the
# program's Windows path.
install_site() {
  local site=$work/$1/Apps
  mkdir -p "$site/VANTOR.APP/Jail"
  cp "$window" "$site/VANTOR.APP/Jail/"
  local ini
  ini=$(cat)
  if [[ -n $ini ]]; then
    mkdir -p "$site/Vantor.Cfg"
    printf '%s' "$ini" >"$site/Vantor.Cfg/Vantor.ini"
  fi
  windows_path "$site/VANTOR.APP/Jail/$(basename "$window")"
}

start_up_fails() {
  local program=$1 why=$2
  "$wine_run" "$driver" startup-error "$program" >"$work/startup.out" 2>&1 ||
    fail "start-up $why: $(cat "$work/startup.out")"
  tr -d '\r' <"$work/startup.out" | grep '^box: Application Error: ' ||
    fail "start-up $why: no error box"
}

[[ ! -e /Vantor.Cfg/Vantor.ini ]] || fail "this machine has /Vantor.Cfg/Vantor.ini"
start_up_fails "$(install_site no-ini </dev/null)" "without Vantor.ini"
start_up_fails "$(printf '[DataProvider]\r\nConnStr=Data Source=127.0.0.1;Port=1;Initial Catalog=VANTOR;User ID=sa\r\n' |
  install_site unreachable)" "with an unreachable site database"

start_standin windows
windows_port=$port
start_standin linux
linux_port=$port
program=$(load_jail windows "$windows_port" | install_site windows)
linux_site=$work/linux/Apps
mkdir -p "$linux_site/VANTOR.APP/Jail" "$linux_site/Vantor.Cfg"
load_jail linux "$linux_port" >"$linux_site/Vantor.Cfg/Vantor.ini"
cp "$linux_runner" "$linux_site/VANTOR.APP/Jail/"
before=$(flags "$windows_port")

cd "$work/windows"
if [[ -n $screenshot ]]; then
  # The window lingers after the pass until the picture is taken, cut to
  # the window from the empty desktop around it.
  (while [[ ! -e memo.txt ]]; do sleep 0.2; done; sleep 1
   import -window root png:- | convert - -trim +repage "$screenshot"
   touch shot.done) &
  export WINDOW_DRIVER_WAIT_FOR=$(windows_path "$work/windows/shot.done")
fi
"$wine_run" "$driver" pass "$program" memo.txt 2>&1 | tr -d '\r' >driver.out ||
  fail "the window's pass: $(cat driver.out)"
grep -qx 'box: Synch Property Locations: Property Locations Synchronization Completed' driver.out ||
  fail "the pass did not complete"
cd "$work/linux"
LANG=C.UTF-8 LC_ALL=C.UTF-8 "$linux_site/VANTOR.APP/Jail/$(basename "$linux_runner")" \
  --log pass.log >out.txt 2>err.txt || fail "the Linux runner ended with $?"

after=$(flags "$windows_port")
[[ $before != "$after" ]] || fail "the sample jail had no flag to settle"
[[ $after == "$(flags "$linux_port")" ]] || fail "the window and the runner settled different flags"
tail -c +4 "$work/linux/pass.log" | cmp -s - "$work/windows/memo.txt" ||
  fail "the window's log differs from the runner's"

saved=("$work"/windows/[0-9][0-9][0-9][0-9][0-9][0-9][0-9][0-9].log)
[[ -e ${saved[0]} ]] || fail "Save Log wrote no ddhhnnss.log"
# The operator added a line of one no-break space before saving.
iconv -f CP1252 -t UTF-8 "${saved[0]}" |
  cmp -s - <(cat "$work/windows/memo.txt"; printf '\xC2\xA0\r\n') ||
  fail "the saved log is not the window's log and the typed line in code page 1252"
tail -c 3 "${saved[0]}" | cmp -s - <(printf '\xA0\r\n') ||
  fail "the saved log does not end in the typed no-break space, as byte A0, and CR LF"
LC_ALL=C grep -q $'\xC9lise' "${saved[0]}" || fail "the saved log lacks a name in code page 1252"
echo "the window settled $(wc -l <<<"$after") flags, showed $(grep -c '' "$work/windows/memo.txt") log lines and saved them in code page 1252"
