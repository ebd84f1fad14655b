#!/usr/bin/env bash
# The Debian package as a site receives it, unpacked into a scratch root
# (dpkg -x) and checked with Debian's own tools, or run there.
#
# usage: package_test.sh CHECK PACKAGE_DIR [BUILD_DIR]
#   build:          cpack makes the package in PACKAGE_DIR from BUILD_DIR
#   contents:       the files, links and declared dependencies a site gets
#   lintian:        lintian finds no error (every tag is printed)
#   manual-pages:   man renders each page without a warning
#   desktop-entry:  desktop-file-validate accepts the entry; its command and
#                   icon are in the package
#   systemd-units:  systemd-analyze verify accepts the units, in the root
#   installed-run:  the runner from the root, started by its /usr/bin name,
#                   finds the site file where a site keeps it, completes a pass
#                   against a stand-in and saves its log; the scheduled pass
#                   does the same and dates its log. Needs BUILD_DIR (the
#                   stand-in and jailgen).
# A check whose tool is missing exits 77, which ctest reports as skipped.
set -euo pipefail
check=$1 package_dir=$2 build_dir=${3:-}
name=synch-property-locations
lib=usr/lib/$name

fail() { echo "FAILED: $*" >&2; exit 1; }
need() {
  command -v "$1" >/dev/null ||
    { echo "SKIPPED: $1 is not installed (scripts/install-deps.sh installs it)"; exit 77; }
}

if [[ $check == build ]]; then
  rm -rf "$package_dir"
  exec "${CPACK_COMMAND:-cpack}" -G DEB --config "$build_dir/CPackConfig.cmake" -B "$package_dir"
fi

