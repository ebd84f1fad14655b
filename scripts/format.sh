#!/usr/bin/env bash
# Formats the tracked C++ sources with the project's .clang-format.
# With --check it changes nothing: it names every file that is not formatted
# and fails (the test command runs it so).
set -euo pipefail
cd "$(dirname "$0")/.."

command -v clang-format >/dev/null || {
  echo "clang-format is not installed (scripts/install-deps.sh installs it)." >&2
  exit 1
}

if [[ ${1:-} == --check ]]; then
  # clang-format reports each violation as "FILE:LINE:COLUMN: error: ..." and
  # fails; the names are what matters here.
  unformatted=$({ git ls-files -z '*.h' '*.cc' |
    xargs -0 clang-format --dry-run --Werror 2>&1 || true; } |
    sed -n 's/^\(.*\):[0-9]*:[0-9]*: error: .*clang-format-violations.*$/\1/p' | sort -u)
  if [[ -n $unformatted ]]; then
    echo "These files are not formatted by .clang-format; run scripts/format.sh:" >&2
    sed 's/^/  /' <<<"$unformatted" >&2
    exit 1
  fi
  exit 0
fi

git ls-files -z '*.h' '*.cc' | xargs -0 clang-format -i
