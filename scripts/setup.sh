#!/usr/bin/env bash
# Installs the Debian packages the project needs; installs only what is missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config clang-format clang libclang-rt-dev
    qt6-base-dev qt6-translations-l10n libcanberra0
    libcurl4-openssl-dev libcpp-httplib-dev libgtest-dev libgmock-dev
    xvfb xauth trayer xdotool x11-utils dbus fonts-dejavu-core
    desktop-file-utils appstream
    nginx-light curl
    g++-mingw-w64-x86-64
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${missing[@]}"
