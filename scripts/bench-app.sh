#!/usr/bin/env bash
# Measures the program as a user runs it, reporting medians:
#   - start-up time to the event loop (VETORLAN_QUIT_WHEN_IDLE=1), beside a bare Qt tray program,
#   - resident memory after IDLE_SECONDS idle, beside a bare Qt tray program,
#   - wall time of "/load" for one town and for all 400 towns from the sample service,
#   - wall time of "/load" of STALL_TOWNS towns (default 0: skipped) from a server that accepts
#     every connection and never answers (each fetch waits for the stall limit),
#   - wall time of "/load" of LIVE_TOWNS towns (default 0: skipped) from the live sources' stand-in
#     (that of bench-live), both answering, with an empty cache: every town asks once, at the
#     request gate's pace,
#   - wall time of "/load" of LIVE_STALL_TOWNS towns (default 0: skipped) from the live sources
#     with MET Norway never answering and Open-Meteo answering (the stand-in of bench-live),
#   - with TRAY_LOADS=n (default 0: skipped), idle memory of copies in the tray before the first
#     load, after one and after n loads, beside the bare tray program (tools/bench/tray_loads.py,
#     on its own Xvfb display with a tray host, whatever BENCH_PLATFORM says).
# Environment: BUILD_DIR (default build), PROGRAM (default $BUILD_DIR/nimbora), RUNS (default 7), MEM_RUNS (default 3),
# LOAD_RUNS (default 3), IDLE_SECONDS (default 60). Runs headless (offscreen) unless
# BENCH_PLATFORM names another Qt platform; BENCH_PLATFORM=xvfb runs on a fresh Xvfb display
# with a tray host (trayer), as a desktop user would.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${BUILD_DIR:-build}"
RUNS="${RUNS:-7}"
MEM_RUNS="${MEM_RUNS:-3}"
LOAD_RUNS="${LOAD_RUNS:-3}"
STALL_TOWNS="${STALL_TOWNS:-0}"
STALL_RUNS="${STALL_RUNS:-1}"
LIVE_STALL_TOWNS="${LIVE_STALL_TOWNS:-0}"
LIVE_TOWNS="${LIVE_TOWNS:-0}"
TRAY_LOADS="${TRAY_LOADS:-0}"
IDLE_SECONDS="${IDLE_SECONDS:-60}"
BENCH_PLATFORM="${BENCH_PLATFORM:-offscreen}"

if [ ! -d "$BUILD_DIR" ]; then
    cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$BUILD_DIR" --target nimbora sample-forecast-service bare-tray bench-live >/dev/null
PROGRAM="${PROGRAM:-$BUILD_DIR/nimbora}"
SERVICE="$BUILD_DIR/tools/sample-forecast-service"
BARE="$BUILD_DIR/tools/bare-tray"

work="$(mktemp -d)"
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
export XDG_CONFIG_HOME="$work/config"

