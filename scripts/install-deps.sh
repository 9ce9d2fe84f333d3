#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need.
# Does nothing when every package is already present.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev libgl-dev
  libsqlite3-dev
  firebird-dev firebird3.0-server-core firebird3.0-utils
  libgtest-dev
  # DejaVu Sans is the face fontconfig answers "sans-serif" with (with
  # Liberation alone it answers Liberation Mono); Liberation Sans is what
  # "Arial", the sheet's label face, resolves to.
  fonts-dejavu-core fonts-liberation
  xvfb xauth
  locales
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
