#!/usr/bin/env python3
"""Resident memory of a process by mapping: one line per library or kind of anonymous memory.

usage: smaps_breakdown.py PID|SMAPS_FILE [more PIDs or files: a column each] [--top N]
Anonymous mappings are named by shape: [heap], thread stacks (8 MB read-write regions),
malloc arenas (64 MB-aligned regions glibc reserves per arena), and the rest."""
import os
import re
import sys

HEADER = re.compile(r"^([0-9a-f]+)-([0-9a-f]+) (\S+) \S+ \S+ \S+\s*(.*)$")


def read_smaps(source):
    path = source if not source.isdigit() else "/proc/%s/smaps" % source
    with open(path) as f:
        text = f.read()
    maps = []
    for line in text.splitlines():
        m = HEADER.match(line)
        if m:
            maps.append({"start": int(m.group(1), 16), "end": int(m.group(2), 16), "perms": m.group(3),
                         "path": m.group(4).strip()})
            continue
        key, _, rest = line.partition(":")
        if maps and rest.strip().endswith("kB"):
            maps[-1][key] = int(rest.split()[0])
    return maps


def kind(m):
    path = m["path"]
    if path.startswith("/"):
        name = os.path.basename(path)
        name = re.sub(r"\.so[.0-9]*$", ".so", name)
        return name
    if path:
        return path  # [heap], [stack], [vdso], ...
    size_kb = (m["end"] - m["start"]) // 1024
    if size_kb == 8192 and m["perms"].startswith("rw"):
        return "(anon) thread stacks"
    if (m["start"] % (64 << 20) == 0 or m.get("_arena")) and m["perms"].startswith("rw"):
        return "(anon) malloc arenas"
    return "(anon) other"


def mark_arenas(maps):
    # glibc arenas: a 64 MB-aligned reservation whose first part is read-write.
    for m in maps:
        if not m["path"] and m["start"] % (64 << 20) == 0 and (m["end"] - m["start"]) <= (64 << 20):
            m["_arena"] = True


def breakdown(source):
    maps = read_smaps(source)
    mark_arenas(maps)
    groups = {}
    for m in maps:
        g = groups.setdefault(kind(m), {"Rss": 0, "Pss": 0, "Private": 0})
        g["Rss"] += m.get("Rss", 0)
        g["Pss"] += m.get("Pss", 0)
        g["Private"] += m.get("Private_Clean", 0) + m.get("Private_Dirty", 0)
    return groups


def main():
    args = sys.argv[1:]
    top = 40
    if "--top" in args:
        i = args.index("--top")
        top = int(args[i + 1])
        del args[i:i + 2]
    tables = [breakdown(a) for a in args]
    names = sorted(set().union(*tables), key=lambda n: -max(t.get(n, {"Rss": 0})["Rss"] for t in tables))
    print("%-34s" % "mapping (Rss / Private kB)" + "".join("%20s" % os.path.basename(a)[:18] for a in args))
    for n in names[:top]:
        cells = "".join("%13d /%5d" % (t.get(n, {}).get("Rss", 0), t.get(n, {}).get("Private", 0)) for t in tables)
        print("%-34s%s" % (n[:34], cells))
    total = "".join("%13d /%5d" % (sum(g["Rss"] for g in t.values()), sum(g["Private"] for g in t.values()))
                    for t in tables)
    print("%-34s%s" % ("total", total))


if __name__ == "__main__":
    main()
