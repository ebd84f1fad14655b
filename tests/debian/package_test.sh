#!/usr/bin/env bash
# The Debian packages as a site receives them, the runner package
# (synch-property-locations-run) and the window package
# (synch-property-locations), unpacked into a scratch root (dpkg -x) and
# checked with Debian's own tools, or run there; or installed into a scratch
# root by dpkg itself, whose maintainer scripts then work on that root
# (DPKG_ROOT) rather than this machine.
#
# usage: package_test.sh CHECK PACKAGE_DIR [BUILD_DIR]
#   build:          cpack makes the packages in PACKAGE_DIR from BUILD_DIR
#   contents:       the files, links and declared dependencies a site gets
#                   from each; the runner package needs nothing of Qt
#   lintian:        lintian finds no error and no warning (every tag is
#                   printed)
#   manual-pages:   man renders each page without a warning
#   desktop-entry:  desktop-file-validate accepts the entry; its command and
#                   icon are in the package
#   installation:   the postinst, run for the root, makes the service's system
#                   user, /etc/Vantor.Cfg 0750 root:its group, again over a
#                   folder open to all, and the logs folder 0750 its own; a boot keeps the site file and the
#                   logs; tmpfiles.d ages the logs out
#   systemd-units:  systemd-analyze verify accepts the units, in the root, and
#                   rates the service's exposure 2.0 or lower
#   lifecycle:      dpkg installs both packages, removes them and purges
#                   them, for a site that enabled the timer and laid its
#                   Vantor.ini and for one that did neither: registered, not
#                   enabled; after removal still known to dpkg, the logs
#                   kept; after the purge the timer's links and the logs gone,
#                   the site's Vantor.ini and the system user kept
#   upgrade:        the two packages install over the single package 2.1
#                   was, which held both programs, as apt would install them
#   installed-run:  the runner from the root, started by its /usr/bin name,
#                   finds the site file where a site keeps it, made from the
#                   sample as its comments say, completes a pass against a
#                   stand-in and saves its log; the scheduled pass, run as the
#                   service would run it (confined_pass.sh), does the same,
#                   dates its log and keeps it from others. Needs BUILD_DIR
#                   (the stand-in and jailgen).
#   scheduled-pass: the scheduled pass as cron or a shell starts it, without
#                   systemd, with a fresh logs folder: whatever the caller's
#                   locale and umask, the folder is 0750, the log 0600 and in
#                   UTF-8 with the jail's accented names intact. Needs
#                   BUILD_DIR, root and a mount namespace (for a /var/log of
#                   its own).
# A check whose tool is missing exits 77, which ctest reports as skipped; so
# does installed-run when it cannot confine the scheduled pass (not root, or
# no namespaces), after running it unconfined.
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
need_root() { ((EUID == 0)) || { echo "SKIPPED: $1: run as root"; exit 77; }; }

# Field FIELD of the entry NAME of the root's passwd or group file.
account() { awk -F: -v name="$2" -v field="$3" '$1 == name { print $field }' "$root/etc/$1"; }

# The root's accounts start as this machine's, so that the ids the postinst
# picks are free here too.
seed_accounts() {
  mkdir -p "$1/etc"
  cp /etc/passwd /etc/group "$1/etc/"
}

# What installing the runner package does besides unpacking it: its
# postinst, run for the root as a chrootless dpkg --root would.
configure_in_root() {
  [[ -e $root/etc/passwd ]] || seed_accounts "$root"
  DPKG_ROOT=$root DPKG_MAINTSCRIPT_PACKAGE=$name-run sh "$work/runner-control/postinst" configure
}

