#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# End-to-end checks of zelvo-cups on the queues of zelvo's driver: what CUPS
# delivers must be, byte for byte, the job that zelvo itself writes for the
# same settings (the driver's default paper, Letter, among them).
#
#   cupsfilter_e2e.sh filter  ZELVO ZELVO_CUPS MIME_DIR   cupsfilter, no daemon
#   cupsfilter_e2e.sh lp      ZELVO ZELVO_CUPS MIME_DIR   lp through a private cupsd
#   cupsfilter_e2e.sh samples ZELVO ZELVO_CUPS MIME_DIR   hp2xx's sample plots, both ways
#
# MIME_DIR holds zelvo.types, zelvo.convs and zelvo's driver,
# zelvo-pcl5.ppd. The modes also check which files CUPS types as plots and
# which route a queue's PPD gives them. Exits 77 (skipped)
# when the CUPS programs or the samples that a mode needs are not installed.
set -euo pipefail

mode=$1 zelvo=$(realpath "$2") zelvo_cups=$(realpath "$3") mime_dir=$4
# cupsd and cupsfilter live in sbin, which a plain user's PATH may lack.
export PATH=$PATH:/usr/sbin:/sbin
source "$(dirname "$0")/verdicts.sh"
source "$(dirname "$0")/type_of.sh"

work=$(mktemp -d /tmp/zelvo-cups-e2e.XXXXXX)
cleanup() {
  if declare -F cupsd_stop >/dev/null; then cupsd_stop; fi
  rm -rf "$work"
}
trap cleanup EXIT
# CUPS runs filters as an unprivileged user and refuses directories that
# others can write: the tree is readable by all, writable by its owner only.
chmod 755 "$work"

# A plot of a plotter's size, 1000 x 500 mm, that says so with PS.
printf 'IN;PS40000,20000;SP1;PU0,0;PD40000,0,40000,20000,0,20000,0,0;PU;\n' > "$work/sized.plt"

# A plot, once with its extension and once under a name that gives no hint.
printf 'IN;SP1;PU0,0;PD1000,0,1000,1000,0,1000,0,0;PU;\n' > "$work/plot.plt"
cp "$work/plot.plt" "$work/plotdata"

# Text that begins with the letters of a plot's first instructions: CUPS must
# type each as text/plain, not as a plot.
source "$(dirname "$0")/plot_like_texts.sh"
for i in "${!plot_like_texts[@]}"; do printf '%s\n' "${plot_like_texts[$i]}" > "$work/memo$i.txt"; done

