#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Plots printed with lp on the kinds of queue that Debian's packages set up,
# each to a file device of a private cupsd, and what reaches the device
# rendered and measured: page count, paper, orientation and the whole
# drawing on the page.
#
#   queues_e2e.sh ZELVO_CUPS ZELVO_TOPDF PAGE_MARKS SOURCE_DIR [ZELVO_RENDER]
#
# The queues: zelvo's own driver (the native PCL job), CUPS's sample
# LaserJet driver, foomatic's Generic PCL 5e, hpcups's LaserJet 2300, CUPS's
# generic PostScript driver, the generic IPP Everywhere PPD and `lpadmin -m
# everywhere` on an IPP Everywhere printer that ippeveprinter simulates on
# the loopback address; all but the first print plots through zelvo-topdf
# and the queue's own chain. PCL from
# the device is rendered with the PCL interpreter that ZELVO_PCL_RENDERER
# names (else ../shared/tools/render-pcl beside the checkout), PostScript
# with Ghostscript, PDF and PWG raster with pdftoppm. Exits 77 (skipped) when
# the CUPS programs or the interpreter are missing; the queues whose driver
# is not installed, and the prints through zelvo-topdf when ZELVO_RENDER is
# not given, are skipped with their reason, as is the driverless queue
# without ippeveprinter (Debian: cups-ipp-utils).
set -euo pipefail

zelvo_cups=$(realpath "$1") zelvo_topdf=$(realpath "$2") page_marks=$(realpath "$3")
source_dir=$(realpath "$4") zelvo_render=${5:+$(realpath "$5")}
here=$(cd "$(dirname "$0")" && pwd)
export PATH=$PATH:/usr/sbin:/sbin
source "$(dirname "$0")/verdicts.sh"

for tool in cupsd lp lpadmin lpstat lpinfo lpoptions cancel gs pdftoppm; do
  command -v "$tool" >/dev/null || skip "$tool is not installed (Debian: cups, cups-client, ghostscript, poppler-utils)"
done
pcl_renderer=${ZELVO_PCL_RENDERER:-$here/../../../shared/tools/render-pcl}
[ -x "$pcl_renderer" ] || skip "no PCL interpreter (set ZELVO_PCL_RENDERER)"
pcl_interpreter=$("$pcl_renderer" --path)

