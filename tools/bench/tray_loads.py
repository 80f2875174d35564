#!/usr/bin/env python3
"""Idle memory of the program in the tray before its first load, after one load and after many,
side by side with the bare tray program, on a fresh Xvfb display with a tray host.

Each copy starts in the tray with a fresh nimbora.htm (so no load at start); a load is started by
removing nimbora.htm: the scheduler's one-second tick finds the forecast missing and loads.
Scenarios (each COPIES copies): sample (the page service on loopback), live (the live sources'
stand-ins on loopback), refused (live sources over https to a closed loopback port: the load fails,
as an auto-load with no network does), live-arena1 (live with MALLOC_ARENA_MAX=1), live-multi10
(live, multi-town mode with ten towns: four worker threads), bare-child (the bare tray program
loading from the live stand-ins through a child process: bench-load-role-full --child).

usage: tray_loads.py BUILD_DIR OUT_DIR   (environment: COPIES=3 IDLE=40 SETTLE=35 LOADS=20
       SCENARIOS=sample,live,live-multi10,bare-child; TRIM=1: malloc_trim(0) through gdb at the end;
       ZAP=1: an experiment that drops the read-only pages of the libraries the load mapped, through
       gdb, then loads once more: it can crash the copy, which is why no design relies on it)
OUT_DIR receives report.txt and the smaps of the first copy of each scenario at each state
(tools/bench/smaps_breakdown.py reads them)."""
import glob
import os
import shutil
import signal
import socket
import statistics
import subprocess
import sys
import tempfile
import time

from program_folder import write_settings

BUILD, OUT = os.path.abspath(sys.argv[1]), sys.argv[2]
COPIES = int(os.environ.get("COPIES", 3))
IDLE = float(os.environ.get("IDLE", 40))
SETTLE = float(os.environ.get("SETTLE", 35))
LOADS = int(os.environ.get("LOADS", 20))
SCENARIOS = os.environ.get("SCENARIOS", "sample,live,live-multi10,bare-child").split(",")
TRIM = os.environ.get("TRIM", "0") == "1"
os.makedirs(OUT, exist_ok=True)
work = tempfile.mkdtemp(prefix="tray-loads-")
procs = []


def start(args, env=None, stdout=subprocess.DEVNULL, **kw):
    p = subprocess.Popen(args, env=env, stdout=stdout, stderr=subprocess.STDOUT if stdout != subprocess.DEVNULL
                         else subprocess.DEVNULL, **kw)
    procs.append(p)
    return p


def cleanup():
    for p in reversed(procs):
        if p.poll() is None:
            p.kill()
    for p in procs:
        try:
            p.wait(5)
        except Exception:
            pass
    shutil.rmtree(work, ignore_errors=True)


def read_line(path, prefix, timeout=20):
    end = time.time() + timeout
    while time.time() < end:
        if os.path.exists(path):
            for line in open(path):
                if line.startswith(prefix):
                    return line[len(prefix):].strip()
        time.sleep(0.1)
    raise SystemExit("no line %r in %s" % (prefix, path))




def make_folder(folder, towns=0):
    """towns > 0: multi-town mode with the first `towns` catalogue towns chosen."""
    os.makedirs(folder)
    shutil.copy(os.path.join(BUILD, "nimbora"), folder)
    for extra in ("nimbora.css", "_i"):
        src = os.path.join(BUILD, extra)
        if os.path.isdir(src):
            shutil.copytree(src, os.path.join(folder, extra))
        elif os.path.exists(src):
            shutil.copy(src, folder)
    write_settings(folder, True, bool(towns), towns)
    open(folder + "/nimbora.htm", "wb").write(b"<html></html>")


def rss(pid):
    for line in open("/proc/%d/status" % pid):
        if line.startswith("VmRSS:"):
            return int(line.split()[1])


def rollup(pid):
    values = {}
    for line in open("/proc/%d/smaps_rollup" % pid):
        parts = line.split()
        if len(parts) >= 2 and parts[0].endswith(":") and parts[1].isdigit():
            values[parts[0][:-1]] = int(parts[1])
    return values["Rss"], values["Pss"], values["Private_Clean"] + values["Private_Dirty"]


