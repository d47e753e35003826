#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Raster graphics against the PCL interpreter: PCL jobs that Ghostscript's
# PCL printer drivers write afresh from PostScript (hp2xx's sample drawings
# and a colour plot gnuplot makes here), and an HP-GL/2 plot with HP RTL
# written here, each rendered at 100 dpi by both. As many pages, and each
# page's ink agreeing (ink_compare) to at least 0.95.
#
#   plot_files_agreement.sh ZELVO_RENDER INK_COMPARE
#
# Between them the drivers write compression methods 0 (laserjet), 2 and 3
# (ljet4), 1 (paintjet) and 9 (cdj550), monochrome, an RGB palette and
# four planes of black, cyan, magenta and yellow. Exits 77 when the
# interpreter, Ghostscript, gnuplot or the samples are missing.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
[ $# -eq 2 ] || { echo "usage: plot_files_agreement.sh ZELVO_RENDER INK_COMPARE" >&2; exit 2; }
zelvo_render=$1
ink_compare=$2
interpreter=${ZELVO_PCL_RENDERER:-$here/../../../shared/tools/render-pcl}
samples=/usr/share/doc/hp2xx/hp-tests
min_score=0.95

[ -x "$interpreter" ] || { echo "SKIP: no PCL interpreter at $interpreter (set ZELVO_PCL_RENDERER)"; exit 77; }
command -v gs >/dev/null || { echo "SKIP: no Ghostscript (Debian: ghostscript)"; exit 77; }
command -v gnuplot >/dev/null || { echo "SKIP: no gnuplot (Debian: gnuplot-nox)"; exit 77; }
[ -f "$samples/pages.eps.gz" ] || { echo "SKIP: no sample drawings in $samples (package hp2xx)"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
gzip -dc "$samples/pages.eps.gz" > "$work/pages.eps"
gzip -dc "$samples/pages.1.eps.gz" > "$work/pages1.eps"
gnuplot -e "set terminal postscript color solid; set output '$work/colour.ps'; set samples 200;
            plot sin(x) with filledcurves, cos(x) linewidth 4"

jobs=()
for drawing in pages pages1 colour; do
  source=$work/$drawing.eps
  [ "$drawing" = colour ] && source=$work/colour.ps
  for device in laserjet ljet4 paintjet cdj550 pjxl300; do
    gs -q -dBATCH -dNOPAUSE -dSAFER -sPAPERSIZE=letter -sDEVICE="$device" -r300 \
      -sOutputFile="$work/$drawing.$device.pcl" "$source" > /dev/null
    jobs+=("$drawing.$device")
  done
done

# A plot with HP RTL in it, at the pen and at the cursor, scaled and not:
# rows of methods 2 and 3 between its lines.
esc=$'\e'
{
  printf '%sE%s&l1O%s%%0BIN;SP1;PW0.5;PU1000,1000;PD5000,1000,5000,4000,1000,4000,1000,1000;PU1000,4000;' "$esc" "$esc" "$esc"
  printf '%s%%1A%s*t150R%s*r64S%s*r48T%s*t2880h2160V%s*r3A%s*b2M' "$esc" "$esc" "$esc" "$esc" "$esc" "$esc" "$esc"
  for ((r = 0; r < 48; r++)); do
    if ((r % 8 < 4)); then printf '%s*b4W\x03\xf0\xfc\x0f' "$esc"; else printf '%s*b4W\xf9\x00\x00\x00' "$esc"; fi
  done
  printf '%s*rC%s%%1BPU6000,1000;PD7000,2000;PU7000,1000;' "$esc" "$esc"
  printf '%s%%1A%s*t300R%s*r1A%s*b3M%s*b2W\x01\xff' "$esc" "$esc" "$esc" "$esc" "$esc"
  for ((r = 0; r < 60; r++)); do printf '%s*b0W' "$esc"; done
  printf '%s*rC%s%%0BPD8000,2000;%s%%0A%s*r0A%s*b0M%s*b3W\xff\x00\xff%s*rB%s%%0B' \
    "$esc" "$esc" "$esc" "$esc" "$esc" "$esc" "$esc" "$esc"
  printf 'PU;%sE' "$esc"
} > "$work/rtl-plot.pcl"
jobs+=(rtl-plot)

# PJL job headers: HP-GL/2 as a DesignJet takes it (its PS gives the
# page), and PCL entered with ESC %-1B and with ESC %1B. A plot outside a
# PCL job is drawn exactly rather than on the printer's pixel grid, so its
# pen is a hairline, which both put on the same pixels.
uel="$esc%-12345X"
plot=$'IN;SP1;PW0.5;PU1000,1000;PD15000,1000,15000,10000,1000,10000,1000,1000;PU3000,3000;LBPJL\003;'
printf '%s@PJL JOB NAME="plot"\r\n@PJL SET PAPER=A4\r\n@PJL ENTER LANGUAGE=HPGL2\r\nIN;PS16000,11000;%s%s@PJL EOJ\r\n%s' \
  "$uel" "${plot/PW0.5/PW0}" "$uel" "$uel" > "$work/pjl-hpgl2.pcl"
for enter in -1B 1B; do
  printf '%s@PJL JOB\n@PJL ENTER LANGUAGE = PCL\n%sE%s&l1O%s%%%s%s%s%%0A%sE%s@PJL EOJ\n%s' \
    "$uel" "$esc" "$esc" "$esc" "$enter" "$plot" "$esc" "$esc" "$uel" "$uel" > "$work/pjl-pcl$enter.pcl"
done
jobs+=(pjl-hpgl2 pjl-pcl-1B pjl-pcl1B)

failed=0
printf '%-22s %5s %5s  %s\n' job pcl zr scores
for job in "${jobs[@]}"; do
  mkdir "$work/$job"
  "$interpreter" -r 100 "$work/$job.pcl" "$work/$job/pcl-%d.png" > /dev/null 2>&1 || true
  "$zelvo_render" --dpi 100 -o "$work/$job/zr-%d.png" "$work/$job.pcl"
  pcl_pages=$(find "$work/$job" -name 'pcl-*.png' | wc -l)
  zr_pages=$(find "$work/$job" -name 'zr-*.png' | wc -l)
  result=pass scores=()
  [ "$pcl_pages" -eq "$zr_pages" ] && [ "$pcl_pages" -gt 0 ] || result=FAIL
  for ((page = 1; page <= pcl_pages && page <= zr_pages; page++)); do
    score=$("$ink_compare" "$work/$job/pcl-$page.png" "$work/$job/zr-$page.png" | cut -d' ' -f1)
    scores+=("$score")
    awk -v s="$score" -v m="$min_score" 'BEGIN { exit !(s < m) }' && result=FAIL
  done
  [ "$result" = FAIL ] && failed=$((failed + 1))
  printf '%-22s %5s %5s  %-4s %s\n' "$job" "$pcl_pages" "$zr_pages" "$result" "${scores[*]:-}"
done
echo "$((${#jobs[@]} - failed)) passed, $failed failed"
[ "$failed" -eq 0 ]