work=$(mktemp -d /tmp/zelvo-queues.XXXXXX)
chmod 755 "$work"
source "$here/private_cupsd.sh"
ippeve_pid= bus_pid=
cleanup() {
  cupsd_stop
  for pid in $ippeve_pid $bus_pid; do
    kill -TERM "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT

# --- the plots

# 160 x 80 mm, which fits a portrait A4 sheet within the printer's margins:
# a frame, a filled block in its top left corner and a label. Its pen is
# 0.7 mm wide: the PCL interpreter renders a printer's 600 dpi raster at 50
# dpi by sampling it, which can miss a thinner line.
printf 'IN;SP1;PW0.7;PU0,0;PD6400,0,6400,3200,0,3200,0,0;PU0,2400;RA800,3200;PU2400,2500;SI1,1.5;LBTOP\003;PU;SP0;\n' \
  > "$work/top.plt"
# The same drawing on an A2 sheet, 594 x 420 mm, that says so with PS.
printf 'IN;PS23760,16800;SP1;PU0,0;PD23760,0,23760,16800,0,16800,0,0;PU0,12600;RA4200,16800;PU;SP0;\n' \
  > "$work/big.plt"
# A portrait drawing, 200 x 400 mm, that says so with PS.
printf 'IN;PS8000,16000;SP1;PU0,0;PD8000,0,8000,16000,0,16000,0,0;PU0,14000;RA2000,16000;PU;SP0;\n' \
  > "$work/tall.plt"
# Text that begins like a plot's first instructions.
printf 'INFO-2024: annual report\nSales rose.\n' > "$work/memo.txt"

# --- the scheduler: the system's CUPS programs with zelvo's filters, zelvo's
# MIME rules, and a data folder whose model/ holds zelvo's driver.

bin=$work/bin root=$work/root data=$work/data
mkdir -p "$bin/filter" "$root" "$data/model"
for dir in backend cgi-bin daemon driver monitor notifier; do
  [ -e "/usr/lib/cups/$dir" ] && ln -s "/usr/lib/cups/$dir" "$bin/$dir"
done
for f in /usr/lib/cups/filter/*; do ln -s "$f" "$bin/filter/"; done
install -m 755 "$zelvo_cups" "$bin/filter/zelvo-cups"
install -m 755 "$zelvo_topdf" "$bin/filter/zelvo-topdf"
# Filters find the renderer on the PATH that cupsd gives them, which starts
# with the filter folder.
[ -z "$zelvo_render" ] || install -m 755 "$zelvo_render" "$bin/filter/zelvo-render"
install -m 644 "$source_dir/cups/zelvo.types" "$source_dir/cups/zelvo.convs" "$root/"
for f in /usr/share/cups/*; do
  [ "$f" = /usr/share/cups/model ] || ln -s "$f" "$data/"
done
for f in /usr/share/cups/model/*; do [ -e "$f" ] && ln -s "$f" "$data/model/"; done
install -m 644 "$source_dir/cups/zelvo-pcl5.ppd" "$data/model/"
cupsd_start "$root" "$bin" "$data"

# --- the queues

queues=()
declare -A model
model[zelvo]='Generic PCL 5 laser printer, HP-GL/2 native'
model[laserjet]=drv:///sample.drv/laserjet.ppd
model[pcl5e]=foomatic-db-compressed-ppds:0/ppd/foomatic-ppd/Generic-PCL_5e_Printer-ljet4.ppd
model[hpcups]=drv:///hpcups.drv/hp-laserjet_2300_series.ppd
model[postscript]=drv:///sample.drv/generic.ppd
model[everywhere]=drv:///cupsfilters.drv/pwgrast.ppd

lpinfo -m > "$work/models"
# zelvo's driver is found by its name, as an administrator finds it.
zelvo_ppd=$(grep -F " ${model[zelvo]}" "$work/models" | cut -d' ' -f1)
[ -n "$zelvo_ppd" ] || fail "lpinfo -m does not list \"${model[zelvo]}\""
model[zelvo]=$zelvo_ppd
echo "ok: lpinfo -m lists zelvo's driver as $zelvo_ppd"

# add_queue NAME PAGE-SIZE: the queue NAME with its driver, printing to a file.
add_queue() {
  local name=$1 size=$2
  lpadmin -p "$name" -E -v "file://$work/$name.out" -m "${model[$name]}" -o "PageSize=$size" \
    -o printer-error-policy=abort-job 2> "$work/lpadmin.err" \
    || { cat "$work/lpadmin.err"; fail "lpadmin could not add the $name queue"; }
  touch "$work/$name.out"
}
for name in zelvo laserjet pcl5e hpcups postscript everywhere; do
  if [ "$name" = zelvo ] || grep -q "^${model[$name]} " "$work/models"; then
    add_queue "$name" A4
    queues+=("$name")
  else
    echo "skip: the $name queue (no ${model[$name]} in lpinfo -m)"
  fi
done

# `lpadmin -m everywhere` asks the printer for its attributes and makes the
# queue's PPD from them: here ippeveprinter is that printer, taking PDF and
# PWG raster on a free loopback port and keeping each document it is sent
# in $work/ippeve, whose newest file is what reached the device.
# ippeveprinter will not start without a D-Bus system bus for its DNS-SD
# (which -r off leaves unused): a private bus stands in for it.
start_ippeve() {
  local port tries
  mkdir -p "$work/ippeve"
  chmod 755 "$work/ippeve"
  dbus-daemon --session --nofork --address="unix:path=$work/bus" > "$work/log/bus.log" 2>&1 &
  bus_pid=$!
  for ((tries = 0; tries < 50; tries++)); do
    [ -S "$work/bus" ] && break
    sleep 0.1
  done
  for ((tries = 0; tries < 5; tries++)); do
    port=$((20000 + RANDOM % 30000))
    cupsd_port_is_taken "$port" || break
  done
  # -n localhost: the listeners are made for the host name, on IPv4 and
  # IPv6 both.
  DBUS_SYSTEM_BUS_ADDRESS="unix:path=$work/bus" \
    ippeveprinter -p "$port" -n localhost -r off -k -d "$work/ippeve" \
    -f application/pdf,image/pwg-raster -m "zelvo test printer" "zelvo test" \
    > "$work/log/ippeve.log" 2>&1 &
  ippeve_pid=$!
  for ((tries = 0; tries < 100; tries++)); do
    cupsd_port_is_taken "$port" && break
    kill -0 "$ippeve_pid" 2>/dev/null || { cat "$work/log/ippeve.log"; fail "ippeveprinter did not start"; }
    sleep 0.1
  done
  lpadmin -p driverless -E -v "ipp://127.0.0.1:$port/ipp/print" -m everywhere \
    -o printer-error-policy=abort-job 2> "$work/lpadmin.err" \
    || { cat "$work/lpadmin.err"; fail "lpadmin -m everywhere could not add the driverless queue"; }
  # The scheduler makes the queue's PPD in the background once lpadmin has
  # returned: the paper set before it exists would be lost to the printer's
  # own default.
  for ((tries = 0; tries < 300; tries++)); do
    lpoptions -h "127.0.0.1:$cupsd_port" -p driverless -l 2> /dev/null | grep -q '^PageSize/' && break
    sleep 0.1
  done
  lpadmin -p driverless -o PageSize=A4
  grep -q '^\*DefaultPageSize: A4' "$root/ppd/driverless.ppd" \
    || fail "driverless: the queue's PPD did not keep PageSize=A4"
  queues+=(driverless)
  echo "ok: lpadmin -m everywhere makes a queue for ippeveprinter on port $port"
}
if command -v ippeveprinter > /dev/null && command -v dbus-daemon > /dev/null; then
  start_ippeve
else
  [ "${ZELVO_REQUIRE_ALL:-}" != 1 ] \
    || fail "ippeveprinter or dbus-daemon is not installed (Debian: cups-ipp-utils, dbus-daemon)"
  echo "skip: the driverless queue (no ippeveprinter or dbus-daemon; Debian: cups-ipp-utils, dbus-daemon)"
fi

# lpoptions finds a queue's PPD by its URI, which the scheduler gives over
# TCP only.
lpoptions -h "127.0.0.1:$cupsd_port" -p zelvo -l > "$work/options"
for option in ZelvoPenWidth ZelvoHold ZelvoFit PageSize InputSlot Duplex; do
  grep -q "^$option/" "$work/options" || { cat "$work/options"; fail "lpoptions -l has no $option"; }
done
echo "ok: lpoptions -l shows zelvo's options beside the queue's"

# --- printing and measuring

# submit QUEUE LP-ARGS...: prints the request id that lp gave the job.
submit() {
  local queue=$1 id
  shift
  id=$(lp -d "$queue" "$@" | sed -n 's/^request id is \([^ ]*\).*/\1/p')
  [ -n "$id" ] || fail "lp gave no request id"
  echo "$id"
}