if [ "$BENCH_PLATFORM" = xvfb ]; then
    export QT_QPA_PLATFORM=xcb
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
    pids+=($!)
    for _ in $(seq 1 100); do
        [ -s "$work/display" ] && break
        sleep 0.1
    done
    [ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
    export DISPLAY=":$(head -n 1 "$work/display")"
    trayer --edge bottom --align right >/dev/null 2>&1 &
    pids+=($!)
    sleep 1 # the tray host takes the tray selection
else
    export QT_QPA_PLATFORM="$BENCH_PLATFORM"
fi
echo "Platform: $QT_QPA_PLATFORM${DISPLAY:+ on $DISPLAY}"

median() { sort -n | awk '{ a[NR] = $1 } END { if (NR == 0) print "n/a"; else if (NR % 2) print a[(NR + 1) / 2]; else print (a[NR / 2] + a[NR / 2 + 1]) / 2 }'; }
now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# A program folder with settings: $1 folder, $2 MultiLoad, $3 towns in goroda.ini (default 400).
make_folder() {
    mkdir -p "$1"
    cp "$PROGRAM" "$1/nimbora"
    python3 - "$1" "$2" "${3:-400}" <<'PY'
import sys
folder, multi, towns = sys.argv[1], sys.argv[2], int(sys.argv[3])
lines = ["Vetorlan Options", "{Head}", "", "[Main:]", "VersionProgram=1.2 ' Do not edit!", "AutoRun=False",
         "StartTray=False", "WorkMode=DirectConn", "GorodSave=True", "", "[Loader:]", "LoadExit=False",
         "ShellLoad=False", "", "[Direct Connection Mode:]", "TimeLoad=07:00", "CheckActual=True", "ActualWait=12",
         "", "[Dial Up Mode:]", "PauseOnLine=5", "HangUp=False", "", "[View:]", "UseInternetExplorer=True", "",
         "[Copy:]", "NimboraCopy=False", "PathNimboraCopy=c:\\", "CopyPictures=False", "", "[Adding:]",
         "MultiLoad=" + multi, "Sound=False", "MSGError=False", "IndexStyle=Animation", "TranslitFileName=False", "",
         "{End}"]
open(folder + "/Options.ini", "wb").write(("\r\n".join(lines) + "\r\n").encode("cp1251"))
open(folder + "/gorod.ini", "wb").write(b" 1  22 \r\n")
open(folder + "/goroda.ini", "wb").write((" %d " % towns + "".join(" %d " % r for r in range(towns))).encode())
PY
}

echo "Start-up to the event loop ($RUNS runs each, alternating; wall time, and CPU time that other load disturbs less):"
make_folder "$work/start" False
# Prints "<wall ms> <cpu ms>" for one run of the program given, quitting when idle.
startup_ms() {
    VETORLAN_QUIT_WHEN_IDLE=1 python3 - "$1" <<'PY'
import os, sys, time
# posix_spawn and wait4: the CPU time is the program's own, without a copy of this interpreter.
null = os.open(os.devnull, os.O_WRONLY)
t0 = time.monotonic()
pid = os.posix_spawn(sys.argv[1], [sys.argv[1]], os.environ,
                     file_actions=[(os.POSIX_SPAWN_DUP2, null, 1), (os.POSIX_SPAWN_DUP2, null, 2)])
usage = os.wait4(pid, 0)[2]
wall = (time.monotonic() - t0) * 1000
print("%.1f %.1f" % (wall, (usage.ru_utime + usage.ru_stime) * 1000))
PY
}
for _ in $(seq 1 "$RUNS"); do
    echo "prog $(startup_ms "$work/start/nimbora")"
    echo "bare $(startup_ms "$BARE")"
done >"$work/startup"
for column in 2 3; do
    what=$([ "$column" = 2 ] && echo "wall" || echo "CPU ")
    prog_start=$(awk -v c="$column" '$1 == "prog" { print $c }' "$work/startup" | median)
    bare_start=$(awk -v c="$column" '$1 == "bare" { print $c }' "$work/startup" | median)
    awk -v w="$what" -v a="$prog_start" -v b="$bare_start" \
        'BEGIN { printf "  %s nimbora median %s ms, bare-tray median %s ms, ratio %.3f\n", w, a, b, a / b }'
done

echo "Resident memory after ${IDLE_SECONDS} s idle ($MEM_RUNS copies each, side by side):"
prog_pids=()
bare_pids=()
for i in $(seq 1 "$MEM_RUNS"); do
    make_folder "$work/idle$i" False
    "$work/idle$i/nimbora" >/dev/null 2>&1 &
    prog_pids+=($!)
    pids+=($!)
    "$BARE" >/dev/null 2>&1 &
    bare_pids+=($!)
    pids+=($!)
done
sleep "$IDLE_SECONDS"
rss() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"; }
# Proportional and private (clean + dirty) sizes, shared pages split among the copies.
pss() { awk '/^Pss:/ { print $2 }' "/proc/$1/smaps_rollup"; }
private() { awk '/^Private_(Clean|Dirty):/ { s += $2 } END { print s }' "/proc/$1/smaps_rollup"; }
prog_rss=$(for p in "${prog_pids[@]}"; do rss "$p"; done | median)
bare_rss=$(for p in "${bare_pids[@]}"; do rss "$p"; done | median)
prog_pss=$(for p in "${prog_pids[@]}"; do pss "$p"; done | median)
bare_pss=$(for p in "${bare_pids[@]}"; do pss "$p"; done | median)
prog_private=$(for p in "${prog_pids[@]}"; do private "$p"; done | median)
bare_private=$(for p in "${bare_pids[@]}"; do private "$p"; done | median)
for p in "${prog_pids[@]}" "${bare_pids[@]}"; do kill "$p" 2>/dev/null || true; done
echo "  nimbora   median ${prog_rss} kB (Pss ${prog_pss} kB, private ${prog_private} kB)"
echo "  bare-tray median ${bare_rss} kB (Pss ${bare_pss} kB, private ${bare_private} kB)"
awk -v a="$prog_rss" -v b="$bare_rss" 'BEGIN { printf "  ratio %.3f (nimbora / bare tray)\n", a / b }'

service_log="$work/service.log"
"$SERVICE" --port 0 >"$service_log" 2>&1 &
pids+=($!)
url=""
for _ in $(seq 1 100); do
    url="$(sed -n 's/^listening on \(http[^ ]*\).*/\1/p' "$service_log" | head -n 1)"
    [ -n "$url" ] && break
    sleep 0.1
done
[ -n "$url" ] || { echo "the sample service did not start" >&2; exit 1; }
export VETORLAN_SERVICE_URL="$url"

for mode in False True; do
    label=$([ "$mode" = True ] && echo "400 towns" || echo "one town")
    echo "\"/load\" of $label ($LOAD_RUNS runs):"
    for i in $(seq 1 "$LOAD_RUNS"); do
        rm -rf "$work/load"
        make_folder "$work/load" "$mode"
        t0=$(now_ms)
        "$work/load/nimbora" /load >/dev/null 2>&1
        echo $(( $(now_ms) - t0 ))
    done | median | awk '{ printf "  median %s ms\n", $1 }'
    echo "  pages written in the last run: $(find "$work/load" -maxdepth 1 -iname '*.htm' | wc -l)"
done

if [ "$STALL_TOWNS" -gt 0 ]; then
    stall_log="$work/stall.log"
    python3 -c 'import socket, time
s = socket.socket(); s.bind(("127.0.0.1", 0)); s.listen(1024)
print(s.getsockname()[1], flush=True); time.sleep(1e9)' >"$stall_log" 2>&1 &
    pids+=($!)
    for _ in $(seq 1 100); do [ -s "$stall_log" ] && break; sleep 0.1; done
    echo "\"/load\" of $STALL_TOWNS towns from a server that never answers ($STALL_RUNS runs):"
    for i in $(seq 1 "$STALL_RUNS"); do
        rm -rf "$work/stall"
        make_folder "$work/stall" True "$STALL_TOWNS"
        t0=$(now_ms)
        VETORLAN_SERVICE_URL="http://127.0.0.1:$(head -n 1 "$stall_log")" "$work/stall/nimbora" /load >/dev/null 2>&1
        echo $(( $(now_ms) - t0 ))
    done | median | awk '{ printf "  median %s ms\n", $1 }'
fi

live_log="$work/live.log"
if [ "$LIVE_TOWNS" -gt 0 ] || [ "$LIVE_STALL_TOWNS" -gt 0 ]; then
    "$BUILD_DIR/tools/bench-live" --serve >"$live_log" 2>&1 &
    pids+=($!)
    for _ in $(seq 1 100); do grep -q '^openmeteo ' "$live_log" && break; sleep 0.1; done
fi

if [ "$LIVE_TOWNS" -gt 0 ]; then
    echo "\"/load\" of $LIVE_TOWNS towns from the live sources' stand-in, an empty cache each run ($LOAD_RUNS runs):"
    for i in $(seq 1 "$LOAD_RUNS"); do
        rm -rf "$work/live" "$work/live-cache"
        make_folder "$work/live" True "$LIVE_TOWNS"
        t0=$(now_ms)
        VETORLAN_SERVICE_URL="" XDG_CACHE_HOME="$work/live-cache" \
            VETORLAN_METNO_URL="$(sed -n 's/^metno //p' "$live_log")" \
            VETORLAN_OPENMETEO_URL="$(sed -n 's/^openmeteo //p' "$live_log")" "$work/live/nimbora" /load >/dev/null 2>&1
        echo $(( $(now_ms) - t0 ))
    done | median | awk '{ printf "  median %s ms\n", $1 }'
    echo "  pages written in the last run: $(find "$work/live" -maxdepth 1 -iname '*.htm' | wc -l)"
fi

if [ "$LIVE_STALL_TOWNS" -gt 0 ]; then
    python3 -c 'import socket, time
s = socket.socket(); s.bind(("127.0.0.1", 0)); s.listen(1024)
print(s.getsockname()[1], flush=True); time.sleep(1e9)' >"$work/silent.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 1 100); do [ -s "$work/silent.log" ] && break; sleep 0.1; done
    echo "\"/load\" of $LIVE_STALL_TOWNS towns from the live sources, MET Norway never answering ($STALL_RUNS runs):"
    for i in $(seq 1 "$STALL_RUNS"); do
        rm -rf "$work/live" "$work/live-cache"
        make_folder "$work/live" True "$LIVE_STALL_TOWNS"
        t0=$(now_ms)
        VETORLAN_SERVICE_URL="" XDG_CACHE_HOME="$work/live-cache" \
            VETORLAN_METNO_URL="http://127.0.0.1:$(head -n 1 "$work/silent.log")" \
            VETORLAN_OPENMETEO_URL="$(sed -n 's/^openmeteo //p' "$live_log")" "$work/live/nimbora" /load >/dev/null 2>&1
        echo $(( $(now_ms) - t0 ))
    done | median | awk '{ printf "  median %s ms\n", $1 }'
    echo "  pages written in the last run: $(find "$work/live" -maxdepth 1 -iname '*.htm' | wc -l)"
fi

if [ "$TRAY_LOADS" -gt 0 ]; then
    cmake --build "$BUILD_DIR" --target bench-load-role-full bare-tray >/dev/null
    echo "Idle memory in the tray before the first load, after one and after $TRAY_LOADS loads:"
    LOADS="$TRAY_LOADS" COPIES="$MEM_RUNS" python3 tools/bench/tray_loads.py "$BUILD_DIR" "$work/tray-loads" |
        sed 's/^/  /'
fi
