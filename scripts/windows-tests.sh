#!/usr/bin/env bash
# The Windows build's tests: cross-builds the Qt-free libraries and their tests
# for 64-bit Windows with mingw-w64 (preset windows-cross, build-windows) and
# runs them under wine64, headless. scripts/test.sh runs it between the Linux
# builds; on its own it needs the packages scripts/install-deps.sh installs.
set -euo pipefail
cd "$(dirname "$0")/.."

# Test discovery runs each test program under wine at build time; the first
# start makes the wine prefix, which can outlast discovery's time limit.
cmake/wine-run.sh cmd.exe /c exit 0
cmake --preset windows-cross
cmake --build --preset windows-cross -j "$(nproc)"
ctest --preset windows-cross
