#!/usr/bin/env bash
# Sets up a fresh machine, syntax-checks the Windows code (scripts/check-windows.sh), builds,
# runs every test, then the fuzzers (scripts/fuzz.sh). Started as root, it installs the
# packages as root, then builds and tests a copy of the tree as an ordinary user, because root
# passes every permission check and would hide the faults that users meet.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

build_and_test() {
    scripts/check-windows.sh
    scripts/build.sh
    (cd build && ctest --output-on-failure --timeout 600 -j2)
    scripts/fuzz.sh
}

if [ "$(id -u)" -ne 0 ]; then
    build_and_test
    exit
fi

user=vetorlan-test
id -u "$user" >/dev/null 2>&1 || useradd --create-home --shell /bin/bash "$user"
home=$(getent passwd "$user" | cut -d: -f6)
copy="$home/vetorlan"

# The copy keeps its own build folder between runs; everything else is taken afresh.
runuser -u "$user" -- mkdir -p "$copy"
find "$copy" -mindepth 1 -maxdepth 1 ! -name build -exec rm -rf {} +
tar --exclude=./build --exclude=./.git -cf - . | runuser -u "$user" -- tar -xf - -C "$copy"
# Cache variables keep the values of the run that made them; the tests need this tree's defaults.
rm -f "$copy/build/CMakeCache.txt"

# ccache, where installed, keeps the user's rebuilds short (its cache lives in that home).
launcher=$(command -v ccache || true)
runuser -u "$user" -- env -u XDG_RUNTIME_DIR HOME="$home" USER="$user" LOGNAME="$user" \
    ${launcher:+CMAKE_CXX_COMPILER_LAUNCHER="$launcher"} \
    bash -c "set -euo pipefail; cd '$copy'; $(declare -f build_and_test); build_and_test"
