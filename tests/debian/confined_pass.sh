#!/usr/bin/env bash
# Runs a service of the package unpacked into a scratch root as systemd would
# run it once the package is installed, as far as a shell can without systemd
# as PID 1. Needs root. Every mount lives in a mount namespace of its own, so
# the host is left as it was.
#
# usage: confined_pass.sh ROOT UNIT LOGS RUNTIME [NAME=VALUE]...
#   ROOT        the package unpacked, its postinst run for it (the service's
#               user in ROOT/etc/passwd and ROOT/etc/group)
#   UNIT        the service's file name in ROOT/usr/lib/systemd/system
#   LOGS        a host folder that becomes the unit's LogsDirectory=
#   RUNTIME     a host folder that becomes its RuntimeDirectory= (emptied
#               afterwards, as systemd removes it when the service stops)
#   NAME=VALUE  added to the environment as a site's Environment= line in a
#               drop-in would be, before UnsetEnvironment= applies
# The service's standard output and error are the script's (the unit's
# StandardOutput= is not applied), and so is its exit status.
#
# Taken from the unit: ExecStart=, User=, Group= (and no other group),
# Environment=, UnsetEnvironment=, UMask=, LimitCORE=, WorkingDirectory=,
# LogsDirectory= and RuntimeDirectory= with their modes. Made as the unit's
# sandbox makes them: the root's /usr and /etc over this machine's, the whole
# tree read-only but the logs and runtime folders (ProtectSystem=strict),
# /home, /root and /run/user empty and closed (ProtectHome=yes), a /tmp and
# /var/tmp of its own (PrivateTmp=yes), a /dev of null, zero, full, random
# and urandom (PrivateDevices=yes), a /proc showing only the service's own
# processes (ProtectProc=invisible, ProcSubset=pid), its own IPC and host
# name (PrivateIPC=yes, ProtectHostname=yes), /sys read-only
# (ProtectKernelTunables=yes), no capability at all and no new privileges
# (CapabilityBoundingSet=, NoNewPrivileges=yes).
# Not made: what systemd enforces with seccomp (SystemCallFilter=,
# RestrictAddressFamilies=, MemoryDenyWriteExecute=, RestrictNamespaces=,
# LockPersonality=, RestrictRealtime=, RestrictSUIDSGID=, ProtectClock=,
# ProtectKernelModules=, ProtectKernelLogs=), PrivateUsers=, RemoveIPC=.
set -euo pipefail

if [[ ${1:-} != --inside ]]; then
  # The namespace's mount points that are not the system's own folders.
  stash=$(mktemp -d /tmp/confined-pass.XXXXXX)
  status=0
  unshare --mount --propagation private --pid --fork --ipc --uts \
    bash "$0" --inside "$stash" "$@" || status=$?
  # With the namespace gone only empty folders are left there; rmdir removes
  # nothing else, whatever happened inside.
  find "$stash" -depth -type d -exec rmdir {} +
  runtime=$4
  [[ ! -d $runtime ]] || find "$runtime" -mindepth 1 -delete
  exit "$status"
fi

stash=$2 root=$3 unit=$4 logs=$5 runtime=$6
shift 6
unit_file=$root/usr/lib/systemd/system/$unit
fail() { echo "FAILED: $*" >&2; exit 1; }
[[ -f $unit_file ]] || fail "no unit $unit in $root"

# The values of the unit's KEY= lines, one a line.
setting() { sed -n "s/^$1=//p" "$unit_file"; }
# Field FIELD of the entry NAME of the root's passwd or group file.
account() { awk -F: -v name="$2" -v field="$3" '$1 == name { print $field }' "$root/etc/$1"; }

user=$(setting User) group=$(setting Group)
uid=$(account passwd "$user" 3) gid=$(account group "$group" 3)
home=$(account passwd "$user" 6) shell=$(account passwd "$user" 7)
[[ -n $uid && -n $gid ]] || fail "the root has no user $user or group $group"
logs_dir=/var/log/$(setting LogsDirectory)
runtime_dir=/run/$(setting RuntimeDirectory)