# Lays out ServerBin: the system's CUPS programs, plus the filter installed
# as `cmake --install` installs it (mode 755, in a directory of its own).
make_server_bin() {
  local bin=$work/bin
  [ ! -d "$bin" ] || return 0
  mkdir -p "$bin/filter"
  local dir
  for dir in backend cgi-bin daemon driver monitor notifier; do
    [ -e "/usr/lib/cups/$dir" ] && ln -s "/usr/lib/cups/$dir" "$bin/$dir"
  done
  if [ -d /usr/lib/cups/filter ]; then
    local f
    for f in /usr/lib/cups/filter/*; do ln -s "$f" "$bin/filter/"; done
  fi
  install -m 755 "$zelvo_cups" "$bin/filter/zelvo-cups"
  # Built beside zelvo-cups; the routes through it are only listed here.
  install -m 755 "$(dirname "$zelvo_cups")/zelvo-topdf" "$bin/filter/zelvo-topdf"
  mkdir -p "$work/root"
  install -m 644 "$mime_dir/zelvo.types" "$mime_dir/zelvo.convs" "$work/root/"
}

# expect NAME FILE: FILE must equal $work/expected exactly.
expect() {
  if ! cmp -s "$work/expected" "$2"; then
    echo "--- expected"; od -c "$work/expected" | head -20
    echo "--- got"; od -c "$2" | head -20
    fail "$1: the job differs from zelvo's"
  fi
  echo "ok: $1"
}

# The job zelvo writes for `args` on the driver's default paper (the
# variable `paper`, empty without a PPD), with a copies command for
# `copies` > 1 and the queue's PCL in `setup` (empty for none) right after
# the first reset.
zelvo_job() {
  local copies=$1 head paper_option=()
  shift
  [ -z "${paper-letter}" ] || paper_option=(-paper "${paper-letter}")
  # zelvo-cups holds its settings across the plot's own IN.
  "$zelvo" -hold "${paper_option[@]}" "$@" > "$work/zelvo.out"
  head=${setup:-}
  [ "$copies" -le 1 ] || head=$(printf '\033&l%dX' "$copies")$head
  { printf '\033E%s' "$head"; tail -c +3 "$work/zelvo.out"; } > "$work/expected"
}

# --- cupsfilter: the filter as CUPS's own typing and filter chain run it.

# cupsfilter with zelvo's driver; -e runs the filters that the PPD names.
run_cupsfilter() {
  cupsfilter -c "$work/cups-files.conf" -p "$mime_dir/zelvo-pcl5.ppd" -e -m printer/zelvo "$@" \
    2> "$work/cupsfilter.err"
}

setup_cupsfilter() {
  command -v cupsfilter >/dev/null || skip "cupsfilter is not installed (Debian: cups)"
  make_server_bin
  printf 'ServerBin %s\nServerRoot %s\nDataDir /usr/share/cups\n' "$work/bin" "$work/root" > "$work/cups-files.conf"
  add_type_probe "$work/root"
}

# expect_type TYPE FILE...
expect_type() {
  local want=$1 file got; shift
  for file in "$@"; do
    got=$(type_of "$work/cups-files.conf" "$file")
    [ "$got" = "$want" ] || fail "$(basename "$file") ($(head -c 40 "$file" | tr -c '[:print:]' .)): typed $got, not $want"
  done
}

# A PPD of CUPS's sample drivers, as lpadmin -m would install it.
sample_ppd() {
  /usr/lib/cups/daemon/cups-driverd cat "drv:///sample.drv/$1.ppd" > "$work/$1.ppd" 2>/dev/null
  grep -q '^\*PPD-Adobe' "$work/$1.ppd" || fail "cups-driverd wrote no $1.ppd"
}

check_typing() {
  expect_type text/plain "$work"/memo*.txt
  printf '\033%%-1BBPINPS11176,8636SP1;' > "$work/escaped"
  printf '\033.(;\033.I81;;17:IN;SP1;' > "$work/plotter-on"
  expect_type application/vnd.hp-hpgl "$work/plot.plt" "$work/plotdata" "$work/escaped" "$work/plotter-on"
  # What another format's content rule claims stays that format, whatever
  # the name says.
  printf '%%!PS-Adobe-3.0\nshowpage\n' > "$work/drawing.plt"
  expect_type application/postscript "$work/drawing.plt"
  printf '\033E\033&l1O' > "$work/page.plt"
  expect_type application/vnd.cups-raw "$work/page.plt"
  echo "ok: typing of ${#plot_like_texts[@]} texts, plots, and other formats under plot names"
}

# The route a queue's PPD gives a plot: the filters cupsfilter would run.
route_with() {
  cupsfilter -c "$work/cups-files.conf" -p "$1" -e -m printer/queue --list-filters "$work/plot.plt" \
    2> /dev/null | tr '\n' ' '
}

# zelvo's driver prints plots natively; CUPS's LaserJet and PostScript
# drivers through zelvo-topdf and pdftopdf.
check_ppds() {
  sample_ppd laserjet
  sample_ppd generic
  local route
  route=$(route_with "$mime_dir/zelvo-pcl5.ppd")
  [ "$route" = "zelvo-cups " ] || fail "zelvo's driver: the route is $route"
  for ppd in laserjet generic; do
    route=$(route_with "$work/$ppd.ppd")
    case $route in "zelvo-topdf pdftopdf "*) ;; *) fail "$ppd.ppd: the route is $route" ;; esac
  done
  echo "ok: zelvo's driver takes the plot as it is, the LaserJet and PostScript ones as PDF"
}

# Whether process PID has exited (gone, or a zombie not yet waited for).
ended() { [ ! -e "/proc/$1" ] || grep -q '^[0-9]* (.*) Z' "/proc/$1/stat" 2>/dev/null; }

# SIGTERM while the filter waits for more input: the trailer still comes.
check_cancel() {
  local out=$1
  rm -f "$work/fifo"; mkfifo "$work/fifo"
  "$zelvo_cups" 7 user title 1 '' < "$work/fifo" > "$out" 2> "$work/cancel.err" &
  local pid=$!
  exec 3> "$work/fifo"
  printf 'IN;PU0,0;' >&3
  local tries=0
  until [ "$(head -c 200 "$out" 2>/dev/null | grep -c 'IN;PU0,0;')" -gt 0 ]; do
    tries=$((tries + 1)); [ $tries -lt 200 ] || fail "cancel: the plot never reached the output"
    sleep 0.05
  done
  kill -TERM "$pid"
  # A filter that ignores the signal is freed by closing its input, so that
  # the fault fails the test instead of hanging it.
  tries=0
  until ended "$pid" || [ $tries -ge 200 ]; do tries=$((tries + 1)); sleep 0.05; done
  local still_running=no
  ended "$pid" || still_running=yes
  exec 3>&-
  local status=0
  wait "$pid" || status=$?
  [ $still_running = no ] || fail "cancel: SIGTERM did not end the copy"
  [ "$status" -eq 0 ] || { cat "$work/cancel.err"; fail "cancel: exit status $status, not 0"; }
  printf 'IN;PU0,0;' > "$work/cancel.plt"
  paper= zelvo_job 1 "$work/cancel.plt"
  expect "cancel on SIGTERM" "$out"
}

# filter_status OUT ERR ARGS...: runs the filter as CUPS would, with nothing
# on standard input, and prints its exit status.
filter_status() {
  local out=$1 err=$2 status=0; shift 2
  "$zelvo_cups" 7 user title 1 '' "$@" < /dev/null > "$out" 2> "$err" || status=$?
  echo $status
}

# Messages name the print file: one that opens but cannot be read (a
# directory), one that does not open; a name that begins with "-" is a file.
check_print_file() {
  mkdir "$work/folder"
  [ "$(filter_status /dev/null "$work/err" "$work/folder")" = 1 ] \
    && grep -qx "ERROR: Unable to read print file \"$work/folder\": Is a directory" "$work/err" \
    || { cat "$work/err"; fail "a directory as the print file"; }
  [ "$(filter_status "$work/got" "$work/err" "$work/gone.plt")" = 1 ] && [ ! -s "$work/got" ] \
    && grep -qx "ERROR: Unable to open print file \"$work/gone.plt\": No such file or directory" "$work/err" \
    || { cat "$work/err"; fail "a missing print file"; }
  cp "$work/plot.plt" "$work/-plot"
  paper= zelvo_job 1 "$work/plot.plt"
  [ "$(cd "$work" && filter_status got err -plot)" = 0 ] || { cat "$work/err"; fail "a print file named -plot"; }
  expect "a print file named -plot" "$work/got"
  echo "ok: the print file named in messages"
}

mode_filter() {
  setup_cupsfilter
  check_print_file
  [ -f /usr/share/cups/drv/sample.drv ] || skip "CUPS's sample drivers (sample.drv) are not installed"
  check_typing
  check_ppds

  zelvo_job 1 "$work/plot.plt"
  run_cupsfilter "$work/plot.plt" > "$work/got" || { cat "$work/cupsfilter.err"; fail "default: cupsfilter failed"; }
  expect "default" "$work/got"

  run_cupsfilter "$work/plotdata" > "$work/got" || fail "by content: cupsfilter failed"
  expect "typed by content" "$work/got"

  zelvo_job 1 -rot 270 "$work/plot.plt"
  run_cupsfilter -o portrait "$work/plot.plt" > "$work/got" || fail "portrait: cupsfilter failed"
  expect "portrait" "$work/got"

  zelvo_job 1 -lwidth 0.35 "$work/plot.plt"
  run_cupsfilter -o penwidth=350 "$work/plot.plt" > "$work/got" || fail "penwidth: cupsfilter failed"
  expect "penwidth=350" "$work/got"

  zelvo_job 2 "$work/plot.plt"
  run_cupsfilter -n 2 "$work/plot.plt" > "$work/got" || fail "copies: cupsfilter failed"
  expect "two copies" "$work/got"

  zelvo_job 1 -lj -rot 180 -lwidth 0.5 "$work/plot.plt"
  run_cupsfilter -o zelvo=lj,port,lwidth=0.9 -o orientation-requested=5 -o penwidth=500 \
    "$work/plot.plt" > "$work/got" || fail "precedence: cupsfilter failed"
  expect "options over the parameter list" "$work/got"

  zelvo_job 1 "$work/plot.plt"
  run_cupsfilter -o penwidth=abc -o orientation-requested=9 -o media=Tray1 "$work/plot.plt" \
    > "$work/got" || fail "bad values: cupsfilter failed"
  expect "bad values ignored" "$work/got"
  grep -q 'DEBUG: Ignoring penwidth=abc' "$work/cupsfilter.err" || fail "bad values: no DEBUG line"
  grep -q 'DEBUG: Ignoring media=Tray1' "$work/cupsfilter.err" || fail "bad media: no DEBUG line"

  zelvo_job 1 -fit -paper A4 "$work/sized.plt"
  run_cupsfilter -o fit-to-page -o media=A4 "$work/sized.plt" > "$work/got" \
    || fail "fit-to-page: cupsfilter failed"
  expect "fit-to-page, media=A4" "$work/got"
  run_cupsfilter -o fitplot -o PageSize=iso_a4_210x297mm "$work/sized.plt" > "$work/got" \
    || fail "fitplot: cupsfilter failed"
  expect "fitplot, a PWG page size" "$work/got"
  # auto-fit fits the metre-long plot to A4, and prints the small one as
  # drawn.
  zelvo_job 1 -fit -paper A4 "$work/sized.plt"
  run_cupsfilter -o print-scaling=auto-fit -o media=A4 "$work/sized.plt" > "$work/got" \
    || fail "auto-fit: cupsfilter failed"
  expect "print-scaling=auto-fit of a plot larger than the page" "$work/got"
  zelvo_job 1 -paper A4 "$work/plot.plt"
  run_cupsfilter -o print-scaling=auto -o media=A4 "$work/plot.plt" > "$work/got" \
    || fail "auto: cupsfilter failed"
  expect "print-scaling=auto of a plot the page holds" "$work/got"
  zelvo_job 2 -paper letter -rot 270 "$work/plot.plt"
  run_cupsfilter -n 2 -o media=na_letter_8.5x11in,Tray2 -o orientation-requested=3 \
    "$work/plot.plt" > "$work/got" || fail "media list: cupsfilter failed"
  expect "two copies, media as a list, portrait" "$work/got"
  # The driver's tray and duplex, as rastertohp writes them.
  setup=$'\e&l2H\e&l2S' zelvo_job 1 -paper A4 "$work/plot.plt"
  run_cupsfilter -o InputSlot=Manual -o sides=two-sided-short-edge -o media=A4 \
    "$work/plot.plt" > "$work/got" || fail "tray and duplex: cupsfilter failed"
  expect "the driver's tray and duplex" "$work/got"

  check_cancel "$work/cancel.out"
}

# --- lp through a private cupsd with zelvo's driver on a file device.

# print NAME LP-ARGS...: prints through the queue and leaves the delivered
# job in $work/got.
print_job() {
  local name=$1; shift
  rm -f "$work/device.out"
  cupsd_print zelvotest "$@"
  [ -f "$work/device.out" ] || fail "$name: nothing reached the device"
  cp "$work/device.out" "$work/got"
}

# submit QUEUE LP-ARGS...: prints the request id that lp gave the job.
submit() {
  local queue=$1 id; shift
  id=$(lp -d "$queue" "$@" | sed -n 's/^request id is \([^ ]*\).*/\1/p')
  [ -n "$id" ] || fail "lp gave no request id"
  echo "$id"
}