# The one package of each name in PACKAGE_DIR.
package_file() {
  local files=("$package_dir/$1"_*.deb)
  ((${#files[@]} == 1)) && [[ -f ${files[0]} ]] || fail "expected one $1 package in $package_dir: ${files[*]}"
  echo "${files[0]}"
}
runner_package=$(package_file "$name-run")
window_package=$(package_file "$name")
work=$(mktemp -d "${TMPDIR:-/tmp}/debian-package.XXXXXX")
servers=()
trap '((${#servers[@]} == 0)) || kill "${servers[@]}" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
# Both packages as a site with a display has them.
root=$work/root
for kind in runner window; do
  package_var=${kind}_package
  dpkg-deb -x "${!package_var}" "$root"
  dpkg-deb -e "${!package_var}" "$work/$kind-control"
done

# dpkg on a scratch root of its own, running the maintainer scripts outside
# it with DPKG_ROOT set; this machine's packages are not the root's, so
# dependencies go unchecked.
dpkg_in() {
  local target=$1
  shift
  dpkg --root="$target" --force-script-chrootless --force-depends --force-unsafe-io "$@"
}
new_dpkg_root() {
  mkdir -p "$1/var/lib/dpkg/info" "$1/var/lib/dpkg/updates"
  touch "$1/var/lib/dpkg/status"
  seed_accounts "$1"
}
# A package's state in ROOT as dpkg-query abbreviates it ("ii ", "rc "), or
# "unknown".
package_state() {
  dpkg-query --root="$1" -W -f='${db:Status-Abbrev}' "$2" 2>/dev/null || echo unknown
}

case $check in
  contents)
    # Each package's files and links, "PACKAGE TYPE PATH".
    for kind in runner window; do
      package_var=${kind}_package
      dpkg-deb -c "${!package_var}" | awk -v kind="$kind" '{ print kind " " $1 " " $6 ($7 ? " " $7 " " $8 : "") }' |
        sed 's|^\([a-z]*\) \(.\)[^ ]* \./|\1 \2 |' | grep -v '^[a-z]* d '
    done | LC_ALL=C sort >"$work/files"
    LC_ALL=C sort >"$work/expected" <<LIST
runner - $lib/VANTOR.APP/Jail/$name-run
runner - $lib/scheduled-pass
runner - usr/lib/systemd/system/$name.service
runner - usr/lib/systemd/system/$name.timer
runner - usr/lib/sysusers.d/$name.conf
runner - usr/lib/tmpfiles.d/$name.conf
runner - usr/share/doc/$name-run/changelog.Debian.gz
runner - usr/share/doc/$name-run/copyright
runner - usr/share/doc/$name-run/examples/Vantor.ini
runner - usr/share/man/man1/$name-run.1.gz
runner l $lib/Vantor.Cfg -> /etc/Vantor.Cfg
runner l usr/bin/$name-run -> ../lib/$name/VANTOR.APP/Jail/$name-run
window - $lib/VANTOR.APP/Jail/$name
window - usr/share/applications/$name.desktop
window - usr/share/doc/$name/changelog.Debian.gz
window - usr/share/doc/$name/copyright
window - usr/share/icons/hicolor/scalable/apps/$name.svg
window - usr/share/lintian/overrides/$name
window - usr/share/man/man1/$name.1.gz
window l usr/bin/$name -> ../lib/$name/VANTOR.APP/Jail/$name
LIST
    diff -u "$work/expected" "$work/files" || fail "the packages hold other files than a site's"
    for program in "$name" "$name-run"; do
      [[ -x $root/$lib/VANTOR.APP/Jail/$program && -x $root/usr/bin/$program ]] ||
        fail "usr/bin/$program does not reach an executable program in the packages"
    done
    [[ -x $root/$lib/scheduled-pass ]] || fail "the scheduled pass is not executable"
    # The site file is the site's: nothing in /etc, no conffile, only
    # maintainer scripts.
    while IFS='|' read -r kind control; do
      package_var=${kind}_package
      listed=$(dpkg-deb --ctrl-tarfile "${!package_var}" | tar -t | sed 's|^\./||' | grep -v '^$' |
        LC_ALL=C sort | tr '\n' ' ')
      [[ $listed == "$control " ]] || fail "the $kind package's control archive holds $listed, not $control"
    done <<'CONTROL'
runner|control md5sums postinst postrm prerm
window|control md5sums postrm
CONTROL

    # What each package must depend on (a name, "_" for a blank), and an
    # expression no dependency may match: a server installs the runner package
    # alone, without Qt or a display.
    version=$(dpkg-deb -f "$runner_package" Version)
    [[ $(dpkg-deb -f "$window_package" Version) == "$version" ]] || fail "the packages' versions differ"
    while IFS='|' read -r kind present forbidden; do
      package_var=${kind}_package
      depends=$(dpkg-deb -f "${!package_var}" Depends)
      for dependency in $present; do
        [[ ", $depends," == *", ${dependency//_/ }"[\ ,]* ]] || fail "the $kind package's Depends lacks $dependency: $depends"
      done
      [[ -z $forbidden ]] || ! grep -Eq "$forbidden" <<<"$depends" ||
        fail "the $kind package depends on what a server without a display lacks: $depends"
    done <<DEPENDS
runner|tdsodbc libodbc2 libssl3|qt|libx|libgl|gtk|dbus
window|$name-run_(=_$version) qt6-qpa-plugins libqt6widgets6 libodbc2|
DEPENDS
    for package in "$name-run" "$name"; do
      zcat "$root/usr/share/doc/$package/changelog.Debian.gz" | head -n 1 | grep -q "^$name ($version) " ||
        fail "$package's changelog's latest entry is not version $version"
    done
    sample=$root/usr/share/doc/$name-run/examples/Vantor.ini
    grep -qx '\[DataProvider\]' "$sample" && grep -q '^ConnStr=' "$sample" ||
      fail "the sample Vantor.ini has no [DataProvider] ConnStr in Linux lines"
    echo "the packages hold the site's $(wc -l <"$work/files") files and links"
    ;;

  lintian)
    need lintian
    # Every tag, infos, pedantic and overridden ones included, so that the log
    # shows them; lintian counts an overridden tag it shows as a failure, so
    # the verdict is read from its tags.
    lintian --pedantic --display-info --show-overrides "$runner_package" "$window_package" 2>&1 |
      tee "$work/lintian.out" || true
    ! grep -q '^[EW]: ' "$work/lintian.out" || fail "lintian found errors or warnings"
    echo "lintian: no error and no warning in either package"
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
      grep -q -- '--driver-trace' "$work/page" && grep -q 'AVAILABLE flags changed:' "$work/page" ||
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
    # The service parses a server's replies: systemd's own rating of its
    # sandbox, 0 (confined) to 10 (exposed), must be 2.0 or lower.
    systemd-analyze security --offline=true --root="$root" "$name.service" >"$work/security" 2>&1 ||
      fail "systemd-analyze security failed: $(cat "$work/security")"
    exposure=$(sed -n "s/.*Overall exposure level for $name\.service: \([0-9.]*\) .*/\1/p" "$work/security")
    [[ -n $exposure ]] || fail "systemd-analyze security printed no exposure: $(cat "$work/security")"
    awk -v exposure="$exposure" 'BEGIN { exit !(exposure <= 2.0) }' ||
      fail "the service's exposure is $exposure, above 2.0: $(grep -v '^✓' "$work/security")"
    echo "systemd-analyze verify accepts the service and the timer; the service's exposure is $exposure"
    ;;

  installation)
    need systemd-sysusers
    need systemd-tmpfiles
    ((EUID == 0)) || { echo "SKIPPED: the postinst gives files to root and the service's group: run as root"; exit 77; }
    folder=$root/etc/Vantor.Cfg
    configure_in_root >"$work/postinst.out" 2>&1 || fail "the postinst failed: $(cat "$work/postinst.out")"
    # systemd-sysusers and systemd-tmpfiles skip a line they cannot read, and say so.
    ! grep -E '\.conf:[0-9]+:' "$work/postinst.out" || fail "a sysusers.d or tmpfiles.d line was refused"
    uid=$(account passwd "$name" 3) gid=$(account group "$name" 3)
    [[ -n $uid && -n $gid ]] || fail "the postinst made no user and group $name: $(cat "$work/postinst.out")"
    [[ $(account passwd "$name" 4) == "$gid" ]] || fail "$name's group is not its own"
    ((uid < 1000)) && [[ $(account passwd "$name" 7) == */nologin ]] ||
      fail "$name is no system user without a login: $(grep "^$name:" "$root/etc/passwd")"
    [[ $(stat -c '%a %u %g' "$folder") == "750 0 $gid" ]] ||
      fail "/etc/Vantor.Cfg is $(stat -c '%a %U %g' "$folder"), not 750 root:$gid"
    # There a pass that cron starts as the user keeps its logs.
    [[ $(stat -c '%a %u %g' "$root/var/log/$name") == "750 $uid $gid" ]] ||
      fail "the logs folder is $(stat -c '%a %u %g' "$root/var/log/$name"), not 750 $uid:$gid"

    # An upgrade over a folder a site made open to all, its file in it: the
    # folder is closed again, the file and the user stay as they were.
    chmod 0755 "$folder"
    chown 0:0 "$folder"
    install -m 0600 /dev/null "$folder/Vantor.ini"
    echo '[DataProvider]' >"$folder/Vantor.ini"
    configure_in_root >"$work/postinst.out" 2>&1 || fail "the postinst failed again: $(cat "$work/postinst.out")"
    [[ $(stat -c '%a %u %g' "$folder") == "750 0 $gid" ]] ||
      fail "over an open folder, /etc/Vantor.Cfg is $(stat -c '%a %U %g' "$folder")"
    [[ $(stat -c '%a %u %g' "$folder/Vantor.ini") == "600 0 0" && $(cat "$folder/Vantor.ini") == '[DataProvider]' ]] ||
      fail "the postinst changed the site's Vantor.ini"
    [[ $(grep -c "^$name:" "$root/etc/passwd") == 1 && $(account passwd "$name" 3) == "$uid" ]] ||
      fail "the second postinst changed the user: $(grep "^$name:" "$root/etc/passwd")"
    # Logs go 90 days after they were last written, whenever they were read;
    # a boot, which applies tmpfiles.d again, removals included, removes
    # neither a log nor the site file.
    logs=$root/var/log/$name
    mkdir -p "$logs"
    ages='written-91-days-ago.log|91 days ago|now|removed