# The folders systemd makes for the service before starting it.
install -d -o "$uid" -g "$gid" -m "$(setting LogsDirectoryMode)" "$logs"
install -d -o "$uid" -g "$gid" -m "$(setting RuntimeDirectoryMode)" "$runtime"

# What the service runs with, read before the mounts hide the root.
unit_environment=()
while read -ra assignments; do
  unit_environment+=("${assignments[@]}")
done < <(setting Environment)
read -ra unset_names <<<"$(setting UnsetEnvironment)"
read -ra command <<<"$(setting ExecStart)"
working_directory=$(setting WorkingDirectory) umask=$(setting UMask) core=$(setting LimitCORE)

# DIR shows the files of LAYER over its own, read-only; the mounts below DIR
# stay where they were.
overlay_onto() {
  local dir=$1 layer=$2 copy=$stash/host$1 below target
  mkdir -p "$copy"
  mapfile -t below < <(findmnt -rn -o TARGET | grep "^$dir/" || true)
  mount --rbind "$dir" "$copy"
  mount -t overlay overlay -o "lowerdir=$layer:$copy" "$dir"
  for target in "${below[@]}"; do
    mount --bind "$copy${target#"$dir"}" "$target"
  done
}

# The package installed: its files, and the system user and /etc/Vantor.Cfg
# its postinst made.
overlay_onto /usr "$root/usr"
overlay_onto /etc "$root/etc"
# The places of the logs and runtime folders, then the folders themselves.
mkdir -p "$stash/layer$logs_dir" "$stash/layer$runtime_dir"
overlay_onto /var/log "$stash/layer/var/log"
overlay_onto /run "$stash/layer/run"
mount --bind "$logs" "$logs_dir"
mount --bind "$runtime" "$runtime_dir"

# ProtectSystem=strict: every mount read-only but the two folders, /proc
# and /dev, which follow.
mapfile -t mounts < <(findmnt -rn -o TARGET)
for target in "${mounts[@]}"; do
  case $target in
    /proc | /proc/* | /dev | /dev/* | "$logs_dir" | "$runtime_dir") ;;
    *) mount -o remount,bind,ro "$target" ;;
  esac
done

for dir in /home /root /run/user; do
  [[ ! -d $dir ]] || mount -t tmpfs -o ro,mode=000 tmpfs "$dir"
done
for dir in /tmp /var/tmp; do
  mount -t tmpfs -o mode=1777,nosuid,nodev tmpfs "$dir"
done
mount -t tmpfs -o mode=755,nosuid,noexec tmpfs /dev
for node in null:3 zero:5 full:7 random:8 urandom:9; do
  mknod -m 666 "/dev/${node%:*}" c 1 "${node#*:}"
done
ln -s /proc/self/fd /dev/fd
for fd in stdin:0 stdout:1 stderr:2; do ln -s "/proc/self/fd/${fd#*:}" "/dev/${fd%:*}"; done
mkdir /dev/shm
mount -t tmpfs -o mode=1777,nosuid,nodev tmpfs /dev/shm
mount -t proc -o nosuid,nodev,noexec,hidepid=invisible,subset=pid proc /proc

# The environment systemd gives a system service with a User=, then the
# unit's Environment= lines (each split at blanks: no quoting), the site's,
# and UnsetEnvironment= last.
environment=(PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin
  HOME="$home" USER="$user" LOGNAME="$user" SHELL="$shell" LOGS_DIRECTORY="$logs_dir"
  RUNTIME_DIRECTORY="$runtime_dir")
environment+=("${unit_environment[@]}" "$@")
kept=()
for assignment in "${environment[@]}"; do
  [[ " ${unset_names[*]} " == *" ${assignment%%=*} "* ]] || kept+=("$assignment")
done

cd "$working_directory"
umask "$umask"
ulimit -c "$core"
exec setpriv --reuid="$uid" --regid="$gid" --clear-groups --no-new-privs --bounding-set=-all \
  --inh-caps=-all env -i "${kept[@]}" "${command[@]}"