def re_map(line):
    parts = line.split()
    return len(parts) >= 6 and "-" in parts[0] and parts[5].startswith("/")


def forecast_file(folder):
    found = [f for f in os.listdir(folder) if f.lower() == "nimbora.htm"]
    return os.path.join(folder, found[0]) if found else None


try:
    # The display and its tray host.
    r, w = os.pipe()
    start(["Xvfb", "-displayfd", str(w), "-screen", "0", "1280x800x24", "-nolisten", "tcp"], pass_fds=(w,))
    os.close(w)
    display = os.read(r, 64).decode().strip()
    base_env = dict(os.environ, DISPLAY=":" + display, QT_QPA_PLATFORM="xcb", XDG_CONFIG_HOME=work + "/config")
    base_env.pop("DBUS_SESSION_BUS_ADDRESS", None)
    start(["trayer", "--edge", "bottom", "--align", "right"], env=base_env)
    time.sleep(1.5)

    # The services on loopback.
    start([BUILD + "/tools/sample-forecast-service", "--port", "0"], stdout=open(work + "/service.log", "w"))
    sample_url = read_line(work + "/service.log", "listening on ").split()[0]
    start([BUILD + "/tools/bench-live", "--serve"], stdout=open(work + "/live.log", "w"))
    metno = read_line(work + "/live.log", "metno ")
    openmeteo = read_line(work + "/live.log", "openmeteo ")
    closed = socket.socket()
    closed.bind(("127.0.0.1", 0))
    closed_port = closed.getsockname()[1]
    closed.close()  # nobody listens there: every connection is refused

    copies = []  # (scenario, index, folder or None, Popen)
    for scenario in SCENARIOS:
        for i in range(COPIES):
            folder = "%s/%s-%d" % (work, scenario, i)
            make_folder(folder, 10 if scenario.endswith("multi10") else 0)
            env = dict(base_env, XDG_CACHE_HOME=folder + "/cache")
            if scenario == "sample":
                env["VETORLAN_SERVICE_URL"] = sample_url
            elif scenario.startswith("live"):
                env.update(VETORLAN_SERVICE_URL="", VETORLAN_METNO_URL=metno, VETORLAN_OPENMETEO_URL=openmeteo)
            elif scenario == "refused":
                url = "https://127.0.0.1:%d" % closed_port
                env.update(VETORLAN_SERVICE_URL="", VETORLAN_METNO_URL=url, VETORLAN_OPENMETEO_URL=url)
            if scenario.endswith("arena1"):
                env["MALLOC_ARENA_MAX"] = "1"
            command = [folder + "/nimbora"]
            if scenario == "bare-child":  # the bare tray program loading through a child process
                shutil.copy(BUILD + "/tools/bench-load-role-full", folder)
                env.update(VETORLAN_SERVICE_URL="", VETORLAN_METNO_URL=metno, VETORLAN_OPENMETEO_URL=openmeteo)
                command = [BUILD + "/tools/bare-tray", folder + "/bench-load-role-full", "--child"]
            p = start(command, env=env, stdout=open(folder + "/stderr.log", "w"), cwd=folder)
            copies.append((scenario, i, folder, p))
    for i in range(COPIES):
        copies.append(("bare", i, None, start([BUILD + "/tools/bare-tray"], env=base_env)))

    report = open(OUT + "/report.txt", "w")

    def say(text):
        print(text, flush=True)
        report.write(text + "\n")
        report.flush()

    def measure(state):
        rows = {}
        for scenario, i, folder, p in copies:
            if p.poll() is not None:
                say("  %s-%d ended with %s" % (scenario, i, p.returncode))
                continue
            rows.setdefault(scenario, []).append((rss(p.pid),) + rollup(p.pid))
            if i == 0:
                shutil.copy("/proc/%d/smaps" % p.pid, "%s/%s-%s.smaps" % (OUT, state, scenario))
        bare = statistics.median(r[0] for r in rows["bare"])
        say("%s (median of %d copies; kB):" % (state, COPIES))
        for scenario, values in rows.items():
            med = [statistics.median(v[k] for v in values) for k in range(4)]
            say("  %-12s RSS %6d  PSS %6d  private %6d  ratio RSS/bare %.3f   (RSS of each: %s)" %
                (scenario, med[0], med[2], med[3], med[0] / bare, " ".join(str(v[0]) for v in values)))

    def load_all(n, timeout=90):
        """One load in every copy; returns the seconds from removal to the new file, by scenario.
        A failed load stops the automatic loads: those copies load once only."""
        waiting = []
        for scenario, i, folder, p in copies:
            if folder is None or (n > 1 and scenario == "refused"):
                continue
            f = forecast_file(folder)
            if f:
                os.remove(f)
            waiting.append((scenario, folder, time.time(), open(folder + "/stderr.log").read().count("\n")))
        times = {}
        end = time.time() + timeout
        while waiting and time.time() < end:
            for item in list(waiting):
                scenario, folder, t0, lines = item
                f = forecast_file(folder)
                done = f and os.path.getsize(f) > 0
                if scenario == "refused":  # fails at once: libcurl mapped, plus a little, tells the end
                    pid = [c[3].pid for c in copies if c[2] == folder][0]
                    done = "libcurl" in open("/proc/%d/maps" % pid).read() and time.time() - t0 > 3
                if done:
                    times.setdefault(scenario, []).append(time.time() - t0)
                    waiting.remove(item)
            time.sleep(0.05)
        for scenario, folder, _, _ in waiting:
            say("  load %d: %s did not finish (%s)" % (n, scenario, folder))
        return times

    time.sleep(IDLE)
    measure("before the first load")
    times = load_all(1)
    say("load 1, removal to file (s): " + ", ".join("%s %.2f" % (s, statistics.median(t)) for s, t in times.items()))
    time.sleep(SETTLE)
    measure("after 1 load")
    if LOADS > 1:
        for n in range(2, LOADS + 1):
            load_all(n)
            time.sleep(1.2)
        time.sleep(SETTLE)
        measure("after %d loads" % LOADS)
    if TRIM:
        for scenario, i, folder, p in copies:
            if folder and i == 0:
                before = rss(p.pid)
                subprocess.run(["gdb", "-p", str(p.pid), "-batch", "-ex", "call (int)malloc_trim(0)"],
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)
                time.sleep(1)
                say("  malloc_trim(0) in %s-0: RSS %d -> %d kB" % (scenario, before, rss(p.pid)))
                shutil.copy("/proc/%d/smaps" % p.pid, "%s/trimmed-%s.smaps" % (OUT, scenario))
    if os.environ.get("ZAP") == "1":
        # Experiment: drop the read-only pages of the libraries the load brought in (they come
        # back from the files at the next use), then load once more to see that it still works.
        for scenario, i, folder, p in copies:
            if not folder or i != 0:
                continue
            before_libs = {l.split()[-1] for l in open("%s/before the first load-%s.smaps" % (OUT, scenario))
                           if re_map(l)}
            calls = []
            for line in open("/proc/%d/maps" % p.pid):
                parts = line.split()
                if len(parts) >= 6 and parts[5].startswith("/") and parts[5] not in before_libs \
                        and "w" not in parts[1]:
                    a, b = (int(x, 16) for x in parts[0].split("-"))
                    calls += ["-ex", "call (int)madvise((void*)%d, %d, 4)" % (a, b - a)]
            before = rss(p.pid)
            subprocess.run(["gdb", "-p", str(p.pid), "-batch"] + calls, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=120)
            time.sleep(1)
            say("  MADV_DONTNEED on %d read-only mappings of the load's libraries in %s-0: RSS %d -> %d kB" %
                (len(calls) // 2, scenario, before, rss(p.pid)))
            shutil.copy("/proc/%d/smaps" % p.pid, "%s/zapped-%s.smaps" % (OUT, scenario))
        times = load_all(LOADS + 1)
        say("one more load after that: " + ", ".join("%s %.2f s" % (s, statistics.median(t)) for s, t in times.items()))
        time.sleep(SETTLE)
        measure("after one more load")
    for scenario, i, folder, p in copies:
        if folder and i == 0:
            shutil.copy(folder + "/stderr.log", "%s/%s-stderr.log" % (OUT, scenario))
finally:
    cleanup()
