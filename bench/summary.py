"""Turns the raw output of bench/run's core measurements into its figures:

  core JSON              Google Benchmark's repetitions: median and spread of each case, and for
                         a test sequence its CPU time against its time on the wire at 9600 baud
  strace DIR             system calls of one scenario: from strace -c tables of bench_once runs
                         with a count of 0, 1 and 10 (DIR/<scenario>.<count>.txt)
  callgrind DIR          instructions of one scenario: callgrind totals of bench_once runs with a
                         count of 0 and 10 (DIR/<scenario>.<count>.out)
"""

import collections
import glob
import json
import os
import sys


def core(path):
    with open(path) as f:
        data = json.load(f)
    rows = collections.defaultdict(dict)
    for b in data["benchmarks"]:
        if b.get("run_type") != "aggregate":
            continue
        rows[b["run_name"]][b["aggregate_name"]] = b
    print(f"{'case':26} {'real median':>12} {'CPU median':>11} {'CPU min..max':>18} "
          f"{'CPU cv':>7}  extra")
    for name, agg in rows.items():
        med, lo, hi, cv = agg["median"], agg["min"], agg["max"], agg["cv"]
        unit = med["time_unit"]
        extra = ""
        if "wire_ms" in med:
            cpu_ms = med["cpu_time"] / 1000 if unit == "us" else float("nan")
            extra = (f"{med['bytes']:.0f} bytes, wire {med['wire_ms']:.1f} ms, "
                     f"CPU = {100 * cpu_ms / med['wire_ms']:.3f} % of wire time")
        elif "heap_bytes_per_event" in med:
            extra = f"{med['heap_bytes_per_event']:.0f} heap bytes per event kept"
        elif med.get("bytes"):
            extra = f"{med['bytes']:.0f} bytes per tick"
        print(f"{name:26} {med['real_time']:9.2f} {unit} {med['cpu_time']:8.2f} {unit} "
              f"{lo['cpu_time']:8.2f}..{hi['cpu_time']:<8.2f} {100 * cv['cpu_time']:6.1f}%  "
              f"{extra}")


def strace_counts(path):
    """{syscall: (calls, errors)} from an `strace -c -U name,calls,errors` table."""
    counts = {}
    with open(path) as f:
        for line in f:
            parts = line.split()
            if len(parts) in (2, 3) and all(p.isdigit() for p in parts[1:]):
                counts[parts[0]] = (int(parts[1]), int(parts[2]) if len(parts) == 3 else 0)
    return counts


def strace(directory):
    """Calls of one run (count 1 minus count 0) and the mean of ten; calls whose mean is below
    one half (thread start and end racing with the far end's thread) are left out."""
    scenarios = sorted({os.path.basename(p).split(".")[0]
                        for p in glob.glob(os.path.join(directory, "*.txt"))})
    for scenario in scenarios:
        runs = {n: strace_counts(os.path.join(directory, f"{scenario}.{n}.txt"))
                for n in (0, 1, 10)}
        calls = sorted(set().union(*runs.values()) - {"total"})

        def more(n, i):
            return {c: runs[n].get(c, (0, 0))[i] - runs[0].get(c, (0, 0))[i] for c in calls}
        one, ten, failed = more(1, 0), more(10, 0), more(10, 1)
        shown = [c for c in calls if abs(ten[c]) >= 5]
        total = sum(one[c] for c in shown)
        print(f"{scenario}: {total} calls: " + ", ".join(
            f"{c} {one[c]}" + (f" ({failed[c] / 10:g} failing)" if failed[c] else "")
            + (f" (mean of 10: {ten[c] / 10:g})" if ten[c] != 10 * one[c] else "")
            for c in shown))


def callgrind_total(path):
    with open(path) as f:
        for line in f:
            if line.startswith("totals:"):
                return int(line.split()[1])
    return 0


def callgrind(directory):
    for path in sorted(glob.glob(os.path.join(directory, "*.0.out"))):
        scenario = os.path.basename(path)[:-len(".0.out")]
        ten = callgrind_total(os.path.join(directory, f"{scenario}.10.out"))
        per = (ten - callgrind_total(path)) / 10
        print(f"{scenario}: {per:,.0f} instructions each")


if __name__ == "__main__":
    {"core": core, "strace": strace, "callgrind": callgrind}[sys.argv[1]](sys.argv[2])
