#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Vistaloom needs.
# Quick when everything is already there; safe to run again.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libgl-dev
  libcurl4-openssl-dev zlib1g-dev liblzma-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  python3 python3-pyftpdlib
  xvfb x11-apps imagemagick xdotool
  fonts-liberation
  clang libclang-rt-14-dev
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

echo "Installing: ${missing[*]}"
if [[ $(id -u) -ne 0 ]]; then
  sudo=sudo
else
  sudo=
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