# The scheduler's log lines of request ID.
job_log() { grep -aF "[Job ${1##*-}] " "$work/log/error_log" || true; }

# A private cupsd with the queue zelvotest: zelvo's driver on a file device.
setup_lp() {
  local p
  for p in cupsd lp lpadmin lpstat; do
    command -v "$p" >/dev/null || skip "$p is not installed (Debian: cups, cups-client)"
  done
  [ -x /usr/lib/cups/filter/rastertohp ] || skip "CUPS's PCL raster driver (rastertohp) is not installed"
  make_server_bin
  source "$(dirname "$0")/private_cupsd.sh"
  cupsd_start "$work/root" "$work/bin"
  lpadmin -p zelvotest -E -v "file://$work/device.out" -P "$mime_dir/zelvo-pcl5.ppd" \
    || { tail -20 "$work/log/error_log"; fail "lpadmin could not add the queue of zelvo's driver"; }
  # The device file is written by cupsd; the test reads it.
  touch "$work/device.out"
}

# The scheduler counts the pages zelvo-cups reports, with the copies the
# printer makes of them, and logs the job's total in page_log.
check_page_log() {
  local id tries line
  id=$(submit zelvotest -n 3 "$work/plot.plt")
  cupsd_wait_for zelvotest "$id"
  for ((tries = 0; tries < 50; tries++)); do
    line=$(grep -a "^zelvotest [^ ]* ${id##*-} " "$work/log/page_log" 2>/dev/null || true)
    [ -z "$line" ] || break
    sleep 0.1
  done
  case $line in
  *"] total 3 "*) echo "ok: page_log: one page, three copies ($line)" ;;
  *) cat "$work/log/page_log" >&2; fail "page_log has no total of 3 for job $id" ;;
  esac
}

