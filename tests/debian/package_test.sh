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
#   installation:   the postinst, run for the root, makes the service's system
#                   user and /etc/Vantor.Cfg 0750 root:its group, again over a
#                   folder open to all; a boot keeps the site file and the
#                   logs; tmpfiles.d ages the logs out
#   systemd-units:  systemd-analyze verify accepts the units, in the root, and
#                   rates the service's exposure 2.0 or lower
#   installed-run:  the runner from the root, started by its /usr/bin name,
#                   finds the site file where a site keeps it, made from the
#                   sample as its comments say, completes a pass against a
#                   stand-in and saves its log; the scheduled pass, run as the
#                   service would run it (confined_pass.sh), does the same,
#                   dates its log and keeps it from others. Needs BUILD_DIR
#                   (the stand-in and jailgen).
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

# Field FIELD of the entry NAME of the root's passwd or group file.
account() { awk -F: -v name="$2" -v field="$3" '$1 == name { print $field }' "$root/etc/$1"; }

# What installing the package does besides unpacking it: its postinst, run
# for the root as dpkg --root would. The root's accounts start as this
# machine's, so that the ids it picks are free here too.
configure_in_root() {
  if [[ ! -e $root/etc/passwd ]]; then
    mkdir -p "$root/etc"
    cp /etc/passwd /etc/group "$root/etc/"
  fi
  DPKG_ROOT=$root sh "$work/control/postinst" configure
}

packages=("$package_dir"/${name}_*.deb)
((${#packages[@]} == 1)) && [[ -f ${packages[0]} ]] ||
  fail "expected one package in $package_dir: ${packages[*]}"
package=${packages[0]}
work=$(mktemp -d "${TMPDIR:-/tmp}/debian-package.XXXXXX")
servers=()
trap '((${#servers[@]} == 0)) || kill "${servers[@]}" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
root=$work/root
dpkg-deb -x "$package" "$root"
dpkg-deb -e "$package" "$work/control"

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
- usr/lib/sysusers.d/$name.conf
- usr/lib/tmpfiles.d/$name.conf
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
    # The site file is the site's: nothing in /etc, no conffile; the one
    # script makes the service's user and folders, and writes no site file and
    # enables no unit.
    dpkg-deb --ctrl-tarfile "$package" | tar -t | sed 's|^\./||' | grep -v '^$' | LC_ALL=C sort |
      tr '\n' ' ' | grep -qx 'control md5sums postinst ' ||
      fail "the control archive holds more than control, md5sums and postinst: $(dpkg-deb --ctrl-tarfile "$package" | tar -t)"
    ! grep -En 'systemctl|deb-systemd|Vantor\.ini' "$work/control/postinst" ||
      fail "the postinst enables a unit or writes the site file"
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

  installed-run)
    [[ -n $build_dir ]] || fail "installed-run needs the build folder"
    need openssl
    standin=$build_dir/standin/server/sqlserver-standin
    jailgen=$build_dir/standin/jailgen/jailgen
    source "$(dirname "$0")/../wine/wine_site.sh"
    sample=$root/usr/share/doc/$name/examples/Vantor.ini

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
      expected="C:${root//\//\\}\\usr\\lib\\$name\\Vantor.Cfg\\Vantor.ini"
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
