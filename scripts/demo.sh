#!/usr/bin/env bash
# Builds the stand-in, starts it on a fresh sample jail and shows that it answers.
# Leave it running with --keep (Ctrl-C stops it).
set -euo pipefail
cd "$(dirname "$0")/.."

keep=false
[[ ${1:-} == --keep ]] && keep=true

scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" --target sqlserver-standin jailgen

bin=build/standin
data=$(mktemp -d "${TMPDIR:-/tmp}/jail-demo.XXXXXX")
log="$data/standin.out"
"$bin/server/sqlserver-standin" --data "$data" >"$log" 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -rf "$data"' EXIT

for _ in $(seq 100); do
  grep -q '^listening on ' "$log" && break
  kill -0 "$server" 2>/dev/null || { cat "$log" >&2; exit 1; }
  sleep 0.1
done
port=$(sed -n 's/^listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$log" | head -n 1)
[[ -n $port ]] || { echo "the stand-in did not start" >&2; cat "$log" >&2; exit 1; }
echo "stand-in listening on 127.0.0.1:$port (data in $data)"

"$bin/jailgen/jailgen" --locations 12 --containers 4 --bookings 60 --seed 1 --out "$data/jail.sql"
tsql -H 127.0.0.1 -p "$port" -U sa -P '' <"$data/jail.sql" >"$data/load.out" 2>&1 ||
  { cat "$data/load.out" >&2; exit 1; }

tsql -H 127.0.0.1 -p "$port" -U sa -P '' -D JAIL -o q <<'SQL'
SELECT @@VERSION
SELECT COUNT(*) AS locations FROM CFGPROPL
SELECT COUNT(*) AS containers FROM CFGPROPC
SELECT COUNT(*) AS held_bookings FROM WARDERLY WHERE NAMERELEAS = 0
SELECT TOP 5 LOCATIONCODE, LOCATION, AVAILABLE, LOCKEY FROM CFGPROPL ORDER BY LOCKEY
go
SQL

if $keep; then
  echo "Connect with: tsql -H 127.0.0.1 -p $port -U sa -P '' -D JAIL   (Ctrl-C stops the stand-in)"
  wait "$server"
fi