written-89-days-ago.log|89 days ago|89 days ago|kept
written-yesterday.log|1 day ago|1 day ago|kept'
    while IFS='|' read -r log written read _; do
      touch -m -d "$written" "$logs/$log"
      touch -a -d "$read" "$logs/$log"
    done <<<"$ages"
    systemd-tmpfiles --root="$root" --create --remove --boot "$name.conf" >"$work/boot.out" 2>&1 ||
      fail "systemd-tmpfiles at boot failed: $(cat "$work/boot.out")"
    [[ $(cat "$folder/Vantor.ini" 2>/dev/null) == '[DataProvider]' ]] || fail "a boot removed the site's Vantor.ini"
    systemd-tmpfiles --root="$root" --clean "$name.conf" >"$work/clean.out" 2>&1 ||
      fail "systemd-tmpfiles --clean failed: $(cat "$work/clean.out")"
    while IFS='|' read -r log written read expected; do
      outcome=removed
      [[ ! -e $logs/$log ]] || outcome=kept
      [[ $outcome == "$expected" ]] || fail "$log, written $written and read $read, was $outcome"
    done <<<"$ages"
    echo "the postinst made $name ($uid:$gid) and /etc/Vantor.Cfg 750 root:$name; logs go after 90 days"
    ;;

  lifecycle)
    need_root "dpkg installs files owned by root and the service's user"
    need deb-systemd-helper
    need systemd-sysusers
    timer_link=etc/systemd/system/timers.target.wants/$name.timer
    helper_state=var/lib/systemd/deb-systemd-helper-enabled
    # A site that enabled the timer, laid its Vantor.ini and has had passes,
    # and one that did none of it.
    while IFS='|' read -r site enables_timer lays_site_file; do
      target=$work/$site
      new_dpkg_root "$target"
      dpkg_in "$target" -i "$runner_package" "$window_package" >"$work/dpkg.out" 2>&1 ||
        fail "$site: dpkg could not install the packages: $(cat "$work/dpkg.out")"
      [[ $(package_state "$target" "$name-run")$(package_state "$target" "$name") == "ii ii " ]] ||
        fail "$site: the packages are not installed: $(cat "$work/dpkg.out")"
      # Registered, so that a purge finds the links an enable makes, but not
      # enabled.
      grep -qx "/$timer_link" "$target/$helper_state/$name.timer.dsh-also" ||
        fail "$site: the timer is not registered with deb-systemd-helper"
      [[ ! -e $target/$timer_link && ! -L $target/$timer_link ]] || fail "$site: the installation enabled the timer"
      uid=$(awk -F: -v name="$name" '$1 == name { print $3 }' "$target/etc/passwd")
      [[ -n $uid ]] || fail "$site: no system user $name"

      if [[ $enables_timer == yes ]]; then
        # What `systemctl enable` makes from the timer's [Install] section.
        mkdir -p "$(dirname "$target/$timer_link")"
        ln -s "/usr/lib/systemd/system/$name.timer" "$target/$timer_link"
      fi
      if [[ $lays_site_file == yes ]]; then
        echo '[DataProvider]' >"$target/etc/Vantor.Cfg/Vantor.ini"
        chmod 0640 "$target/etc/Vantor.Cfg/Vantor.ini"
        install -m 0600 -o "$uid" /dev/null "$target/var/log/$name/2026-01-02-023000.log"
      fi

      dpkg_in "$target" -r "$name" "$name-run" >"$work/dpkg.out" 2>&1 ||
        fail "$site: dpkg could not remove the packages: $(cat "$work/dpkg.out")"
      # dpkg still knows both, so that apt can purge them; the removal took
      # the programs and kept what a purge removes.
      [[ $(package_state "$target" "$name-run")$(package_state "$target" "$name") == "rc rc " ]] ||
        fail "$site: after removal the packages are $(package_state "$target" "$name-run")and $(package_state "$target" "$name"), not rc"
      [[ ! -e $target/$lib/scheduled-pass && -d $target/var/log/$name ]] ||
        fail "$site: the removal did not take the programs or took the logs"

      dpkg_in "$target" -P "$name" "$name-run" >"$work/dpkg.out" 2>&1 ||
        fail "$site: dpkg could not purge the packages: $(cat "$work/dpkg.out")"
      [[ $(package_state "$target" "$name-run")$(package_state "$target" "$name") == unknownunknown ]] ||
        fail "$site: dpkg still knows the packages after the purge"
      left=$(cd "$target" && find "$timer_link" "$helper_state" "var/log/$name" -maxdepth 0 2>/dev/null || true)
      [[ -z $left ]] || fail "$site: the purge left $left"
      grep -q "^$name:" "$target/etc/passwd" || fail "$site: the purge removed the system user"
      if [[ $lays_site_file == yes ]]; then
        [[ $(cat "$target/etc/Vantor.Cfg/Vantor.ini" 2>/dev/null) == '[DataProvider]' ]] ||
          fail "$site: the purge removed or changed the site's Vantor.ini"
      else
        [[ ! -e $target/etc/Vantor.Cfg ]] || fail "$site: the purge left an empty /etc/Vantor.Cfg"
      fi
      echo "$site: installed, removed (rc), purged; left $(cd "$target" && find etc/Vantor.Cfg -maxdepth 1 2>/dev/null | tr '\n' ' ')"
    done <<'SITES'
