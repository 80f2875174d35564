#!/usr/bin/env bash
# Installs what is needed, builds, and starts the program as a user meets it. Unless
# VETORLAN_SERVICE_URL names a forecast service, the sample service is started on a free
# loopback port first and the program is pointed at it; it stops when the program ends.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh

service_pid=""
service_log=""
cleanup() {
    if [ -n "$service_pid" ]; then
        kill "$service_pid" 2>/dev/null || true
        wait "$service_pid" 2>/dev/null || true
    fi
    [ -n "$service_log" ] && rm -f "$service_log"
    return 0
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ -z "${VETORLAN_SERVICE_URL:-}" ]; then
    # The pages name their pictures by this host; the program cuts it, so both must agree.
    export VETORLAN_IMAGE_HOST="${VETORLAN_IMAGE_HOST:-http://127.0.0.1:8765}"
    service_log="$(mktemp)"
    build/tools/sample-forecast-service --port 0 --image-host "$VETORLAN_IMAGE_HOST" >"$service_log" 2>&1 &
    service_pid=$!
    url=""
    for _ in $(seq 1 100); do
        url="$(sed -n 's/^listening on \(http[^ ]*\).*/\1/p' "$service_log" | head -n 1)"
        [ -n "$url" ] && break
        if ! kill -0 "$service_pid" 2>/dev/null; then
            cat "$service_log" >&2
            echo "The sample forecast service did not start." >&2
            exit 1
        fi
        sleep 0.1
    done
    if [ -z "$url" ]; then
        echo "The sample forecast service did not report its address." >&2
        exit 1
    fi
    echo "Sample forecast service: $url"
    export VETORLAN_SERVICE_URL="$url"
fi

# The program folder is build/: settings and pages are kept there.
build/nimbora "$@"