packages=("$package_dir"/${name}_*.deb)
((${#packages[@]} == 1)) && [[ -f ${packages[0]} ]] ||
  fail "expected one package in $package_dir: ${packages[*]}"
package=${packages[0]}
work=$(mktemp -d "${TMPDIR:-/tmp}/debian-package.XXXXXX")
servers=()
trap '((${#servers[@]} == 0)) || kill "${servers[@]}" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
root=$work/root
dpkg-deb -x "$package" "$root"

case $check in
  contents)
    dpkg-deb -c "$package" | awk '{ print $1 " " $6 ($7 ? " " $7 " " $8 : "") }' |
      sed 's|^\(.\)[^ ]* \./|\1 |' | grep -v '^d ' | LC_ALL=C sort >"$work/files"
    LC_ALL=C sort >"$work/expected" <<LIST
- $lib/VANTOR.APP/Jail/$name
- $lib/VANTOR.APP/Jail/$name-run
- $lib/scheduled-pass
- usr/lib/systemd/system/$name.service
- usr/lib/systemd/system/$name.timer
- usr/share/applications/$name.desktop
- usr/share/doc/$name/changelog.gz
- usr/share/doc/$name/copyright
- usr/share/doc/$name/examples/Vantor.ini
- usr/share/icons/hicolor/scalable/apps/$name.svg
- usr/share/man/man1/$name-run.1.gz
- usr/share/man/man1/$name.1.gz
l $lib/Vantor.Cfg -> /etc/Vantor.Cfg
l usr/bin/$name -> ../lib/$name/VANTOR.APP/Jail/$name
l usr/bin/$name-run -> ../lib/$name/VANTOR.APP/Jail/$name-run
LIST
    diff -u "$work/expected" "$work/files" || fail "the package holds other files than a site's"
    for program in "$name" "$name-run"; do
      [[ -x $root/$lib/VANTOR.APP/Jail/$program && -x $root/usr/bin/$program ]] ||
        fail "usr/bin/$program does not reach an executable program in the package"
    done
    [[ -x $root/$lib/scheduled-pass ]] || fail "the scheduled pass is not executable"
    # The site file is the site's: nothing in /etc, no conffile, no script
    # that could write one or enable a unit.
    dpkg-deb --ctrl-tarfile "$package" | tar -t | sed 's|^\./||' | grep -v '^$' | LC_ALL=C sort |
      tr '\n' ' ' | grep -qx 'control md5sums ' ||
      fail "the control archive holds more than control and md5sums: $(dpkg-deb --ctrl-tarfile "$package" | tar -t)"
    depends=$(dpkg-deb -f "$package" Depends)
    for dependency in tdsodbc qt6-qpa-plugins libodbc2 libqt6widgets6; do
      [[ ", $depends," == *", $dependency"[\ ,]* ]] || fail "Depends lacks $dependency: $depends"
    done
    version=$(dpkg-deb -f "$package" Version)
    zcat "$root/usr/share/doc/$name/changelog.gz" | head -n 1 | grep -q "^$name ($version) " ||
      fail "the changelog's latest entry is not version $version"
    grep -qx '\[DataProvider\]' "$root/usr/share/doc/$name/examples/Vantor.ini" &&
      grep -q '^ConnStr=' "$root/usr/share/doc/$name/examples/Vantor.ini" ||
      fail "the sample Vantor.ini has no [DataProvider] ConnStr in Linux lines"
    echo "the package holds the site's $(wc -l <"$work/files") files and links"
    ;;

  lintian)
    need lintian
    # Every tag, infos and pedantic ones included, so that the log shows them.
    lintian --pedantic --display-info --fail-on error "$package" 2>&1 | tee "$work/lintian.out" ||
      fail "lintian found errors"
    echo "lintian: $(grep -c '^[EW]: ' "$work/lintian.out" || true) errors and warnings"
    ;;

  manual-pages)
    need man
    for program in "$name" "$name-run"; do
      page=$root/usr/share/man/man1/$program.1.gz
      [[ -f $page ]] || fail "no manual page for $program"
      MANWIDTH=80 man --warnings -E UTF-8 -l "$page" >"$work/page" 2>"$work/warnings" ||
        fail "man could not render $program.1: $(cat "$work/warnings")"
      [[ ! -s $work/warnings ]] || fail "man warns about $program.1: $(cat "$work/warnings")"
      grep -q "^NAME" "$work/page" && grep -q "^ *$program - " "$work/page" ||
        fail "$program.1 does not name $program: $(head -n 8 "$work/page")"
    done
    grep -q -- '--set-based' "$work/page" && grep -q -- '--dry-run' "$work/page" &&
      grep -q 'AVAILABLE flags changed:' "$work/page" ||
      fail "the runner's page lacks its options or its summary line"
    echo "both manual pages render without warnings"
    ;;

  desktop-entry)
    need desktop-file-validate
    need xmllint
    entry=$root/usr/share/applications/$name.desktop
    desktop-file-validate "$entry" || fail "desktop-file-validate refused the entry"
    exec_line=$(sed -n 's/^Exec=//p' "$entry")
    icon=$(sed -n 's/^Icon=//p' "$entry")
    [[ -L $root/usr/bin/${exec_line%% *} ]] || fail "Exec=$exec_line is no command of the package"
    [[ -f $root/usr/share/icons/hicolor/scalable/apps/$icon.svg ]] ||
      fail "Icon=$icon is not in the package's hicolor icons"
    xmllint --noout "$root/usr/share/icons/hicolor/scalable/apps/$icon.svg" ||
      fail "the icon is not well-formed SVG"
    echo "the desktop entry is valid and names the package's command and icon"
    ;;

  systemd-units)
    need systemd-analyze
    # The units' default dependencies (sysinit.target and the rest) come from
    # this machine's systemd; their documentation from the package's pages.
    cp -an /usr/lib/systemd/system/. "$root/usr/lib/systemd/system/"
    MANPATH=$root/usr/share/man systemd-analyze verify --root="$root" \
      "/usr/lib/systemd/system/$name.service" "/usr/lib/systemd/system/$name.timer" \
      >"$work/verify" 2>&1 || fail "systemd-analyze verify failed: $(cat "$work/verify")"
    [[ ! -s $work/verify ]] || fail "systemd-analyze verify complains: $(cat "$work/verify")"
    grep -qx "ExecStart=/$lib/scheduled-pass" "$root/usr/lib/systemd/system/$name.service" ||
      fail "the service does not run the scheduled pass"
    echo "systemd-analyze verify accepts the service and the timer"
    ;;

  installed-run)
    [[ -n $build_dir ]] || fail "installed-run needs the build folder"
    standin=$build_dir/standin/server/sqlserver-standin
    jailgen=$build_dir/standin/jailgen/jailgen
    jail_options=''
    source "$(dirname "$0")/../wine/wine_site.sh"
    start_standin server
    conn_str=$(load_jail server "$port" | sed -n 's/^ConnStr=\(.*\)\r$/\1/p')
    runner=$root/usr/bin/$name-run
    mkdir -p "$work/run"
    cd "$work/run"

    # Before the site file is laid: the search names the package's Vantor.Cfg
    # link, which leads to /etc/Vantor.Cfg, as the place for it.
    if [[ ! -e /etc/Vantor.Cfg/Vantor.ini && ! -e /Vantor.Cfg/Vantor.ini ]]; then
      status=0
      LC_ALL=C.UTF-8 "$runner" >out.txt 2>err.txt || status=$?
      ((status == 1)) || fail "without a site file the runner ended with $status"
      expected="C:${root//\//\\}\\usr\\lib\\$name\\Vantor.Cfg\\Vantor.ini"
      grep -qxF "  $expected" err.txt || fail "the runner did not look for $expected: $(cat err.txt)"
    fi

    # The site file where a site keeps it, /etc/Vantor.Cfg/Vantor.ini, made
    # from the sample as an administrator would. A link's absolute target
    # means this machine's /etc; in the scratch root it means the root's.
    link=$root/$lib/Vantor.Cfg
    [[ $(readlink "$link") == /etc/Vantor.Cfg ]] || fail "Vantor.Cfg links to $(readlink "$link")"
    ln -sfn "$root/etc/Vantor.Cfg" "$link"
    mkdir -p "$root/etc/Vantor.Cfg"
    sed "s|^ConnStr=.*|ConnStr=$conn_str|" "$root/usr/share/doc/$name/examples/Vantor.ini" \
      >"$root/etc/Vantor.Cfg/Vantor.ini"

    before=$(flags "$port")
    LC_ALL=C.UTF-8 "$runner" --log pass.log >out.txt 2>err.txt ||
      fail "the installed runner ended with $? ($(cat err.txt))"
    after=$(flags "$port")
    grep -q 'Property Locations Synchronization Completed' err.txt || fail "the pass did not complete"
    [[ $before != "$after" ]] || fail "the pass settled no flag of the sample jail"
    [[ $(head -c 3 pass.log) == $'\xEF\xBB\xBF' ]] || fail "the saved log is not marked UTF-8"
    tail -c +4 pass.log | tr -d '\r' | cmp -s - out.txt ||
      fail "the saved log differs from the log on standard output"
    [[ -s out.txt ]] || fail "the pass wrote no log"

    # The scheduled pass, with the environment its service gives it.
    mkdir -p "$work/logs"
    env -u LC_ALL LANG=C.UTF-8 LOGS_DIRECTORY="$work/logs" "$root/$lib/scheduled-pass" \
      >scheduled.out 2>scheduled.err ||
      fail "the scheduled pass ended with $? ($(cat scheduled.err))"
    logs=("$work/logs"/*)
    ((${#logs[@]} == 1)) && [[ $(basename "${logs[0]}") =~ ^20[0-9]{2}-[01][0-9]-[0-3][0-9]-[0-2][0-9][0-5][0-9][0-5][0-9]\.log$ ]] ||
      fail "the scheduled pass did not keep one dated log: ${logs[*]}"
    tail -c +4 "${logs[0]}" | tr -d '\r' | cmp -s - scheduled.out ||
      fail "the scheduled pass's log differs from its output"
    [[ $(flags "$port") == "$after" ]] || fail "a second pass changed settled flags"
    echo "the installed runner completed a pass over $(wc -l <<<"$after") flags; the scheduled pass kept $(basename "${logs[0]}")"
    ;;

  *) fail "unknown check $check" ;;
esac
