#!/usr/bin/env bash
# The main job, on a fresh machine: installs and builds what is missing, lays
# out a site in a temporary folder the way a real installation is laid out
# (Apps/VANTOR.APP/Jail/<programs> and Apps/Vantor.Cfg/Vantor.ini), starts the
# stand-in with a generated sample jail whose site registry (ConnectLib)
# gives "JAIL" that jail, and runs the program from the site: the window, or
# with no display ($DISPLAY empty) the console runner for one pass. The
# stand-in stops when the program ends.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" --target sqlserver-standin jailgen \
  synch-property-locations synch-property-locations-run

site=$(mktemp -d "${TMPDIR:-/tmp}/jail-site.XXXXXX")
data="$site/standin-data"
programs="$site/Apps/VANTOR.APP/Jail"
mkdir -p "$data" "$programs" "$site/Apps/Vantor.Cfg"
log="$site/standin.out"
build/standin/server/sqlserver-standin --data "$data" >"$log" 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -rf "$site"' EXIT

for _ in $(seq 100); do
  grep -q '^listening on ' "$log" && break
  kill -0 "$server" 2>/dev/null || { cat "$log" >&2; exit 1; }
  sleep 0.1
done
port=$(sed -n 's/^listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$log" | head -n 1)
[[ -n $port ]] || { echo "the stand-in did not start" >&2; cat "$log" >&2; exit 1; }
echo "stand-in listening on 127.0.0.1:$port; site in $site"

# The sample registers JAIL at SQL Server's usual port; this stand-in has its own.
build/standin/jailgen/jailgen --locations 12 --containers 4 --bookings 60 --seed 1 \
  --out "$site/jail.sql"
cat >>"$site/jail.sql" <<SQL
USE VANTOR
GO
UPDATE ConnectLib SET ConnString = 'Data Source=127.0.0.1;Port=$port;Initial Catalog=JAIL;User ID=sa' WHERE ProgramID = 'JAIL'
GO
SQL
tsql -H 127.0.0.1 -p "$port" -U sa -P '' <"$site/jail.sql" >"$site/load.out" 2>&1 ||
  { cat "$site/load.out" >&2; exit 1; }

cp build/app/synch-property-locations build/app/synch-property-locations-run "$programs/"
printf '[DataProvider]\r\nConnStr=Data Source=127.0.0.1;Port=%s;Initial Catalog=VANTOR;User ID=sa\r\n' \
  "$port" >"$site/Apps/Vantor.Cfg/Vantor.ini"

# Save Log and --log write into the current folder, which is the site's.
cd "$site"
if [[ -n ${DISPLAY:-} ]]; then
  "$programs/synch-property-locations"
else
  "$programs/synch-property-locations-run" --log pass.log
fi
