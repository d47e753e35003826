#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs the benchmarks once on small inputs, to see that they work; never
# looks at a timing.
#
#   bench_smoke.sh STRUTIL_BENCH SCAN_BENCH
set -euo pipefail
strutil_bench=$1 scan_bench=$2
out=$(mktemp)
trap 'rm -f "$out"' EXIT

"$strutil_bench" --benchmark_min_time=0.01 --benchmark_filter='/(64|4096)$|set_num' | tee "$out"
# A pair whose two sides disagree on an input reports an error instead of a time.
if grep -q 'ERROR OCCURRED' "$out"; then
  echo "FAIL: a benchmark pair disagreed on its input" >&2
  exit 1
fi
if [ -d /usr/share/doc/hp2xx/hp-tests ]; then
  "$scan_bench" --benchmark_min_time=0.01 | tee "$out"
  ! grep -q 'ERROR OCCURRED' "$out" || { echo "FAIL: scan_bench" >&2; exit 1; }
fi
