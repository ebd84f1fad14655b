#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need.
# As root it runs apt-get; otherwise it prints the exact command and stops.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  qt6-base-dev
  unixodbc-dev tdsodbc freetds-bin
  libsqlite3-dev
  libgtest-dev libgmock-dev libbenchmark-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

if [[ $(id -u) -ne 0 ]]; then
  echo "Missing packages. Install them with:" >&2
  echo "  sudo apt-get install -y --no-install-recommends ${missing[*]}" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
