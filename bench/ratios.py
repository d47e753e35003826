#!/usr/bin/env python3
"""Pairs up the strutil and GLib sides of a strutil_bench JSON report.

    strutil_bench --benchmark_repetitions=5 --benchmark_format=json > run.json
    bench/ratios.py run.json

Prints, per function and size, the CPU time of each side (the median when the
run has repetitions), GLib's time / strutil's time, and strutil's nanoseconds
per byte.
"""
import json
import sys


def main():
    with open(sys.argv[1]) as f:
        report = json.load(f)
    times = {}
    for b in report["benchmarks"]:
        if b.get("run_type") == "aggregate" and b.get("aggregate_name") != "median":
            continue
        if b.get("error_occurred"):
            continue
        name = b["run_name"] if "run_name" in b else b["name"]
        parts = name.split("/")
        function, side = parts[0], parts[1]
        size = int(parts[2]) if len(parts) > 2 else 0
        times[(function, size, side)] = b["cpu_time"]  # in ns (time_unit ns)

    rows = sorted({(f, s) for f, s, _ in times})
    print(f"{'function':18} {'bytes':>9} {'strutil_ns':>12} {'glib side':20} {'glib_ns':>12} {'ratio':>7} {'ns/byte':>8}")
    for function, size in rows:
        ours = times.get((function, size, "strutil"), times.get((function, size, "copy")))
        others = [(side, t) for (f, s, side), t in times.items() if f == function and s == size and side != "strutil"]
        for side, theirs in others or [("-", None)]:
            ratio = f"{theirs / ours:7.2f}" if ours and theirs else "      -"
            per_byte = f"{ours / size:8.3f}" if ours and size else "       -"
            print(f"{function:18} {size:9} {ours or 0:12.1f} {side:20} {theirs or 0:12.1f} {ratio} {per_byte}")


if __name__ == "__main__":
    main()