a site that enabled the timer and laid its Vantor.ini|yes|yes
a site that did neither|no|no
SITES
    ;;

  upgrade)
    need_root "dpkg installs files owned by root and the service's user"
    need systemd-sysusers
    # The single package 2.1 was: every file of both, the window's name, the
    # runner's postinst.
    old=$work/old
    mkdir -p "$old/DEBIAN"
    cp -a "$root/usr" "$old/"
    cp "$work/runner-control/postinst" "$old/DEBIAN/"
    cat >"$old/DEBIAN/control" <<CONTROL
Package: $name
Version: 2.1
Architecture: $(dpkg-deb -f "$runner_package" Architecture)
Maintainer: $(dpkg-deb -f "$runner_package" Maintainer)
Description: the single package of version 2.1
CONTROL
    dpkg-deb --root-owner-group -b "$old" "$work/old.deb" >/dev/null
    target=$work/upgraded
    new_dpkg_root "$target"
    dpkg_in "$target" -i "$work/old.deb" >"$work/dpkg.out" 2>&1 ||
      fail "dpkg could not install the 2.1 package: $(cat "$work/dpkg.out")"
    # apt lets dpkg deconfigure the package the runner package breaks.
    dpkg_in "$target" --auto-deconfigure -i "$runner_package" "$window_package" >"$work/dpkg.out" 2>&1 ||
      fail "the packages do not install over 2.1: $(cat "$work/dpkg.out")"
    [[ $(package_state "$target" "$name-run")$(package_state "$target" "$name") == "ii ii " ]] ||
      fail "after the upgrade the packages are $(package_state "$target" "$name-run")and $(package_state "$target" "$name")"
    while read -r path package; do
      owner=$(dpkg-query --root="$target" -S "$path" 2>/dev/null | sed 's/: .*//')
      [[ $owner == "$package" ]] || fail "after the upgrade $path belongs to ${owner:-no package}, not $package"
    done <<OWNERS
