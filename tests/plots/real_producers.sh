#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# What a user expects when printing real producers' plots with zelvo,
# checked on the pages the PCL 5 interpreter renders at 100 dpi. The plots
# are made afresh by make_plots.sh. One function per expectation, each
# printing PASS or FAIL per plot with what it saw.
#
#   real_producers.sh ZELVO INK_COMPARE
#
# The interpreter is ZELVO_PCL_RENDERER, or ../shared/tools/render-pcl beside
# the checkout. Exits 0 when every case passes, 1 otherwise, 77 when the
# interpreter or a producer is missing.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
[ $# -eq 2 ] || [ $# -eq 3 ] || { echo "usage: real_producers.sh ZELVO INK_COMPARE [ZELVO_CUPS]" >&2; exit 2; }
zelvo=$1
ink_compare=$2
zelvo_cups=${3:-}
interpreter=${ZELVO_PCL_RENDERER:-$here/../../../shared/tools/render-pcl}
[ -x "$interpreter" ] || { echo "SKIP: no PCL interpreter at $interpreter (set ZELVO_PCL_RENDERER)"; exit 77; }
command -v pamthreshold >/dev/null || { echo "SKIP: netpbm is not installed"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
plots=$work/plots
status=0
"$here/make_plots.sh" "$plots" > "$work/made.txt" || status=$?
[ "$status" -eq 0 ] || { cat "$work/made.txt"; exit "$status"; }

dpi=100
margin=$((dpi / 4)) # zelvo -fit leaves 1/4 inch on every side
failures=0
cases=0

verdict() { # PASS|FAIL EXPECTATION PLOT DETAIL
  cases=$((cases + 1))
  [ "$1" = PASS ] || failures=$((failures + 1))
  printf '%s %s %s: %s\n' "$1" "$2" "$3" "$4"
}

# pages_expected PLOT: the pages its producer was asked for.
pages_expected() {
  awk -v plot="$1" '$1 == plot { print $2 }' "$work/made.txt"
}

# render NAME FILE: renders the job FILE into $work/NAME/page-N.png and
# prints how many pages came out.
render() {
  rm -rf "${work:?}/$1"
  mkdir "$work/$1"
  "$interpreter" -r "$dpi" "$2" "$work/$1/page-%d.png" >/dev/null 2>&1 || true
  local n=0
  while [ -f "$work/$1/page-$((n + 1)).png" ]; do n=$((n + 1)); done
  echo "$n"
}

# job NAME PLOT OPTIONS...: zelvo's job for PLOT, rendered as NAME; prints
# the pages. Letter is the system's paper, as on most desks here.
job() {
  local name=$1 plot=$2
  shift 2
  PAPERSIZE=letter "$zelvo" "$@" "$plots/$plot" > "$work/$name.pcl" 2>> "$work/zelvo.err"
  render "$name" "$work/$name.pcl"
}

# box PNG: "W H LEFT TOP RIGHT BOTTOM", the page's size and the blank
# pixels between the marks and each edge; "W H none" without any. Every
# pixel that is not white is a mark: light pens print too (gnuplot's
# surface has a key line in pen 3, a pale gray), and -fit counts them.
box() {
  pngtopnm "$1" | pamthreshold -simple -threshold 0.98 | pnmtopng > "$work/marks.png"
  "$ink_compare" --bbox "$work/marks.png" | awk '$5 == "none" { print $2, $3, "none"; next }
                                    { print $2, $3, $5, $6, $2 - 1 - $7, $3 - 1 - $8 }'
}

# every_plot: the plots make_plots.sh made, one name a line.
every_plot() {
  awk 'NF >= 2 && $2 ~ /^[0-9]+$/ { print $1 }' "$work/made.txt"
}

# 1. A PG followed by more drawing ends the printed page: a plot of N pages
# prints N pages under -hold, and every other plot the one page it asks
# for, hp2xx's 800 mm plot too, which leaves the pen off the sheet.
hold_prints_every_page() {
  local plot pages expected
  for plot in $(every_plot); do
    expected=$(pages_expected "$plot")
    pages=$(job hold "$plot" -hold)
    if [ "$pages" -eq "$expected" ]; then
      verdict PASS hold_prints_every_page "$plot" "pages: $pages"
    else
      verdict FAIL hold_prints_every_page "$plot" "pages: $pages printed, $expected in the plot"
    fi
  done
}

# 1b. zelvo-cups reports the pages the interpreter renders from its job, for
# page_log and quotas.
cups_counts_every_page() {
  [ -n "$zelvo_cups" ] || return 0
  local plot pages reported
  for plot in $(every_plot); do
    "$zelvo_cups" 1 user title 1 '' "$plots/$plot" > "$work/cups.pcl" 2> "$work/cups.err"
    reported=$(grep -c '^PAGE: ' "$work/cups.err" || true)
    pages=$(render cups "$work/cups.pcl")
    if [ "$reported" -eq "$pages" ]; then
      verdict PASS cups_counts_every_page "$plot" "PAGE lines: $reported"
    else
      verdict FAIL cups_counts_every_page "$plot" "$reported PAGE lines, $pages pages rendered"
    fi
  done
}

# 2. A plot its producer wrapped in PCL ends in PCL context: nothing of
# zelvo's trailer may print as text, neither on a page of its own nor on
# the drawing. Every ink pixel of zelvo's pages must be the plot's own:
# within 2 pixels of the ink of the plot rendered by itself, or of its
# HP-GL/2 taken out of the PCL wrapping and printed by zelvo -hold (for
# plots whose wrapping sets nothing, the plot alone lands elsewhere on the
# page than inside zelvo's frame).
unwrapped() { # PLOT: the HP-GL/2 between the first ESC%#B and the last ESC%0A
  perl -0777 -ne 'print $1 if /\e%[01]B(.*)\e%0A/s' "$1"
}
hold_prints_no_trailer_text() {
  local plot expected pages alone page extra worst
  for plot in gnuplot-pcl5-letter.pcl gnuplot-pcl5-a4-port.pcl gnuplot-pcl5-36x48.pcl \
              graph-letter.pcl graph-a4-logx.pcl pstoedit-plot-pcl.pcl pstoedit-hpgl2-eps.hpgl \
              fig2dev-pcl.hpgl; do
    expected=$(pages_expected "$plot")
    pages=$(job hold "$plot" -hold)
    alone=$(render alone "$plots/$plot")
    unwrapped "$plots/$plot" > "$work/unwrapped.hpgl"
    PAPERSIZE=letter "$zelvo" -hold "$work/unwrapped.hpgl" > "$work/unwrapped.pcl"
    render unwrapped "$work/unwrapped.pcl" >/dev/null
    worst=0
    for ((page = 1; page <= pages && page <= expected; page++)); do
      extra=$(for reference in alone unwrapped; do
                [ -f "$work/$reference/page-$page.png" ] || continue
                "$ink_compare" "$work/hold/page-$page.png" "$work/$reference/page-$page.png" \
                  | sed -n 's/.* a_only=\([0-9]*\) .*/\1/p'
              done | sort -n | head -n 1)
      [ "${extra:-0}" -gt "$worst" ] && worst=${extra:-0}
    done
    # A few pixels of slack for anti-aliased edges; the six letters of a
    # trailer come to over a hundred.
    if [ "$pages" -eq "$expected" ] && [ "$worst" -le 10 ]; then
      verdict PASS hold_prints_no_trailer_text "$plot" "pages: $pages, $worst pixels not the plot's"
    else
      verdict FAIL hold_prints_no_trailer_text "$plot" \
        "pages: $pages ($expected in the plot, $alone of the plot alone), $worst pixels not the plot's"
    fi
  done
}

# 3. A turned plot keeps its shape. gnuplot's hpgl plots scale to P1/P2
# with an anisotropic SC; turned by -port, -rot 90 or 270, by -fit's
# -rot 270, or by zelvo-cups' fit-to-page, whose job turns a tall drawing
# upright, the ink's box has the proportions of the unturned job's, turned
# (to 2 %); it stays off the page's edges, and it is turned: not the
# unturned job's ink (an agreement below 0.5). So do hand-written plots of
# each kind of SC (anisotropic, isotropic, point factor) and plotutils',
# which sets its own P1 and P2.
sc_plot() { # NAME SC: a landscape box with a diagonal and a corner mark
  printf 'IN;%sSP1;PA50,50;PD950,50,950,550,50,550,50,50;PA50,50;PD500,300;PA800,400;PD900,400,900,500,800,400;PU;\n' \
    "$2" > "$plots/$1"
}

# turned_shape EXPECTATION PLOT PLAIN TURNED: the ink of the rendered jobs
# PLAIN and TURNED (pages of $work) compared.
turned_shape() {
  local expectation=$1 plot=$2 w h l t r b tw th l2 t2 r2 b2 same
  read -r w h l t r b <<< "$(box "$work/$3/page-1.png")"
  read -r _ _ l2 t2 r2 b2 <<< "$(box "$work/$4/page-1.png")"
  if [ "$l" = none ] || [ "$l2" = none ]; then
    verdict FAIL "$expectation" "$plot" "no ink, unturned or turned"
    return
  fi
  same=$("$ink_compare" "$work/$3/page-1.png" "$work/$4/page-1.png" | cut -d' ' -f1)
  tw=$((w - l2 - r2)) th=$((h - t2 - b2))
  w=$((w - l - r)) h=$((h - t - b))
  # Turned, the plot's X runs across the sheet: the unturned ink's height.
  if awk -v a="$((h * th))" -v b="$((w * tw))" 'BEGIN { exit !(a - b <= a * 0.02 && b - a <= a * 0.02) }' \
     && [ "$l2" -gt 0 ] && [ "$t2" -gt 0 ] && [ "$r2" -gt 0 ] && [ "$b2" -gt 0 ] \
     && awk -v s="$same" 'BEGIN { exit !(s < 0.5) }'; then
    verdict PASS "$expectation" "$plot" "ink ${tw}x${th} px turned, ${w}x${h} unturned; agreement $same"
  else
    verdict FAIL "$expectation" "$plot" \
      "ink ${tw}x${th} px turned, ${w}x${h} unturned (${th}/${tw} wanted ${w}/${h}); margins $l2 $t2 $r2 $b2; agreement $same"
  fi
}

turned_keeps_the_shape() {
  local plot turn unturned
  sc_plot sc-anisotropic.plt 'SC0,1000,0,600;'
  sc_plot sc-isotropic.plt 'SC0,1000,0,600,1;'
  sc_plot sc-point-factor.plt 'SC0,7,0,7,2;'
  for plot in gnuplot-hpgl-sin.hpgl gnuplot-hpgl-half.hpgl gnuplot-hpgl-eject2.hpgl graph-a4.hpgl \
              sc-anisotropic.plt sc-isotropic.plt sc-point-factor.plt; do
    for turn in "-hold -port" "-hold -rot 90" "-hold -rot 270" "-fit -paper letter -rot 270"; do
      unturned=(-hold)
      [[ $turn = -fit* ]] && unturned=(-fit -paper letter)
      # shellcheck disable=SC2086 # the turn's words
      if [ "$(job unturned "$plot" "${unturned[@]}")" -eq 0 ] || [ "$(job turned "$plot" $turn)" -eq 0 ]; then
        verdict FAIL turned_keeps_the_shape "$plot" "no page, unturned or under $turn"
        continue
      fi
      turned_shape turned_keeps_the_shape "$plot ($turn)" unturned turned
    done
  done
}

# 3a. zelvo-cups, run as CUPS runs it on a queue of zelvo's driver: a
# fit-to-page job that asks for no orientation turns a tall drawing upright
# to print it larger, and keeps its shape; its log says so.
cups_fit_turns_and_keeps_the_shape() {
  [ -n "$zelvo_cups" ] || return 0
  gnuplot -e "set terminal hpgl; set output '$plots/gnuplot-hpgl-tall.hpgl'; set size 0.45,1; plot sin(x)"
  job unturned gnuplot-hpgl-tall.hpgl -hold >/dev/null
  PPD=$here/../../cups/zelvo-pcl5.ppd "$zelvo_cups" 1 user title 1 fit-to-page \
    "$plots/gnuplot-hpgl-tall.hpgl" > "$work/cups.pcl" 2> "$work/cups.err"
  render turned "$work/cups.pcl" >/dev/null
  if ! grep -q '^DEBUG: zelvo-cups: fitted at .*, rotation 270$' "$work/cups.err"; then
    verdict FAIL cups_fit_turns_and_keeps_the_shape gnuplot-hpgl-tall.hpgl \
      "not fitted and turned: $(grep '^DEBUG: zelvo-cups: ' "$work/cups.err" | tr '\n' ' ')"
    return
  fi
  turned_shape cups_fit_turns_and_keeps_the_shape gnuplot-hpgl-tall.hpgl unturned turned
}

# fitted NAME EXPECTATION PLOT W H: the page NAME is W x H pixels and its
# ink is centred and fills the printable area: one pair of sides at the 1/4
# inch margins, to 3 pixels on average (where the ink lies is the centring's
# to judge). Centred to 5 pixels: zelvo measures the labels with the
# renderer's stroke font, whose glyphs reach up to a millimetre from the
# interpreter's own.
fitted() {
  local name=$1 expectation=$2 plot=$3 width=$4 height=$5 w h l t r b
  read -r w h l t r b <<< "$(box "$work/$name/page-1.png")"
  if [ "$l" = none ]; then
    verdict FAIL "$expectation" "$plot" "no ink"
  elif [ $((w - width)) -ge -1 ] && [ $((w - width)) -le 1 ] && [ $((h - height)) -ge -1 ] \
       && [ $((h - height)) -le 1 ] && [ $(((l - r) * (l - r))) -le 25 ] \
       && [ $(((t - b) * (t - b))) -le 25 ] \
       && { [ $(((l + r - 2 * margin) ** 2)) -le 36 ] || [ $(((t + b - 2 * margin) ** 2)) -le 36 ]; }; then
    verdict PASS "$expectation" "$plot" "margins $l $t $r $b px on ${w}x${h}"
  else
    verdict FAIL "$expectation" "$plot" \
      "margins $l $t $r $b px (left top right bottom) on ${w}x${h}, ${width}x${height} wanted"
  fi
}

# single_page_plots: the plots of one page.
single_page_plots() {
  awk 'NF >= 2 && $2 == 1 { print $1 }' "$work/made.txt"
}

# 3b. -port keeps every plot whole: a plot that prints whole on the plain
# job's page (its ink off every edge) prints whole turned, on one page.
hold_port_prints_whole() {
  local plot w h l t r b
  for plot in $(single_page_plots); do
    [ "$(job plain "$plot")" -eq 1 ] || continue
    read -r w h l t r b <<< "$(box "$work/plain/page-1.png")"
    [ "$l" != none ] && [ "$l" -gt 0 ] && [ "$t" -gt 0 ] && [ "$r" -gt 0 ] && [ "$b" -gt 0 ] || continue
    if [ "$(job port "$plot" -hold -port)" -ne 1 ]; then
      verdict FAIL hold_port_prints_whole "$plot" "not one page under -hold -port"
      continue
    fi
    read -r w h l t r b <<< "$(box "$work/port/page-1.png")"
    if [ "$l" != none ] && [ "$l" -gt 0 ] && [ "$t" -gt 0 ] && [ "$r" -gt 0 ] && [ "$b" -gt 0 ]; then
      verdict PASS hold_port_prints_whole "$plot" "margins $l $t $r $b px"
    else
      verdict FAIL hold_port_prints_whole "$plot" "margins $l $t $r $b px: cut at an edge"
    fi
  done
}

# 4. -fit measures the drawing: every plot file of one page (most with no
# plot size of their own, plotutils' with a PS of a length alone) fills
# letter's printable area, centred, however much of its sheet it covers.
fit_fills_letter_centred() {
  local plot
  for plot in $(single_page_plots); do
    if [ "$(job fit "$plot" -fit -paper letter)" -ne 1 ]; then
      verdict FAIL fit_fills_letter_centred "$plot" "not one page"
      continue
    fi
    fitted fit fit_fills_letter_centred "$plot" 850 1100
  done
}

# 4b. -fit with -port scales too: the turned drawing fills the printable
# area, centred; and it is turned (its ink agrees little with -fit's).
fit_port_fills_letter_centred() {
  local plot same
  for plot in $(single_page_plots); do
    if [ "$(job fit "$plot" -fit -paper letter)" -ne 1 ] \
       || [ "$(job fitport "$plot" -fit -port -paper letter)" -ne 1 ]; then
      verdict FAIL fit_port_fills_letter_centred "$plot" "not one page"
      continue
    fi
    same=$("$ink_compare" "$work/fit/page-1.png" "$work/fitport/page-1.png" | cut -d' ' -f1)
    # A plot that sets its own rotation after IN keeps it (fig2dev -P).
    if grep -aq 'RO[0-9]' "$plots/$plot" || awk -v s="$same" 'BEGIN { exit !(s < 0.5) }'; then
      fitted fitport fit_port_fills_letter_centred "$plot" 850 1100
    else
      verdict FAIL fit_port_fills_letter_centred "$plot" "not turned: agreement $same with -fit"
    fi
  done
}

# 5. -paper and -fit on a plot that is itself a PCL job (its own ESC E resets
# the page): either they hold, or zelvo refuses with a message; never
# silently the plot's own page.
fit_holds_across_the_plots_reset() {
  local plot
  for plot in gnuplot-pcl5-36x48.pcl gnuplot-pcl5-a0.pcl; do
    if ! PAPERSIZE=letter "$zelvo" -fit -paper A4 "$plots/$plot" > "$work/fit.pcl" \
         2> "$work/fit.err"; then
      if [ -s "$work/fit.err" ]; then
        verdict PASS fit_holds_across_the_plots_reset "$plot" "refused: $(head -n 1 "$work/fit.err")"
      else
        verdict FAIL fit_holds_across_the_plots_reset "$plot" "failed without a message"
      fi
      continue
    fi
    render fit "$work/fit.pcl" >/dev/null
    if [ ! -f "$work/fit/page-1.png" ]; then
      verdict FAIL fit_holds_across_the_plots_reset "$plot" "no page"
      continue
    fi
    fitted fit fit_holds_across_the_plots_reset "$plot" 827 1169
  done
}

hold_prints_every_page
cups_counts_every_page
hold_prints_no_trailer_text
turned_keeps_the_shape
cups_fit_turns_and_keeps_the_shape
hold_port_prints_whole
fit_fills_letter_centred
fit_port_fills_letter_centred
fit_holds_across_the_plots_reset
echo "$cases cases, $failures failed"
[ "$failures" -eq 0 ]
