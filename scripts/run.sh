#!/usr/bin/env bash
# Installs what is needed, builds, and starts the program as a user meets it: on the live
# forecast sources (MET Norway, Open-Meteo). When neither answers within a few seconds, or
# with --sample, the sample service is started on a free loopback port instead and the
# program is pointed at it; it stops when the program ends. VETORLAN_SERVICE_URL, when set,
# names a page service to use as it is.
set -euo pipefail
cd "$(dirname "$0")/.."

sample=0
if [ "${1:-}" = "--sample" ]; then
    sample=1
    shift
fi
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

# Whether one of the live sources answers within a few seconds (one small request for Moscow).
live_sources_answer() {
    local agent
    agent="Vetorlan/$(build/nimbora --version | sed -n '1s/^nimbora (Vetorlan) //p')"
    local metno="${VETORLAN_METNO_URL:-https://api.met.no/weatherapi/locationforecast/2.0}"
    local meteo="${VETORLAN_OPENMETEO_URL:-https://api.open-meteo.com/v1}"
    curl -fsS -m 5 -o /dev/null -A "$agent" "${metno%/}/compact?lat=55.8333&lon=37.6167" 2>/dev/null ||
        curl -fsS -m 5 -o /dev/null -A "$agent" \
            "${meteo%/}/forecast?latitude=55.8333&longitude=37.6167&hourly=temperature_2m&forecast_days=1" 2>/dev/null
}

if [ -z "${VETORLAN_SERVICE_URL:-}" ] && [ "$sample" -eq 0 ]; then
    if live_sources_answer; then
        echo "Live forecasts: MET Norway, with Open-Meteo as the fallback."
    else
        echo "Neither MET Norway nor Open-Meteo answered within 5 seconds (no Internet?): starting the sample service with invented weather."
        sample=1
    fi
fi

if [ -z "${VETORLAN_SERVICE_URL:-}" ] && [ "$sample" -eq 1 ]; then
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
