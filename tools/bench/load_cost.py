#!/usr/bin/env python3
"""The cost of a load: in the running program (today) against a one-shot load process, side by side.

usage: load_cost.py BUILD_DIR   (environment: RUNS=7, RUNS400=3, SOURCES=sample,live, TOWNS=1,400)
For each source and for 1 and 400 towns, alternating within each round:
  child-proto  bench-load-role --child (QCoreApplication, no window, Qt Core only: a load helper's cost)
  child-full   the same linked with every library nimbora links (a load role of nimbora itself)
  nimbora-load nimbora /load, offscreen (today's one-shot program with its window)
  in-process   bench-load-role --in-process K: load 1 (first in the process: libcurl loaded) and
               the median of loads 2..K (libcurl warm), as the tray program pays them today
Times are wall and CPU (user + system, of the process and its threads) in ms; medians."""
import os
import re
import shutil
import socket
import statistics
import subprocess
import sys
import tempfile
import time

from program_folder import write_settings

BUILD = sys.argv[1]
RUNS = int(os.environ.get("RUNS", 7))
RUNS400 = int(os.environ.get("RUNS400", 3))
SOURCES = os.environ.get("SOURCES", "sample,live").split(",")
work = tempfile.mkdtemp(prefix="load-cost-")
procs = []



def folder_for(name, towns):
    folder = "%s/%s" % (work, name)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    shutil.copy(BUILD + "/nimbora", folder)
    shutil.copy(BUILD + "/tools/bench-load-role", folder)
    shutil.copy(BUILD + "/tools/bench-load-role-full", folder)
    for extra in ("nimbora.css",):
        if os.path.exists(BUILD + "/" + extra):
            shutil.copy(BUILD + "/" + extra, folder)
    multi = towns > 1
    write_settings(folder, False, multi, towns if multi else 400)
    return folder


def run(args, env):
    """Wall and CPU ms of one process (posix_spawn + wait4: the child's own CPU time) and its output."""
    out = open(work + "/out.txt", "w+b")
    t0 = time.monotonic()
    pid = os.posix_spawn(args[0], args, env, file_actions=[(os.POSIX_SPAWN_DUP2, out.fileno(), 1),
                                                          (os.POSIX_SPAWN_DUP2, out.fileno(), 2)])
    _, status, usage = os.wait4(pid, 0)
    wall = (time.monotonic() - t0) * 1000
    out.seek(0)
    return wall, (usage.ru_utime + usage.ru_stime) * 1000, os.waitstatus_to_exitcode(status), out.read().decode()


def med(values):
    return statistics.median(values) if values else float("nan")


try:
    subprocess.run(["true"])
    svc = subprocess.Popen([BUILD + "/tools/sample-forecast-service", "--port", "0"], stdout=subprocess.PIPE,
                           stderr=subprocess.STDOUT, text=True)
    procs.append(svc)
    sample_url = svc.stdout.readline().split("listening on ")[1].split()[0]
    live = subprocess.Popen([BUILD + "/tools/bench-live", "--serve"], stdout=subprocess.PIPE, text=True)
    procs.append(live)
    metno = live.stdout.readline().split()[1]
    openmeteo = live.stdout.readline().split()[1]

    for source in SOURCES:
        print("(child-proto warm: the answer cache already holds the answers; the same as cold for sample)")
        for towns in [int(t) for t in os.environ.get("TOWNS", "1,400").split(",")]:
            runs = RUNS if towns == 1 else RUNS400
            env = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_CONFIG_HOME=work + "/config")
            if towns > 1:
                env["MULTI_TOWNS"] = str(towns)
            if source == "sample":
                env["VETORLAN_SERVICE_URL"] = sample_url
            else:
                env.update(VETORLAN_SERVICE_URL="", VETORLAN_METNO_URL=metno, VETORLAN_OPENMETEO_URL=openmeteo)
            rows = {"child-proto": [], "child-proto warm": [], "child-full": [], "nimbora-load": [], "in-process first": [],
                    "in-process later": []}
            warm_cache = "%s/warm-cache-%s-%d" % (work, source, towns)
            prime = folder_for("prime", towns)
            run([prime + "/bench-load-role", "--child"], dict(env, XDG_CACHE_HOME=warm_cache))
            cpu = {k: [] for k in rows}
            for r in range(runs):
                for what in ("child-proto", "child-proto warm", "child-full", "nimbora-load", "in-process"):
                    folder = folder_for(what, towns)
                    # A fresh answer cache for every process: each one's first load fetches;
                    # the in-process later loads find the answers cached, as the tray's do.
                    e = dict(env, XDG_CACHE_HOME=folder + "/cache")
                    if what == "child-proto warm":  # answers already cached, as for the tray's later loads
                        e["XDG_CACHE_HOME"] = warm_cache
                    if what == "child-full":  # linked with every library nimbora links
                        args = [folder + "/bench-load-role-full", "--child"]
                    elif what.startswith("child-proto"):
                        args = [folder + "/bench-load-role", "--child"]
                    elif what == "nimbora-load":
                        args = [folder + "/nimbora", "/load"]
                    else:
                        args = [folder + "/bench-load-role", "--in-process", "4" if towns > 1 else "6"]
                    wall, c, code, out = run(args, e)
                    if what != "in-process":
                        rows[what].append(wall)
                        cpu[what].append(c)
                        continue
                    loads = [tuple(map(float, m)) for m in re.findall(r"([\d.]+) ms wall, ([\d.]+) ms CPU", out)]
                    rows["in-process first"].append(loads[0][0])
                    cpu["in-process first"].append(loads[0][1])
                    rows["in-process later"].append(med([l[0] for l in loads[1:]]))
                    cpu["in-process later"].append(med([l[1] for l in loads[1:]]))
            print("%s, %d town%s (%d rounds): median wall / CPU ms" % (source, towns, "s" * (towns > 1), runs))
            for k in rows:
                print("  %-18s %8.1f / %8.1f" % (k, med(rows[k]), med(cpu[k])))
            sys.stdout.flush()
finally:
    for p in procs:
        p.kill()
        p.wait()
    shutil.rmtree(work, ignore_errors=True)
