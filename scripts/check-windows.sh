#!/usr/bin/env bash
# Syntax-checks the code the Windows build compiles (platform/ and core/) with the MinGW
# cross compiler against Debian's Qt 6 headers, so the Windows files cannot rot unseen on a
# Linux machine. Nothing is linked or run.
set -euo pipefail
cd "$(dirname "$0")/.."

# Qt's MinGW builds use the POSIX thread model (std::mutex and std::thread need it).
compiler=$(command -v x86_64-w64-mingw32-g++-posix || command -v x86_64-w64-mingw32-g++ || true)
if [ -z "$compiler" ]; then
    echo "check-windows: x86_64-w64-mingw32-g++ is missing (scripts/setup.sh installs it)" >&2
    exit 1
fi
qt=$(qmake6 -query QT_INSTALL_HEADERS 2>/dev/null || echo /usr/include/x86_64-linux-gnu/qt6)
curl_header=$(find /usr/include -path '*/curl/curl.h' -print -quit)

# libcurl's headers are the same on every system; they sit in a multiarch folder here.
extra=$(mktemp -d)
trap 'rm -rf "$extra"' EXIT
ln -s "$(dirname "$curl_header")" "$extra/curl"

failed=0
for file in platform/windows/*.cpp platform/common/*.cpp core/*.cpp; do
    if ! "$compiler" -std=c++20 -fsyntax-only -Wall -Wextra -I. -isystem "$extra" \
        -isystem "$qt" -isystem "$qt/QtCore" -isystem "$qt/QtGui" -isystem "$qt/QtDBus" \
        -DVETORLAN_VERSION='"0"' -DVETORLAN_HOMEPAGE='""' -DVETORLAN_CONTACT='""' -DVETORLAN_CURL_LINKED "$file"; then
        echo "check-windows: $file does not compile for Windows" >&2
        failed=1
    fi
done
exit $failed
