#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Peak memory and time of zelvo-render on one page of many marks, in each
# output format:
#
#   bench/render_formats.sh ZELVO_RENDER [MB...]
#
# For each size (20 and 100 MB by default) the plot is one page of short
# lines at random places, as a CAD program's hatching or a scatter plot
# writes them (PU x,y;PD x+50,y+30; repeated, from a fixed seed). Each
# format is run once, timed by /usr/bin/time (wall and CPU seconds, peak
# resident memory, the output's size), in a scratch folder removed at the
# end.
set -euo pipefail
render=$1
shift
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(20 100)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

printf '%-6s %-6s %9s %9s %12s %12s\n' plot format seconds cpu_s peak_rss_kib output_bytes
for mb in "${sizes[@]}"; do
  python3 - "$mb" > "$work/plot.plt" <<'PY'
import random, sys
random.seed(1)
limit = int(sys.argv[1]) * 1000000
out = sys.stdout
out.write('IN;SP1;')
written = 7
while written < limit:
    chunk = ''.join('PU%d,%d;PD%d,%d;' % (x, y, x + 50, y + 30)
                    for x, y in ((random.randint(0, 10000), random.randint(0, 7000))
                                 for _ in range(10000)))
    out.write(chunk)
    written += len(chunk)
PY
  for format in pdf ps svg png; do
    out=$work/out.$format
    if /usr/bin/time -f '%e %U %S %M' -o "$work/time" "$render" -o "$out" "$work/plot.plt" \
      2> "$work/err"; then
      read -r seconds user system rss < "$work/time"
      printf '%-6s %-6s %9.2f %9.2f %12d %12d\n' "${mb}MB" "$format" "$seconds" \
        "$(echo "$user + $system" | bc)" "$rss" "$(stat -c %s "$out")"
    else
      printf '%-6s %-6s failed: %s\n' "${mb}MB" "$format" "$(tail -1 "$work/err")"
    fi
    rm -f "$out"
  done
done