# Text through lp prints with CUPS's text filters; zelvo-cups never runs.
check_texts_lp() {
  local i id
  for i in "${!plot_like_texts[@]}"; do
    id=$(submit zelvotest "$work/memo$i.txt")
    cupsd_wait_for zelvotest "$id"
    job_log "$id" > "$work/job.log"
    grep -aq 'File of type text/plain queued' "$work/job.log" \
      || fail "lp memo$i.txt (${plot_like_texts[$i]}): not typed text/plain: $(grep -a 'File of type' "$work/job.log")"
    grep -aq 'Started filter .*/texttopdf ' "$work/job.log" || fail "lp memo$i.txt: texttopdf did not run"
    ! grep -aq 'Started filter .*/zelvo-cups ' "$work/job.log" || fail "lp memo$i.txt: zelvo-cups ran"
  done
  echo "ok: lp of ${#plot_like_texts[@]} texts prints them as text"
}

mode_lp() {
  setup_lp

  zelvo_job 1 "$work/plot.plt"
  print_job default "$work/plot.plt"
  expect "lp plot.plt" "$work/got"

  zelvo_job 1 -rot 270 "$work/plot.plt"
  print_job portrait -o portrait "$work/plot.plt"
  expect "lp -o portrait" "$work/got"

  zelvo_job 1 -lwidth 0.35 "$work/plot.plt"
  print_job penwidth -o penwidth=350 "$work/plot.plt"
  expect "lp -o penwidth=350" "$work/got"

  zelvo_job 2 "$work/plot.plt"
  print_job copies -n 2 "$work/plot.plt"
  expect "lp -n 2" "$work/got"

  zelvo_job 1 "$work/plot.plt"
  print_job stdin < "$work/plotdata"
  expect "lp on standard input, typed by content" "$work/got"

  zelvo_job 1 -fit -paper A4 "$work/sized.plt"
  print_job fit-to-page -o fit-to-page -o media=A4 "$work/sized.plt"
  expect "lp -o fit-to-page -o media=A4" "$work/got"
  check_page_log

  check_texts_lp
}

