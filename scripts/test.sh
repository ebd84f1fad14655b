#!/usr/bin/env bash
# Installs what is missing, checks that the sources are formatted (naming those
# that are not), then configures, builds and runs every test: first the
# default build; then the Windows cross build (mingw-w64) with its tests under
# wine; then the same tests as the first built with Clang under the address
# and undefined-behaviour sanitizers (build-sanitize), which also runs the fuzz
# targets as libFuzzer programs.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
scripts/format.sh --check
cmake --preset default
cmake --build --preset default -j "$(nproc)"
ctest --preset default

scripts/windows-tests.sh

cmake --preset sanitize
cmake --build --preset sanitize -j "$(nproc)"
ctest --preset sanitize