/$lib/VANTOR.APP/Jail/$name-run $name-run
/$lib/scheduled-pass $name-run
/$lib/Vantor.Cfg $name-run
/usr/lib/systemd/system/$name.timer $name-run
/$lib/VANTOR.APP/Jail/$name $name
OWNERS
    echo "the packages installed over the single package 2.1"
    ;;

  scheduled-pass)
    [[ -n $build_dir ]] || fail "scheduled-pass needs the build folder"
    need_root "the pass needs a /var/log of its own"
    unshare --mount true 2>/dev/null || { echo "SKIPPED: no mount namespace here"; exit 77; }
    standin=$build_dir/standin/server/sqlserver-standin
    jailgen=$build_dir/standin/jailgen/jailgen
    jail_options=''
    source "$(dirname "$0")/../wine/wine_site.sh"
    start_standin server
    mkdir -p "$root/etc/Vantor.Cfg"
    load_jail server "$port" >"$root/etc/Vantor.Cfg/Vantor.ini"
    # In the scratch root the package's link to /etc/Vantor.Cfg means the root's.
    ln -sfn "$root/etc/Vantor.Cfg" "$root/$lib/Vantor.Cfg"
    # The caller's environment and umask, each in a fresh /var/log: a cron
    # job's (no locale at all) and shells' in the C locale and in a Latin-1
    # one, whose character sets have no or other bytes for accented names.
    while IFS='|' read -r caller mask environment; do
      out=$work/$caller
      mkdir -p "$out"
      status=0
      # shellcheck disable=SC2086 # the environment is a list of assignments
      unshare --mount --propagation private sh -c '
        mount -t tmpfs -o mode=0755 tmpfs /var/log || exit 9
        (umask "$1"; exec env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/ LOGNAME=root $2 "$3" >"$4/stdout" 2>"$4/stderr")
        status=$?
        cp -a "/var/log/'"$name"'" "$4/logs" 2>/dev/null
        exit $status' pass "$mask" "$environment" "$root/$lib/scheduled-pass" "$out" || status=$?
      ((status == 0)) || fail "$caller: the scheduled pass ended with $status: $(cat "$out/stderr" 2>/dev/null)"
      [[ $(stat -c %a "$out/logs" 2>/dev/null) == 750 ]] ||
        fail "$caller: the logs folder is $(stat -c %a "$out/logs" 2>/dev/null || echo missing), not 750"
      saved=("$out/logs"/*)
      ((${#saved[@]} == 1)) && [[ -f ${saved[0]} ]] || fail "$caller: not one log: ${saved[*]}"
      [[ $(stat -c %a "${saved[0]}") == 600 ]] || fail "$caller: the log is mode $(stat -c %a "${saved[0]}"), not 600"
      [[ $(head -c 3 "${saved[0]}") == $'\xEF\xBB\xBF' ]] || fail "$caller: the log is not marked UTF-8"
      iconv -f UTF-8 -t UTF-8 "${saved[0]}" >/dev/null 2>&1 || fail "$caller: the log is not UTF-8"
      names=$(grep -oE 'Zoë|José' "${saved[0]}" | sort -u | tr '\n' ' ')
      [[ -n $names ]] || fail "$caller: the log names no inmate with an accented name: $(head -n 20 "${saved[0]}")"
      echo "$caller: logs folder 750, log 600, UTF-8, naming $names"
    done <<'CALLERS'
cron|022|
a shell in the C locale|000|LANG=C LC_ALL=C
a shell in a Latin-1 locale|002|LANG=fr_FR.ISO-8859-1
CALLERS
    ;;

  installed-run)
    [[ -n $build_dir ]] || fail "installed-run needs the build folder"
    need openssl
    standin=$build_dir/standin/server/sqlserver-standin
    jailgen=$build_dir/standin/jailgen/jailgen
    source "$(dirname "$0")/../wine/wine_site.sh"
    sample=$root/usr/share/doc/$name-run/examples/Vantor.ini

    # The sample's connections are encrypted and verify the server: the
    # stand-in takes only encrypted sessions, with a certificate for
    # 127.0.0.1 from a test authority, and knows the sample's login, whose
    # password holds a ";" and is quoted.
    conn_str=$(sed -n 's/^ConnStr=//p' "$sample")
    login=$(sed -n 's/.*User ID=\([^;]*\);.*/\1/p' <<<"$conn_str")
    password=$(sed -n 's/.*Password="\([^"]*\)".*/\1/p' <<<"$conn_str")
    [[ -n $login && $password == *';'* ]] ||
      fail "the sample's ConnStr has no login with a quoted password holding \";\": $conn_str"
    certificates=$work/certificates
    mkdir -p "$certificates"
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj '/CN=Package Test Authority' \
      -addext 'basicConstraints=critical,CA:TRUE' -addext 'keyUsage=critical,keyCertSign' \
      -keyout "$certificates/authority.key" -out "$certificates/authority.pem" 2>"$certificates/openssl.err"
    openssl req -new -newkey rsa:2048 -nodes -subj '/CN=localhost' -keyout "$certificates/server.key" \
      -out "$certificates/server.csr" 2>>"$certificates/openssl.err"
    printf '%s\n' 'subjectAltName=DNS:localhost,IP:127.0.0.1' 'basicConstraints=CA:FALSE' \
      'extendedKeyUsage=serverAuth' >"$certificates/server.ext"
    openssl x509 -req -in "$certificates/server.csr" -CA "$certificates/authority.pem" \
      -CAkey "$certificates/authority.key" -set_serial 2 -days 2 -extfile "$certificates/server.ext" \
      -out "$certificates/server.pem" 2>>"$certificates/openssl.err"
    authority=$certificates/authority.pem
    start_standin server --tls-cert "$certificates/server.pem" --tls-key "$certificates/server.key" \
      --force-encryption --login "$login:$password"
    jail_options=';Use Encryption for Data=True'
    load_jail server "$port" >/dev/null
    runner=$root/usr/bin/$name-run
    mkdir -p "$work/run"
    cd "$work/run"

    # Before the site file is laid: the search names the package's Vantor.Cfg
    # link, which leads to /etc/Vantor.Cfg, as the place for it.
    if [[ ! -e /etc/Vantor.Cfg/Vantor.ini && ! -e /Vantor.Cfg/Vantor.ini ]]; then
      status=0
      LC_ALL=C.UTF-8 "$runner" >out.txt 2>err.txt || status=$?
      ((status == 1)) || fail "without a site file the runner ended with $status"
      expected="$root/usr/lib/$name/Vantor.Cfg/Vantor.ini (/etc/Vantor.Cfg/Vantor.ini)"
      grep -qxF "  $expected" err.txt || fail "the runner did not look for $expected: $(cat err.txt)"
    fi

    # The site file where a site keeps it, made from the sample as its
    # comments say: only the server's name changed, readable by root and the
    # service's group, in the folder the postinst made.
    if ((EUID == 0)); then
      configure_in_root >"$work/postinst.out" 2>&1 || fail "the postinst failed: $(cat "$work/postinst.out")"
      gid=$(account group "$name" 3)
    else
      mkdir -p "$root/etc/Vantor.Cfg"
      gid=$(id -g)
    fi
    site_file=$root/etc/Vantor.Cfg/Vantor.ini
    sed "s|^\(ConnStr=.*\)Data Source=sqlhost;|\1Data Source=127.0.0.1;Port=$port;|" "$sample" >"$work/Vantor.ini"
    grep -q "^ConnStr=.*Data Source=127.0.0.1;Port=$port;" "$work/Vantor.ini" ||
      fail "the sample's ConnStr names no Data Source=sqlhost to change: $conn_str"
    install -m 0640 -g "$gid" "$work/Vantor.ini" "$site_file"

    # The runner as an administrator starts it. A link's absolute target
    # means this machine's /etc; in the scratch root it means the root's.
    link=$root/$lib/Vantor.Cfg
    [[ $(readlink "$link") == /etc/Vantor.Cfg ]] || fail "Vantor.Cfg links to $(readlink "$link")"
    ln -sfn "$root/etc/Vantor.Cfg" "$link"
    before=$(flags "$port")
    SSL_CERT_FILE=$authority LC_ALL=C.UTF-8 "$runner" --log pass.log >out.txt 2>err.txt ||
      fail "the installed runner ended with $? ($(cat err.txt))"
    after=$(flags "$port")
    grep -q 'Property Locations Synchronization Completed' err.txt || fail "the pass did not complete"
    [[ $before != "$after" ]] || fail "the pass settled no flag of the sample jail"
    [[ $(head -c 3 pass.log) == $'\xEF\xBB\xBF' ]] || fail "the saved log is not marked UTF-8"
    tail -c +4 pass.log | tr -d '\r' | cmp -s - out.txt ||
      fail "the saved log differs from the log on standard output"
    [[ -s out.txt ]] || fail "the pass wrote no log"

    # The scheduled pass as its service runs it, with a site's drop-in that
    # asks FreeTDS for a trace in the logs folder, which the unit must
    # refuse. The authorities it trusts are the system's, the test's added as
    # a site adds its own.
    logs=$work/logs
    if ((EUID == 0)) && unshare --mount --pid --fork true 2>/dev/null; then
      confined=''
      # There the root's /etc is the system's, as the package left it.
      ln -sfn /etc/Vantor.Cfg "$link"
      mkdir -p "$root/etc/ssl/certs"
      cat /etc/ssl/certs/ca-certificates.crt "$authority" >"$root/etc/ssl/certs/ca-certificates.crt"
      bash "$(dirname "$0")/confined_pass.sh" "$root" "$name.service" "$logs" "$work/runtime" \
        TDSDUMP="/var/log/$name/driver.trace" >scheduled.out 2>scheduled.err ||
        fail "the confined scheduled pass ended with $? ($(cat scheduled.err))"
      owner=$(account passwd "$name" 3)
    else
      confined="the scheduled pass ran unconfined as $(id -un): $( ((EUID == 0)) && echo "no mount or pid namespace here" || echo "not root")"
      mkdir -p "$logs"
      (umask "$(sed -n 's/^UMask=//p' "$root/usr/lib/systemd/system/$name.service")"
        exec env -u LC_ALL LANG=C.UTF-8 LOGS_DIRECTORY="$logs" SSL_CERT_FILE="$authority" \
          "$root/$lib/scheduled-pass") >scheduled.out 2>scheduled.err ||
        fail "the scheduled pass ended with $? ($(cat scheduled.err))"
      owner=$EUID
    fi
    [[ ! -e $logs/driver.trace ]] || fail "FreeTDS wrote a trace of the scheduled pass"
    saved=("$logs"/*)
    ((${#saved[@]} == 1)) && [[ $(basename "${saved[0]}") =~ ^20[0-9]{2}-[01][0-9]-[0-3][0-9]-[0-2][0-9][0-5][0-9][0-5][0-9]\.log$ ]] ||
      fail "the scheduled pass did not keep one dated log: ${saved[*]}"
    tail -c +4 "${saved[0]}" | tr -d '\r' | cmp -s - scheduled.out ||
      fail "the scheduled pass's log differs from its output"
    read -r mode uid < <(stat -c '%a %u' "${saved[0]}")
    ((uid == owner && (8#$mode & 8#007) == 0)) ||
      fail "the log names inmates, yet it is mode $mode, owner $uid: others may read it"
    [[ -n $confined || $(stat -c '%a %u' "$logs") == "750 $owner" ]] ||
      fail "the logs folder is $(stat -c '%a %u' "$logs"), not 750 $owner"
    [[ $(flags "$port") == "$after" ]] || fail "a second pass changed settled flags"
    echo "the installed runner completed a pass over $(wc -l <<<"$after") flags; the scheduled pass kept $(basename "${saved[0]}"), mode $mode"
    if [[ -n $confined ]]; then
      echo "SKIPPED: $confined"
      exit 77
    fi
    ;;

  *) fail "unknown check $check" ;;
esac
