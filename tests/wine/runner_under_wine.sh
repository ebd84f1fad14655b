#!/usr/bin/env bash
# The cross-built console runner under wine against the Linux stand-in, beside
# the Linux runner on a second stand-in loaded the same way. The Windows
# program must find its Vantor.ini on a wine drive, reach the server through
# wine's ODBC, settle the same flags as the Linux program, and save the same
# log in the ANSI code page (1252 under an English locale).
#
# usage: runner_under_wine.sh WINDOWS_RUNNER.exe|PACKAGE.zip LINUX_BUILD_DIR WINE_RUN LAYOUT
#   LAYOUT site:       the program in Apps\VANTOR.APP\Jail, Vantor.ini in Apps\Vantor.Cfg
#   LAYOUT drive-scan: the program in a folder of its own, Vantor.ini only at
#                      C:\Vantor.Cfg\Vantor.ini of a private wine prefix, which
#                      the search reaches by scanning the drives
#   LAYOUT encrypted:  as site, but both servers force encryption with a
#                      certificate from a test authority and the JAIL
#                      connection asks for it; the Linux runner trusts that
#                      authority and so verifies the server. Under wine the
#                      host's driver encrypts without verifying anything.
#   LAYOUT zip:        the Windows package (the first argument) unpacked into
#                      Apps as a site, its sample Vantor.ini's ConnStr pointed
#                      at the stand-in as the site's administrator would
set -euo pipefail
windows_runner=$1 linux_build=$2 wine_run=$3 layout=$4
windows_program=$(basename "$windows_runner")
standin=$linux_build/standin/server/sqlserver-standin
jailgen=$linux_build/standin/jailgen/jailgen
linux_runner=$linux_build/app/synch-property-locations-run
for tool in "$standin" "$jailgen" "$linux_runner"; do
  [[ -x $tool ]] || { echo "missing $tool: build the Linux preset first" >&2; exit 1; }
done

# Under /tmp, which wine shows as Z:\tmp, so both programs see one site.
work=$(mktemp -d /tmp/runner-under-wine.XXXXXX)
servers=()
trap 'kill "${servers[@]}" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT

source "$(dirname "$0")/wine_site.sh"

# An authority and a server certificate it signed for this machine's names;
# sets `authority` to the file a client trusts and `tls_options` to the
# stand-in's arguments for the server certificate.
make_certificates() {
  local dir=$work/certificates
  mkdir -p "$dir"
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj '/CN=Runner Test Authority' \
    -addext 'basicConstraints=critical,CA:TRUE' -addext 'keyUsage=critical,keyCertSign' \
    -keyout "$dir/authority.key" -out "$dir/authority.pem" 2>"$dir/openssl.err"
  openssl req -new -newkey rsa:2048 -nodes -subj '/CN=localhost' \
    -keyout "$dir/server.key" -out "$dir/server.csr" 2>>"$dir/openssl.err"
  printf '%s\n' 'subjectAltName=DNS:localhost,IP:127.0.0.1' 'basicConstraints=CA:FALSE' \
    'extendedKeyUsage=serverAuth' >"$dir/server.ext"
  openssl x509 -req -in "$dir/server.csr" -CA "$dir/authority.pem" -CAkey "$dir/authority.key" \
    -set_serial 2 -days 2 -extfile "$dir/server.ext" -out "$dir/server.pem" 2>>"$dir/openssl.err"
  authority=$dir/authority.pem
  tls_options=(--tls-cert "$dir/server.pem" --tls-key "$dir/server.key" --force-encryption)
}

tls_options=() jail_options='' linux_env=()
if [[ $layout == encrypted ]]; then
  make_certificates
  jail_options=';Use Encryption for Data=True'
  linux_env=(SSL_CERT_FILE="$authority")
fi
start_standin windows "${tls_options[@]}"
windows_port=$port
start_standin linux "${tls_options[@]}"
linux_port=$port

linux_site=$work/linux/Apps
mkdir -p "$linux_site/VANTOR.APP/Jail" "$linux_site/Vantor.Cfg"
load_jail linux "$linux_port" >"$linux_site/Vantor.Cfg/Vantor.ini"
cp "$linux_runner" "$linux_site/VANTOR.APP/Jail/"

