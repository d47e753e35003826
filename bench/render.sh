#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Speed and peak memory of zelvo-render on a large plot, beside the PCL
# interpreter's own PDF writer and hp2xx on the same plot:
#
#   bench/render.sh ZELVO ZELVO_RENDER [MB]
#
# The plot is hp2xx's sample plots (/usr/share/doc/hp2xx/hp-tests),
# concatenated and repeated to MB megabytes (100 by default); the PCL job is
# zelvo's default job of it. Each run is timed once by /usr/bin/time (wall
# and CPU seconds, peak resident memory, the files it wrote), in a
# scratch folder that is removed at the end. The interpreter is found as
# ../shared/tools/render-pcl beside the checkout or through
# ZELVO_PCL_RENDERER, and left out where neither is there.
set -euo pipefail
zelvo=$1
render=$2
mb=${3:-100}
samples=/usr/share/doc/hp2xx/hp-tests
[ -d "$samples" ] || { echo "render.sh: hp2xx's samples are not installed" >&2; exit 1; }
here=$(cd "$(dirname "$0")/.." && pwd)
interpreter=${ZELVO_PCL_RENDERER:-$here/../shared/tools/render-pcl}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for f in "$samples"/*; do
  case $f in *.eps* | */readme) continue ;; esac
  gzip -dcf "$f"
  echo
done > "$work/unit.plt"
: > "$work/plot.plt"
while [ "$(stat -c %s "$work/plot.plt")" -lt $((mb * 1000000)) ]; do
  cat "$work/unit.plt" >> "$work/plot.plt"
done
"$zelvo" "$work/plot.plt" > "$work/job.pcl"

# run NAME COMMAND...: one timed run, its output folder emptied after.
run() {
  local name=$1
  shift
  mkdir -p "$work/out"
  if /usr/bin/time -f '%e %U %S %M' -o "$work/time" "$@" > /dev/null 2> "$work/err"; then
    read -r seconds user system rss < "$work/time"
    printf '%-34s %9.2f %9.2f %12d %6d\n' "$name" "$seconds" "$(echo "$user + $system" | bc)" \
      "$rss" "$(ls "$work/out" | wc -l)"
  else
    printf '%-34s failed: %s\n' "$name" "$(tail -1 "$work/err")"
  fi
  rm -rf "$work/out"
}

echo "plot: $(stat -c %s "$work/plot.plt") bytes of hp2xx's samples; job: $(stat -c %s "$work/job.pcl") bytes"
printf '%-34s %9s %9s %12s %6s\n' case seconds cpu_s peak_rss_kib files
run "zelvo-render plot -> pdf" "$render" -o "$work/out/plot.pdf" "$work/plot.plt"
run "zelvo-render job -> pdf" "$render" -o "$work/out/job.pdf" "$work/job.pcl"
run "zelvo-render job -> png 100 dpi" "$render" --dpi 100 -o "$work/out/job-%d.png" "$work/job.pcl"
if [ -x "$interpreter" ]; then
  gpcl6=$("$interpreter" --path)
  run "interpreter job -> pdf (pdfwrite)" "$gpcl6" -dNOPAUSE -dBATCH -dQUIET -sDEVICE=pdfwrite \
    -sOutputFile="$work/out/job.pdf" "$work/job.pcl"
  run "interpreter job -> png 100 dpi" "$gpcl6" -dNOPAUSE -dBATCH -dQUIET -sDEVICE=pnggray -r100 \
    -sOutputFile="$work/out/job-%d.png" "$work/job.pcl"
fi
if command -v hp2xx > /dev/null; then
  run "hp2xx plot -> eps" hp2xx -q -m eps -f "$work/out/plot.eps" "$work/plot.plt"
  run "hp2xx plot -> png 100 dpi" hp2xx -q -m png -d 100 -f "$work/out/plot.png" "$work/plot.plt"
fi
