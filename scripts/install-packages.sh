#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need beyond the
# compiler, CMake, GoogleTest and Google Benchmark; does nothing when they are
# all present.  Usage: scripts/install-packages.sh [extra packages...]
set -euo pipefail
packages=(libcli11-dev libexpat1-dev librsvg2-bin "$@")
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq "${missing[@]}"