case $layout in
  site | encrypted)
    windows_folder=$work/windows/Apps/VANTOR.APP/Jail
    mkdir -p "$windows_folder" "$work/windows/Apps/Vantor.Cfg"
    load_jail windows "$windows_port" >"$work/windows/Apps/Vantor.Cfg/Vantor.ini"
    ;;
  drive-scan)
    # The program's own drive is Z:, the Linux root, whose \Vantor.Cfg would come first.
    [[ ! -e /Vantor.Cfg/Vantor.ini ]] || fail "this machine has /Vantor.Cfg/Vantor.ini"
    export WINEPREFIX=$work/prefix
    "$wine_run" cmd.exe /c exit 0
    windows_folder=$work/windows/Tools
    mkdir -p "$windows_folder" "$WINEPREFIX/drive_c/Vantor.Cfg"
    load_jail windows "$windows_port" >"$WINEPREFIX/drive_c/Vantor.Cfg/Vantor.ini"
    ;;
  zip)
    site=$work/windows/Apps
    unzip -Z1 "$windows_runner" | grep -v '/$' | LC_ALL=C sort >"$work/package.list"
    printf '%s\n' README-site.txt VANTOR.APP/Jail/synch-property-locations-run.exe \
      VANTOR.APP/Jail/synch-property-locations.exe Vantor.Cfg/Vantor.ini | LC_ALL=C sort |
      cmp -s - "$work/package.list" ||
      fail "the package holds other files: $(cat "$work/package.list")"
    unzip -q "$windows_runner" -d "$site"
    windows_folder=$site/VANTOR.APP/Jail windows_program=synch-property-locations-run.exe
    ini=$site/Vantor.Cfg/Vantor.ini
    grep -q $'^\\[DataProvider\\]\r$' "$ini" && grep -q $'^ConnStr=.*\r$' "$ini" ||
      fail "the sample Vantor.ini has no [DataProvider] ConnStr in Windows lines: $(cat "$ini")"
    conn_str=$(load_jail windows "$windows_port" | sed -n 's/^ConnStr=\(.*\)\r$/\1/p')
    sed -i "s|^ConnStr=.*\r\$|ConnStr=$conn_str\r|" "$ini"
    ;;
  *) fail "unknown layout $layout" ;;
esac
[[ $layout == zip ]] || cp "$windows_runner" "$windows_folder/"
before=$(flags "$windows_port")

cd "$work/windows"
"$wine_run" "$windows_folder/$windows_program" --log pass.log >out.txt 2>err.txt ||
  fail "the Windows runner ended with $? ($(cat err.txt))"
cd "$work/linux"
env "${linux_env[@]}" LANG=C.UTF-8 LC_ALL=C.UTF-8 "$linux_site/VANTOR.APP/Jail/$(basename "$linux_runner")" \
  --log pass.log >out.txt 2>err.txt || fail "the Linux runner ended with $?"

after=$(flags "$windows_port")
[[ $before != "$after" ]] || fail "the sample jail had no flag to settle"
[[ $after == "$(flags "$linux_port")" ]] || fail "the two programs settled different flags"

grep -q 'Property Locations Synchronization Completed' "$work/windows/err.txt" ||
  fail "the Windows pass did not complete"
# The Linux log is UTF-8 after its byte-order mark; the Windows one is in 1252.
iconv -f CP1252 -t UTF-8 "$work/windows/pass.log" >"$work/windows/pass.utf8"
tail -c +4 "$work/linux/pass.log" | cmp -s - "$work/windows/pass.utf8" ||
  fail "the saved logs differ"
LC_ALL=C grep -q $'\xC9lise' "$work/windows/pass.log" ||
  fail "the saved log lacks a name in code page 1252"
if [[ $layout == encrypted ]]; then
  # The Windows runner's sessions were encrypted because the server takes no
  # other: one that cannot encrypt is turned away.
  ! grep -q '^session refused' "$work/windows/standin.out" ||
    fail "the server refused a session of the runners: $(cat "$work/windows/standin.out")"
  printf '[global]\n\tencryption = off\n' >"$work/clear.conf"
  ! echo 'SELECT 1' | FREETDSCONF=$work/clear.conf tsql -H 127.0.0.1 -p "$windows_port" -U sa -P '' \
    >/dev/null 2>&1 || fail "the server took a session in clear"
  grep -q '^session refused: encryption is forced' "$work/windows/standin.out" ||
    fail "the server did not say why it refused a session in clear"
fi
if [[ $layout == drive-scan ]]; then
  # The wineserver of the private prefix goes with it.
  WINEPREFIX=$WINEPREFIX "$(dirname "$(command -v wine64 || echo /usr/lib/wine/wine64)")/wineserver" -k || true
fi
echo "the Windows runner ($layout) settled $(wc -l <<<"$after") flags and saved its log in code page 1252"
