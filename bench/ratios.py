#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Pairs up the strutil and GLib sides of a strutil_bench JSON report.

    strutil_bench --benchmark_repetitions=5 --benchmark_format=json > run.json
    bench/ratios.py run.json

Prints, per function and size, the CPU time of each side (the median when the
run has repetitions), GLib's time / strutil's time, strutil's nanoseconds per
byte and, with repetitions, the coefficient of variation of each side in per
cent: a ratio whose distance from 1.0 is below the two spreads is noise.
"""
import json
import sys


def main():
    with open(sys.argv[1]) as f:
        report = json.load(f)
    times = {}
    spreads = {}
    for b in report["benchmarks"]:
        aggregate = b.get("aggregate_name") if b.get("run_type") == "aggregate" else None
        if aggregate not in (None, "median", "cv"):
            continue
        if b.get("error_occurred"):
            continue
        name = b["run_name"] if "run_name" in b else b["name"]
        parts = name.split("/")
        function, side = parts[0], parts[1]
        size = int(parts[2]) if len(parts) > 2 else 0
        if aggregate == "cv":
            spreads[(function, size, side)] = b["cpu_time"] * 100
        else:
            times[(function, size, side)] = b["cpu_time"]  # in ns (time_unit ns)

    rows = sorted({(f, s) for f, s, _ in times})
    print(f"{'function':18} {'bytes':>9} {'strutil_ns':>12} {'glib side':20} {'glib_ns':>12} {'ratio':>7} {'ns/byte':>8} {'cv%':>11}")
    for function, size in rows:
        sides = {side: t for (f, s, side), t in times.items() if f == function and s == size}
        # A reference row (memcpy, strlen) has one side, compared with itself.
        ours_side = "strutil" if "strutil" in sides else next(iter(sides))
        ours = sides[ours_side]
        others = [(side, t) for side, t in sides.items() if side != "strutil"]
        for side, theirs in others or [("-", None)]:
            ratio = f"{theirs / ours:7.2f}" if ours and theirs else "      -"
            per_byte = f"{ours / size:8.3f}" if ours and size else "       -"
            cv = "/".join(f"{spreads[k]:.1f}" for k in dict.fromkeys(((function, size, ours_side), (function, size, side))) if k in spreads)
            print(f"{function:18} {size:9} {ours or 0:12.1f} {side:20} {theirs or 0:12.1f} {ratio} {per_byte} {cv:>11}")


if __name__ == "__main__":
    main()