# The filters that ran for job ID, by name, in order.
filters_of() {
  grep -aF "[Job ${1##*-}] Started filter " "$work/log/error_log" \
    | sed 's/.*Started filter \([^ ]*\).*/\1/' | xargs -rn1 basename | tr '\n' ' '
}

# render QUEUE: the pages that reached the device, as $work/pages/N.pgm at
# 50 dpi.
render() {
  local device=$work/$1.out
  if [ "$1" = driverless ]; then
    # ippeveprinter has the document once the job has completed here.
    ls -t "$work/ippeve"/* > "$work/ippeve.list" 2> /dev/null || true
    [ -s "$work/ippeve.list" ] || fail "driverless: ippeveprinter kept no document"
    cp "$(head -n 1 "$work/ippeve.list")" "$device"
    rm -f "$work/ippeve"/*
  fi
  rm -rf "$work/pages" && mkdir "$work/pages"
  case $(head -c 4 "$device" | tr -d '\0') in
  %!*) gs -q -dSAFER -dNOPAUSE -dBATCH -sDEVICE=pgmraw -r50 -sOutputFile="$work/pages/%d.pgm" "$device" ;;
  %PDF) pdftoppm -gray -r 50 "$device" "$work/pages/p" ;;
  RaS2 | 2SaR)
    "$bin/filter/rastertopdf" 1 user title 1 '' "$device" > "$work/raster.pdf" 2> /dev/null
    pdftoppm -gray -r 50 "$work/raster.pdf" "$work/pages/p" ;;
  *) "$pcl_interpreter" -dNOPAUSE -dBATCH -dQUIET -sDEVICE=pgmraw -r50 \
       -sOutputFile="$work/pages/%d.pgm" "$device" > /dev/null 2>&1 || true ;;
  esac
}

# The sheets zelvo's tests print on, short side first, in millimetres.
declare -A paper_mm=([A4]="210 297" [Letter]="216 279" [A3]="297 420")

# check_page WHAT PGM PAPER CORNER RATIO: the page is a sheet of PAPER (to
# 2 mm), the block of the plot's top left is in CORNER, and the drawing's box
# keeps off the sheet's edges with its long side RATIO times its short one
# (to 4 %): nothing of the frame was cut.
check_page() {
  local what=$1 pgm=$2 paper=$3 corner=$4 ratio=$5 marks
  marks=$("$page_marks" "$pgm")
  read -r width height left top right bottom got_corner <<< "$marks"
  read -r short long <<< "${paper_mm[$paper]}"
  awk -v w="$width" -v h="$height" -v s="$short" -v l="$long" \
    'BEGIN { exit !((w * 0.508 - s) ^ 2 < 4 && (h * 0.508 - l) ^ 2 < 4) }' \
    || fail "$what: a page of $width x $height pixels at 50 dpi is no $paper sheet"
  [ "$got_corner" = "$corner" ] || fail "$what: the plot's top left is at the $got_corner, not the $corner ($marks)"
  [ "$left" -gt 0 ] && [ "$top" -gt 0 ] && [ "$right" -lt $((width - 1)) ] && [ "$bottom" -lt $((height - 1)) ] \
    || fail "$what: the drawing touches the sheet's edge ($marks)"
  awk -v a=$((right - left + 1)) -v b=$((bottom - top + 1)) -v r="$ratio" \
    'BEGIN { q = a > b ? a / b : b / a; exit !(q > r * 0.96 && q < r * 1.04) }' \
    || fail "$what: the drawing's box is $((right - left + 1)) x $((bottom - top + 1)) pixels, not $ratio to 1 ($marks)"
}

# print_and_check QUEUE PAPER CORNER RATIO LP-ARGS...: prints, waits until
# the job has completed, and checks its one page, which is left in
# $work/page.pgm.
print_and_check() {
  local queue=$1 paper=$2 corner=$3 ratio=$4 id pages
  shift 4
  : > "$work/$queue.out"
  id=$(submit "$queue" "$@")
  cupsd_wait_for "$queue" "$id"
  render "$queue"
  pages=$(find "$work/pages" -name '*.pgm' | sort)
  [ "$(echo "$pages" | grep -c .)" -eq 1 ] \
    || fail "$queue: lp $*: $(echo "$pages" | grep -c .) pages rendered, not 1"
  check_page "$queue: lp $*" "$pages" "$paper" "$corner" "$ratio"
  cp "$pages" "$work/page.pgm"
  echo "ok: $queue: lp $* prints one $paper page, the plot's top left at the $corner"
}

# check_long_side WHAT LOW HIGH: the drawing on $work/page.pgm is LOW to
# HIGH millimetres long: drawn at its own size, or scaled.
check_long_side() {
  local what=$1 low=$2 high=$3
  read -r _ _ left top right bottom _ <<< "$("$page_marks" "$work/page.pgm")"
  awk -v a=$((right - left + 1)) -v b=$((bottom - top + 1)) -v lo="$low" -v hi="$high" \
    'BEGIN { l = (a > b ? a : b) * 0.508; exit !(l >= lo && l <= hi) }' \
    || fail "$what: the drawing is $((right - left + 1)) x $((bottom - top + 1)) pixels at 50 dpi, its long side not $low to $high mm"
  echo "ok: $what: the drawing's long side is $low to $high mm"
}

# The route each queue gives a plot, from the filters the scheduler starts.
for queue in "${queues[@]}"; do
  id=$(submit "$queue" "$work/top.plt")
  for ((tries = 0; tries < 100; tries++)); do
    [ -n "$(filters_of "$id")" ] && break
    sleep 0.1
  done
  route=$(filters_of "$id")
  if [ "$queue" = zelvo ]; then
    [ "$route" = "zelvo-cups " ] || fail "zelvo: the plot went through $route"
  else
    case $route in
    "zelvo-topdf pdftopdf "*) ;;
    *) fail "$queue: the plot went through $route, not zelvo-topdf and pdftopdf" ;;
    esac
  fi
  # Without the renderer zelvo-topdf fails, and the scheduler keeps the job,
  # stopped.
  if [ "$queue" = zelvo ] || [ -n "$zelvo_render" ]; then
    cupsd_wait_for "$queue" "$id"
  else
    cancel "$id"
    cupsd_wait_for_end "$queue" "$id"
  fi
  echo "ok: $queue: a plot goes through ${route% }"
done

# The native route: each orientation as IPP numbers them, the page size from
# the queue's PPD, fit-to-page, the queue's tray and duplex.
print_and_check zelvo A4 bottom-left 2 "$work/top.plt"
print_and_check zelvo A4 bottom-left 2 -o orientation-requested=4 "$work/top.plt"
print_and_check zelvo A4 top-left 2 -o portrait "$work/top.plt"
print_and_check zelvo A4 top-left 2 -o orientation-requested=3 "$work/top.plt"
print_and_check zelvo A4 top-right 2 -o orientation-requested=5 "$work/top.plt"
print_and_check zelvo A4 bottom-right 2 -o orientation-requested=6 "$work/top.plt"
print_and_check zelvo A4 bottom-left 1.414 -o fit-to-page "$work/big.plt"
print_and_check zelvo A3 bottom-left 1.414 -o fit-to-page -o media=A3 "$work/big.plt"
print_and_check zelvo A4 bottom-left 1.414 -o print-scaling=fit "$work/big.plt"
print_and_check zelvo A4 bottom-left 1.414 -o ZelvoFit=True "$work/big.plt"
# Fitted, a portrait drawing is turned upright onto the portrait sheet,
# unless an orientation is asked for.
print_and_check zelvo A4 top-left 2 -o fit-to-page "$work/tall.plt"
print_and_check zelvo A4 bottom-left 2 -o fit-to-page -o landscape "$work/tall.plt"
print_and_check zelvo A4 bottom-left 2 -o penwidth=500 "$work/top.plt"
grep -aq 'PW0\.5' "$work/zelvo.out" || fail "zelvo: penwidth=500 wrote no PW0.5"

lpadmin -p zelvo -o InputSlot=Tray2 -o Duplex=DuplexNoTumble
print_and_check zelvo A4 bottom-left 2 "$work/top.plt"
grep -aq $'\e&l1H' "$work/zelvo.out" || fail "zelvo: the queue's Tray2 is not in the job"
grep -aq $'\e&l1S' "$work/zelvo.out" || fail "zelvo: the queue's long-edge duplex is not in the job"
lpadmin -p zelvo -o InputSlot=Default -o Duplex=None
echo "ok: zelvo: the queue's tray and duplex reach the plot's job"

# Two copies: the printer makes them, page_log counts them.
id=$(submit zelvo -n 2 "$work/top.plt")
cupsd_wait_for zelvo "$id"
grep -aq $'\e&l2X' "$work/zelvo.out" || fail "zelvo: -n 2 wrote no copies command"
for ((tries = 0; tries < 50; tries++)); do
  line=$(grep -a "^zelvo [^ ]* ${id##*-} " "$work/log/page_log" 2> /dev/null || true)
  [ -z "$line" ] || break
  sleep 0.1
done
case $line in *"] total 2 "*) echo "ok: zelvo: lp -n 2: page_log counts 2 ($line)" ;;
*) fail "zelvo: page_log has no total of 2 for job $id: $line" ;; esac

# Text that begins like a plot is printed as text.
id=$(submit zelvo "$work/memo.txt")
cupsd_wait_for zelvo "$id"
case $(filters_of "$id") in
*zelvo-cups*) fail "zelvo: the memo went through zelvo-cups" ;;
"texttopdf "*) echo "ok: zelvo: a memo that begins \"INFO-2024:\" prints as text" ;;
*) fail "zelvo: the memo went through $(filters_of "$id")" ;;
esac

# The other queues, through the renderer.
if [ -z "$zelvo_render" ]; then
  echo "skip: printing through zelvo-topdf: zelvo-render is not built"
  exit 0
fi
# Where the top of a plot wider than tall goes when the job asks for no
# orientation, or for "landscape" rather than orientation-requested=4:
# pdftopdf turns such a page onto the sheet as the queue's PPD says, to the
# sheet's left for "*LandscapeOrientation: Plus90" (as 4 turns it) and to
# its right without one, as for every landscape PDF page on the queue. The
# PPDs of `lpadmin -m everywhere` have none.
landscape_corner() {
  if grep -q '^\*LandscapeOrientation: *Plus90' "$root/ppd/$1.ppd"; then
    echo bottom-left
  else
    echo top-right
  fi
}

# Each orientation as IPP numbers them: zelvo-render holds the sheet
# portrait for 3 and 6 and landscape for 4 and 5, and pdftopdf turns it.
for queue in "${queues[@]}"; do
  [ "$queue" != zelvo ] || continue
  print_and_check "$queue" A4 "$(landscape_corner "$queue")" 2 "$work/top.plt"
  print_and_check "$queue" A4 top-left 2 -o portrait "$work/top.plt"
  print_and_check "$queue" A4 top-left 2 -o orientation-requested=3 "$work/top.plt"
  print_and_check "$queue" A4 bottom-left 2 -o orientation-requested=4 "$work/top.plt"
  print_and_check "$queue" A4 "$(landscape_corner "$queue")" 2 -o landscape "$work/top.plt"
  print_and_check "$queue" A4 top-right 2 -o orientation-requested=5 "$work/top.plt"
  print_and_check "$queue" A4 bottom-right 2 -o orientation-requested=6 "$work/top.plt"
  print_and_check "$queue" A4 "$(landscape_corner "$queue")" 1.414 -o fit-to-page "$work/big.plt"
  print_and_check "$queue" A4 top-left 2 -o fit-to-page "$work/tall.plt"
  print_and_check "$queue" A4 "$(landscape_corner "$queue")" 2 -o fit-to-page -o landscape "$work/tall.plt"
done

# print-scaling auto and auto-fit fit a plot that does not fit the page as
# drawn, and leave one that does at its size: the A2 plot is fitted to A4
# less margins (about 277 mm long), the 160 mm one stays 160 mm.
for queue in "${queues[@]}"; do
  [ "$queue" != zelvo ] || continue
  corner=$(landscape_corner "$queue")
  print_and_check "$queue" A4 "$corner" 1.414 -o print-scaling=auto-fit "$work/big.plt"
  check_long_side "$queue: print-scaling=auto-fit of an A2 plot" 250 290
  print_and_check "$queue" A4 "$corner" 2 -o print-scaling=auto-fit "$work/top.plt"
  check_long_side "$queue: print-scaling=auto-fit of a 160 mm plot" 155 165
  print_and_check "$queue" A4 "$corner" 1.414 -o print-scaling=auto "$work/big.plt"
  check_long_side "$queue: print-scaling=auto of an A2 plot" 250 290
done

# Every queue with Letter and with A3 as its default paper, where its driver
# has them: a plot with no options, -o portrait and -o fit-to-page, on the
# queue's own paper.
for queue in "${queues[@]}"; do
  lpoptions -h "127.0.0.1:$cupsd_port" -p "$queue" -l > "$work/options"
  for paper in Letter A3; do
    if ! grep "^PageSize/" "$work/options" | tr ' *:' '\n\n\n' | grep -qx "$paper"; then
      echo "skip: $queue: the driver has no $paper paper"
      continue
    fi
    lpadmin -p "$queue" -o "PageSize=$paper"
    print_and_check "$queue" "$paper" "$(landscape_corner "$queue")" 2 "$work/top.plt"
    print_and_check "$queue" "$paper" top-left 2 -o portrait "$work/top.plt"
    print_and_check "$queue" "$paper" "$(landscape_corner "$queue")" 1.414 -o fit-to-page "$work/big.plt"
  done
  lpadmin -p "$queue" -o PageSize=A4
done

# Pen widths, copies and a memo on the PDF route: the memo as text, the
# rest as plots, each job complete.
for queue in "${queues[@]}"; do
  [ "$queue" != zelvo ] || continue
  print_and_check "$queue" A4 "$(landscape_corner "$queue")" 2 -o penwidth=700 "$work/top.plt"
  id=$(submit "$queue" -n 2 "$work/top.plt")
  cupsd_wait_for "$queue" "$id"
  id=$(submit "$queue" "$work/memo.txt")
  cupsd_wait_for "$queue" "$id"
  case $(filters_of "$id") in
  "texttopdf "*) ;;
  *) fail "$queue: the memo went through $(filters_of "$id")" ;;
  esac
done
echo "ok: pen widths, two copies and a memo print on every queue of the PDF route"

# Real plots on a PDF-route queue, each rendered to at least one page with
# ink on it: hp2xx's samples and what the producers write. iw.hp is left
# out: the PCL interpreter prints a blank page for zelvo's job of it too.
plots=()
samples_dir=/usr/share/doc/hp2xx/hp-tests
for f in "$samples_dir"/*.hp "$samples_dir"/*.hpg "$samples_dir"/*.plt; do
  [ -f "$f" ] && [ "$(basename "$f")" != iw.hp ] && plots+=("$f")
done
if command -v gnuplot > /dev/null; then
  gnuplot -e "set terminal hpgl; set output '$work/gnuplot.hpgl'; plot sin(x)" && plots+=("$work/gnuplot.hpgl")
  gnuplot -e "set terminal pcl5; set output '$work/gnuplot.pcl'; plot cos(x)" && plots+=("$work/gnuplot.pcl")
fi
if command -v graph > /dev/null; then
  printf '0 0\n1 1\n2 0\n' | graph -T hpgl > "$work/graph.hpgl" && plots+=("$work/graph.hpgl")
fi
for f in "${plots[@]}"; do
  : > "$work/postscript.out"
  id=$(submit postscript "$f")
  cupsd_wait_for postscript "$id"
  render postscript
  pages=$(find "$work/pages" -name '*.pgm' | sort)
  [ -n "$pages" ] || fail "postscript: $(basename "$f") rendered no page"
  for page in $pages; do
    read -r _ _ _ _ _ _ corner <<< "$("$page_marks" "$page")"
    [ "$corner" != blank ] && continue 2
  done
  fail "postscript: $(basename "$f"): no ink on any page"
done
echo "ok: postscript: ${#plots[@]} sample and producer plots print with ink"
