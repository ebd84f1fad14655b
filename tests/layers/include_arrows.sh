#!/usr/bin/env bash
# The include arrows between the program's folders point down. Each folder may
# use the folders listed before it; inside db/ the same holds between its
# layers. Prints every include that points elsewhere and fails.
#
# Usage: include_arrows.sh SOURCE_DIR
set -euo pipefail
cd "$1"

top_order=(core platform db config sync app)
db_order=(errors values odbc fields dataset access sqlserver connect_string locking site published)

# The two arrows that point up inside db/; the folders' CMakeLists.txt say why.
allowed_up=(
  "db/fields/field.cc db/dataset"
  "db/sqlserver/connection.cc db/connect_string"
)

# A folder's place in the order: core/ and platform/ first, then db/'s layers,
# then the folders above db/. Folders outside the order (tests, stand-in) -1.
rank_of() {
  local path=$1 i
  if [[ $path == db/*/* ]]; then
    local layer=${path#db/}
    layer=${layer%%/*}
    for i in "${!db_order[@]}"; do
      [[ ${db_order[$i]} == "$layer" ]] && { echo $((10 + i)); return; }
    done
  fi
  for i in "${!top_order[@]}"; do
    [[ ${top_order[$i]} == "${path%%/*}" ]] && { echo $((i < 2 ? i : 30 + i)); return; }
  done
  echo -1
}

failures=0
while IFS= read -r file; do
  from=$(rank_of "$file")
  while IFS= read -r target; do
    to=$(rank_of "$target")
    (( to < 0 )) && continue
    (( to <= from )) && continue
    up=false
    for rule in "${allowed_up[@]}"; do
      [[ "$file ${target%/*}" == "$rule" ]] && up=true
    done
    $up && continue
    echo "$file includes $target, which is not below it"
    failures=$((failures + 1))
  done < <(grep -oE '^#include "[a-z_]+/[^"]+"' "$file" | sed 's/^#include "//; s/"$//')
done < <(git ls-files core platform db config sync app | grep -E '\.(h|cc)$')

if (( failures > 0 )); then
  echo "$failures include(s) point up" >&2
  exit 1
fi
