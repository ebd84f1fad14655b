#!/bin/sh
# Windows groundwork: compiles core/ and platform/'s Win32 sources with the mingw-w64 cross
# compiler that cmake/mingw-w64-x86_64.cmake names. The top-level CMake project does not yet
# configure for Windows (it requires SQLite3, ODBC and GTest for every host), so no library is
# linked and nothing runs under wine yet.
# Needs: apt-get install -y --no-install-recommends g++-mingw-w64-x86-64-posix
set -eu
cd "$(dirname "$0")/.."
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
for source in core/*.cc platform/win32_*.cc; do
  echo "compiling $source"
  x86_64-w64-mingw32-g++-posix -std=c++20 -Wall -Wextra -Werror -I. -c "$source" \
    -o "$out/$(basename "$source").o"
done
echo "core/ and platform/ (Win32) compile for Windows"
