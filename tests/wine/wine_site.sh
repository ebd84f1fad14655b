# What the tests under wine share: a stand-in per program, the sample jail
# loaded into it, and the flags it ends with. Sourced; expects `work` (a
# directory under /tmp, which wine shows as Z:\tmp), `standin`, `jailgen`,
# `servers` (the stand-ins' process ids, for the caller's trap) and
# `jail_options` (appended to the JAIL connection string).
fail() { echo "FAILED: $*" >&2; exit 1; }

# The sample jail's names go through tsql and the Linux runner in the
# locale's character set: the machine's own locale must not turn them into
# question marks, so these tests run in C.UTF-8 whatever it is.
export LANG=C.UTF-8 LC_ALL=C.UTF-8

# Starts a stand-in on its own data, with any further arguments; sets `port`
# to its port.
start_standin() {
  local dir=$work/$1
  mkdir -p "$dir/data"
  "$standin" --data "$dir/data" "${@:2}" >"$dir/standin.out" 2>&1 &
  servers+=($!)
  for _ in $(seq 100); do
    grep -qs '^listening on ' "$dir/standin.out" && break
    sleep 0.1
  done
  port=$(sed -n 's/^listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$dir/standin.out")
  [[ -n $port ]] || fail "the stand-in for $1 did not start: $(cat "$dir/standin.out")"
}

# Loads the sample jail into the stand-in for `name` at `port`; prints the
# site configuration file that reaches it.
load_jail() {
  local name=$1 port=$2 dir=$work/$1
  "$jailgen" --locations 12 --containers 4 --bookings 60 --seed 3 --out "$dir/jail.sql"
  cat >>"$dir/jail.sql" <<SQL
USE VANTOR
GO
UPDATE ConnectLib SET ConnString = 'Data Source=127.0.0.1;Port=$port;Initial Catalog=JAIL;User ID=sa$jail_options' WHERE ProgramID = 'JAIL'
GO
SQL
  tsql -H 127.0.0.1 -p "$port" -U sa -P '' <"$dir/jail.sql" >"$dir/load.out" 2>&1
  printf '[DataProvider]\r\nConnStr=Data Source=127.0.0.1;Port=%s;Initial Catalog=VANTOR;User ID=sa\r\n' \
    "$port"
}

flags() {
  printf 'SELECT LOCKEY, AVAILABLE FROM CFGPROPL ORDER BY LOCKEY\ngo\n%s\ngo\n' \
    'SELECT CONTAINERID, AVAILABLE FROM CFGPROPC ORDER BY CONTAINERID' |
    tsql -H 127.0.0.1 -p "$1" -U sa -P '' -D JAIL 2>/dev/null | grep -E '^[0-9]+\s+[01]$'
}
