#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need.
# As root it runs apt-get; otherwise it prints the exact command and stops.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  qt6-base-dev fonts-dejavu-core
  unixodbc-dev tdsodbc freetds-bin
  libsqlite3-dev libssl-dev libgnutls28-dev openssl
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev llvm clang-format git
  g++-mingw-w64-x86-64-posix googletest wine64 unzip xvfb xauth imagemagick
  dpkg-dev file lintian man-db desktop-file-utils libxml2-utils systemd  # the Debian packages, their checks
  debootstrap  # scripts/package-install-check.sh
)

# tdsodbc registers its driver only when debconf says so; the tests ask for it by name.
driver_ini=/usr/share/tdsodbc/odbcinst.ini
register_driver() { odbcinst -i -d -f "$driver_ini" >/dev/null; }
driver_registered() { odbcinst -q -d -n FreeTDS >/dev/null 2>&1; }

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]} == 0)) && driver_registered; then
  exit 0
fi

if [[ $(id -u) -ne 0 ]]; then
  echo "Missing packages or ODBC driver. Install them with:" >&2
  ((${#missing[@]} == 0)) ||
    echo "  sudo apt-get install -y --no-install-recommends ${missing[*]}" >&2
  echo "  sudo odbcinst -i -d -f $driver_ini   # unless 'odbcinst -q -d -n FreeTDS' finds it" >&2
  exit 1
fi

if ((${#missing[@]} > 0)); then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
driver_registered || register_driver
