#!/usr/bin/env bash
# The Debian packages as an administrator installs them on a fresh, minimal
# Debian 12 (a debootstrap minbase root: no systemd, no display), with apt in
# a chroot: the runner package alone, then the window package, each with what
# apt pulls for it; a site file, a pass against the stand-in, the scheduled
# pass as cron and a hand run start it; then removal, purge, and what is left.
# Not part of the test command: it downloads from the Debian archive and
# needs root.
#
# usage: scripts/package-install-check.sh [PACKAGE_DIR]
#   PACKAGE_DIR  holds synch-property-locations-run_*.deb and
#                synch-property-locations_*.deb; without it they are built
#                (default preset) into build/packages.
# The stand-in and jailgen come from build/ (built when missing). The minimal
# root is made once and kept in INSTALL_CHECK_CACHE (by default
# /var/tmp/synch-property-locations-install-check), with the packages apt
# downloaded; each run works on a fresh copy of it.
set -euo pipefail
cd "$(dirname "$0")/.."
name=synch-property-locations
cache=${INSTALL_CHECK_CACHE:-/var/tmp/$name-install-check}
base=$cache/bookworm-minbase

fail() { echo "FAILED: $*" >&2; exit 1; }
((EUID == 0)) || fail "debootstrap and chroot need root"
for tool in debootstrap tsql unshare; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/install-deps.sh installs it)"
done

# Everything below runs in a mount namespace of its own: the chroot's /proc
# and the archive cache are mounted there and go with it.
if [[ ${1:-} != --inside ]]; then
  targets=(sqlserver-standin jailgen)
  [[ -n ${1:-} ]] || targets+=(synch-property-locations-run synch-property-locations debian-texts)
  cmake --preset default >/dev/null
  cmake --build --preset default -j2 --target "${targets[@]}" >/dev/null
  package_dir=${1:-}
  if [[ -z $package_dir ]]; then
    package_dir=build/packages
    rm -rf "$package_dir"
    (cd build && cpack -G DEB -B "$PWD/packages" >packages.log 2>&1) ||
      fail "cpack failed: $(cat build/packages.log)"
  fi
  package_dir=$(cd "$package_dir" && pwd)
  if [[ ! -d $base ]]; then
    echo "== making a minimal Debian 12 root in $base (once)"
    rm -rf "$base.partial"
    mkdir -p "$cache"
    debootstrap --variant=minbase bookworm "$base.partial" >"$cache/debootstrap.log" 2>&1 ||
      fail "debootstrap failed: $(tail -n 5 "$cache/debootstrap.log")"
    mv "$base.partial" "$base"
  fi
  exec unshare --mount --propagation private "$0" --inside "$package_dir"
fi
package_dir=$2

