#!/usr/bin/env bash
# Installs every Debian 12 package that building, testing, benchmarking and the demo need.
# Quick when everything is present; names what is missing when it cannot install.
set -euo pipefail

packages=(
  build-essential cmake make pkg-config clang-format
  dpkg-dev file
  libgtest-dev libgmock-dev libbenchmark-dev
  libx11-dev libxtst-dev xvfb xauth
  libcairo2-dev libfontconfig-dev fonts-liberation2 fonts-dejavu-core fonts-urw-base35
  libpng-dev zlib1g-dev
  libmysofa-dev libmysofa1 netcdf-bin
  libsndfile1-dev
  libfftw3-dev zam-plugins
  lv2-dev lilv-utils sordi liblilv-dev
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if [[ ${#missing[@]} -eq 0 ]]; then
  exit 0
fi

if [[ $(id -u) -ne 0 ]]; then
  if command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
    SUDO=sudo
  else
    echo "install-deps: these Debian packages are missing: ${missing[*]}" >&2
    echo "install-deps: run as root: apt-get install ${missing[*]}" >&2
    exit 1
  fi
else
  SUDO=
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