# --- hp2xx's sample plots: typed as plots by name and, where their first
# instruction tells, by content; printed byte for byte as zelvo writes them.

samples_dir=/usr/share/doc/hp2xx/hp-tests
# The samples that begin with no instruction that tells a plot from text,
# so that CUPS types them as plots by their names only.
names_only=" ascii.hp char7.hp charsets.hp charsize.hp ci.hp miter.hp pages.hp pw.hpg win_1.hp.gz "

# The job zelvo writes for sample FILE, uncompressed as CUPS uncompresses it.
sample_job() {
  case $1 in
  *.gz) gzip -dc "$1" > "$work/sample.hp" ;;
  *) cp "$1" "$work/sample.hp" ;;
  esac
  # zelvo -hold reads the plot as zelvo-cups does: a plot that leaves the
  # printer in PCL context (spectrum.plt) ends without the trailer's HP-GL/2
  # line in both.
  zelvo_job 1 "$work/sample.hp"
}

mode_samples() {
  [ -d "$samples_dir" ] || skip "the sample plots of hp2xx are not installed (Debian: hp2xx)"
  local samples=() f name
  for f in "$samples_dir"/*; do
    case $(basename "$f") in readme | *.eps | *.eps.gz) ;; *) samples+=("$f") ;; esac
  done
  [ ${#samples[@]} -gt 0 ] || fail "no sample plots in $samples_dir"

  setup_cupsfilter
  mkdir "$work/anonymous"
  local by_content=0
  for f in "${samples[@]}"; do
    name=$(basename "$f")
    expect_type application/vnd.hp-hpgl "$f"
    # The same bytes, gzipped or not, under a name that tells nothing.
    cp "$f" "$work/anonymous/sample"
    case $names_only in
    *" $name "*) [ "$(type_of "$work/cups-files.conf" "$work/anonymous/sample")" != application/vnd.hp-hpgl ] \
      || fail "$name is typed by content: take it off the names-only list" ;;
    *) expect_type application/vnd.hp-hpgl "$work/anonymous/sample"; by_content=$((by_content + 1)) ;;
    esac
    sample_job "$f"
    run_cupsfilter "$f" > "$work/got" || { cat "$work/cupsfilter.err"; fail "cupsfilter $name failed"; }
    expect "cupsfilter $name" "$work/got" > /dev/null
  done
  echo "ok: cupsfilter: ${#samples[@]} samples typed by name, $by_content of them by content, each job as zelvo's"

  setup_lp
  for f in "${samples[@]}"; do
    name=$(basename "$f")
    sample_job "$f"
    print_job "$name" "$f"
    expect "lp $name" "$work/got" > /dev/null
    case $names_only in
    *" $name "*) ;;
    *) print_job "$name on standard input" < "$f"
       expect "lp < $name" "$work/got" > /dev/null ;;
    esac
  done
  echo "ok: lp: ${#samples[@]} samples by name, $by_content on standard input, each job as zelvo's"

  # A sample that starts with its own IN; prints portrait as zelvo -hold -rot 270.
  gzip -dcf "$samples_dir/arcs.hp" > "$work/arcs.hp"
  zelvo_job 1 -rot 270 "$work/arcs.hp"
  print_job "arcs.hp portrait" -o portrait "$work/arcs.hp"
  expect "lp -o portrait arcs.hp" "$work/got"

  check_page_counts "${samples[@]}"
}

# check_page_counts SAMPLE...: the pages zelvo-cups reports are the pages a
# PCL 5 interpreter renders from its job (when ZELVO_PCL_RENDERER names one).
# thick.hp is left out: its drawing lies off the page, and the interpreter
# then renders no page at all, where a printer ejects a blank one.
check_page_counts() {
  [ -n "${ZELVO_PCL_RENDERER:-}" ] || { echo "skip: page counts (no ZELVO_PCL_RENDERER)"; return; }
  local f name reported rendered checked=0
  for f in "$@"; do
    name=$(basename "$f" .gz)
    [ "$name" != thick.hp ] || continue
    gzip -dcf "$f" > "$work/count.plt"
    "$zelvo_cups" 1 user title 1 '' "$work/count.plt" > "$work/count.pcl" 2> "$work/count.err" \
      || fail "zelvo-cups $name failed"
    reported=$(grep -c '^PAGE: ' "$work/count.err" || true)
    rm -rf "$work/pages" && mkdir "$work/pages"
    "$ZELVO_PCL_RENDERER" "$work/count.pcl" "$work/pages/%d.png" 2> /dev/null || true
    rendered=$(find "$work/pages" -name '*.png' | wc -l)
    [ "$reported" -eq "$rendered" ] || fail "$name: $reported PAGE lines, $rendered pages rendered"
    checked=$((checked + 1))
  done
  echo "ok: $checked samples report the pages the interpreter renders"
}

case $mode in
filter) mode_filter ;;
lp) mode_lp ;;
samples) mode_samples ;;
*) fail "unknown mode $mode" ;;
esac