runner_deb=$(ls "$package_dir/$name-run"_*.deb)
window_deb=$(ls "$package_dir/$name"_*.deb)
work=$(mktemp -d /var/tmp/$name-install-check.XXXXXX)
server=''
root=$work/root
mounts=()
# The mounts go first, so that the removal of the root's copy reaches neither
# /proc nor the archive cache.
cleanup() {
  [[ -z $server ]] || kill "$server" 2>/dev/null
  wait 2>/dev/null
  ((${#mounts[@]} == 0)) || umount "${mounts[@]}"
  rm -rf --one-file-system "$work"
}
trap cleanup EXIT
cp -a "$base" "$root"
mount -t proc proc "$root/proc"
mounts+=("$root/proc")
mkdir -p "$cache/archives/partial"
mount --bind "$cache/archives" "$root/var/cache/apt/archives"
mounts+=("$root/var/cache/apt/archives")
cp /etc/resolv.conf "$root/etc/resolv.conf"
cp "$runner_deb" "$window_deb" "$root/tmp/"
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 "$@"; }
apt_in_root() { in_root env DEBIAN_FRONTEND=noninteractive apt-get -y -o Dpkg::Use-Pty=0 "$@"; }

echo "== the root: Debian $(cat "$root/etc/debian_version"), $(in_root dpkg-query -W | wc -l) packages"
apt_in_root update -qq >"$work/update.out" 2>&1 || fail "apt-get update failed: $(cat "$work/update.out")"

# What apt pulls for PACKAGE: its own lines on the download and the disk,
# and the count of packages newly installed.
install_package() {
  local label=$1 file=$2
  apt_in_root install "/tmp/$(basename "$file")" >"$work/$label.out" 2>&1 ||
    fail "apt could not install the $label package: $(cat "$work/$label.out")"
  echo "== the $label package: $(basename "$file")"
  grep -E '^(Need to get|After this operation)' "$work/$label.out" | sed 's/^/   /'
  sed -n 's/^\([0-9]*\) upgraded, \([0-9]*\) newly installed.*/   packages newly installed: \2/p' "$work/$label.out"
  local package
  package=$(dpkg-deb -f "$file" Package)
  echo "   $package's own files: $(in_root dpkg -L "$package" | while read -r path; do
    [[ ! -f $root$path || -L $root$path ]] || printf '%s\0' "$root$path"
  done | du -ck --files0-from=- | tail -n 1 | cut -f 1) KiB installed"
}
install_package runner "$runner_deb"
in_root dpkg-query -W -f='${binary:Package}\n' | grep -Eix 'libqt.*|.*gtk.*|libx11.*|libgl.*|dbus|systemd' |
  sed 's/^/   unexpected for a server: /' || echo "   nothing of Qt, GTK, X11, OpenGL, D-Bus or systemd"
in_root odbcinst -q -d -n FreeTDS >/dev/null || fail "the FreeTDS driver is not registered with unixODBC"

# The stand-in on this machine's loopback, which the chroot shares, with the
# sample jail; the site file as the README has it, the server given with its
# port after a comma.
mkdir -p "$work/standin"
build/standin/server/sqlserver-standin --data "$work/standin" >"$work/standin.out" 2>&1 &
server=$!
for _ in $(seq 100); do
  grep -q '^listening on ' "$work/standin.out" && break
  sleep 0.1
done
port=$(sed -n 's/^listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$work/standin.out")
[[ -n $port ]] || fail "the stand-in did not start: $(cat "$work/standin.out")"
build/standin/jailgen/jailgen --locations 12 --containers 4 --bookings 60 --seed 1 --out "$work/jail.sql"
cat >>"$work/jail.sql" <<SQL
USE VANTOR
GO
UPDATE ConnectLib SET ConnString = 'Data Source=127.0.0.1;Port=$port;Initial Catalog=JAIL;User ID=sa' WHERE ProgramID = 'JAIL'
GO
SQL
LC_ALL=C.UTF-8 tsql -H 127.0.0.1 -p "$port" -U sa -P '' <"$work/jail.sql" >"$work/load.out" 2>&1 ||
  fail "the sample jail did not load: $(cat "$work/load.out")"
in_root sh -c "cat >/etc/Vantor.Cfg/Vantor.ini <<'INI'
[DataProvider]
ConnStr=Data Source=127.0.0.1,$port;Initial Catalog=VANTOR;User ID=sa
INI
chown root:$name /etc/Vantor.Cfg/Vantor.ini && chmod 0640 /etc/Vantor.Cfg/Vantor.ini"
echo "== a site file: $(in_root ls -l /etc/Vantor.Cfg/Vantor.ini | cut -d ' ' -f 1,3,4,9)"
echo "   $(grep ConnStr "$root/etc/Vantor.Cfg/Vantor.ini")"

echo "== a pass by hand: synch-property-locations-run --dry-run"
in_root synch-property-locations-run --dry-run 2>&1 >/dev/null | sed 's/^/   /'

# cron's environment has no locale; cron's umask is 022.
echo "== the scheduled pass as cron starts it, as the user $name"
status=0
ids=$(awk -F: -v name="$name" '$1 == name { print $3 ":" $4 }' "$root/etc/passwd")
chroot --userspec="$ids" "$root" env -i PATH=/usr/bin:/bin HOME=/ LOGNAME="$name" \
  sh -c "umask 022; exec /usr/lib/$name/scheduled-pass" >/dev/null 2>"$work/cron.err" || status=$?
echo "   exit status $status; $(tail -n 1 "$work/cron.err")"
in_root ls -la "/var/log/$name" | sed 's/^/   /'
echo "== the scheduled pass by hand as root, its logs folder removed first"
rm -rf "$root/var/log/$name"
status=0
chroot "$root" env -i PATH=/usr/bin:/bin HOME=/root sh -c "umask 022; exec /usr/lib/$name/scheduled-pass" \
  >/dev/null 2>"$work/hand.err" || status=$?
echo "   exit status $status; $(tail -n 1 "$work/hand.err")"
in_root ls -la "/var/log/$name" | sed 's/^/   /'
log=$(ls "$root/var/log/$name"/*.log | head -n 1)
echo "   $(basename "$log"): $(file -b "$log"); names: $(grep -oE 'Zoë|José' "$log" | sort -u | tr '\n' ' ')"

install_package window "$window_deb"

# What `systemctl enable` makes, in a root without systemd to run it.
mkdir -p "$root/etc/systemd/system/timers.target.wants"
ln -s "/usr/lib/systemd/system/$name.timer" "$root/etc/systemd/system/timers.target.wants/"
echo "== the timer enabled: $(cd "$root" && find etc/systemd -name "$name.*")"

# What is left of the packages, their logs, the site's folder and the units.
leftovers() {
  echo "   dpkg: $(in_root dpkg-query -W -f='${db:Status-Abbrev}${binary:Package} ${Version}, ' "$name*" 2>/dev/null || echo "neither package known")"
  echo "   /var/log/$name: $(in_root ls -A "/var/log/$name" 2>/dev/null | tr '\n' ' ' || true)$([[ -d $root/var/log/$name ]] || echo absent)"
  echo "   /etc/Vantor.Cfg: $(in_root ls -A /etc/Vantor.Cfg 2>/dev/null | tr '\n' ' ' || true)$([[ -d $root/etc/Vantor.Cfg ]] || echo absent)"
  echo "   unit links: $(cd "$root" && find etc/systemd -name "$name.*" 2>/dev/null | tr '\n' ' ')"
  echo "   deb-systemd-helper state: $(cd "$root" && find var/lib/systemd -name "$name.*" 2>/dev/null | tr '\n' ' ')"
  echo "   user: $(grep "^$name:" "$root/etc/passwd" || echo none)"
}
echo "== apt remove $name $name-run"
apt_in_root remove "$name" "$name-run" >"$work/remove.out" 2>&1 || fail "apt remove failed: $(cat "$work/remove.out")"
leftovers
echo "== apt purge $name $name-run"
apt_in_root purge "$name" "$name-run" >"$work/purge.out" 2>&1 || fail "apt purge failed: $(cat "$work/purge.out")"
leftovers
