#!/usr/bin/env bash
# Builds the Debian package build/vetorlan_<version>_<arch>.deb and checks it with lintian
# when lintian is installed (errors fail the script, warnings are listed).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target vetorlan_deb
deb="$(ls -t build/vetorlan_*_*.deb | head -n 1)"
echo "Package: $deb"
if command -v lintian >/dev/null; then
    # lintian warns when run as root; the report itself is what matters.
    report="$(lintian --no-tag-display-limit "$deb" 2>/dev/null || true)"
    [ -n "$report" ] && echo "$report"
    if grep -q '^E:' <<<"$report"; then
        echo "lintian found errors" >&2
        exit 1
    fi
fi
