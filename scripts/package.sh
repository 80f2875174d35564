#!/usr/bin/env bash
# Builds the Debian package build/vetorlan_<version>_<arch>.deb and checks it: lintian (errors
# and warnings fail the script) and hardening-check on the packaged program, each when installed.
# Arguments go to cmake, e.g. -DVETORLAN_HOMEPAGE=https://… -DVETORLAN_CONTACT=….
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build build --target vetorlan_deb
deb="$(ls -t build/vetorlan_*_*.deb | head -n 1)"
echo "Package: $deb"
if command -v lintian >/dev/null; then
    # lintian warns when run as root; the report itself is what matters.
    report="$(lintian --no-tag-display-limit "$deb" 2>/dev/null || true)"
    [ -n "$report" ] && echo "$report"
    if grep -q '^[EW]:' <<<"$report"; then
        echo "lintian found errors or warnings" >&2
        exit 1
    fi
fi
if command -v hardening-check >/dev/null; then
    unpacked="$(mktemp -d)"
    trap 'rm -rf "$unpacked"' EXIT
    dpkg-deb -x "$deb" "$unpacked"
    # Control-flow marks need start files that carry them; Debian 12's C library has none, so
    # no program built here shows them (/usr/bin/ls neither).
    hardening-check --nocfprotection "$unpacked/usr/bin/nimbora"
fi
