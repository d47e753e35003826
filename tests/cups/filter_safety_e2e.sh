#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# zelvo-cups run as CUPS runs it, with hostile and awkward inputs: nothing
# it echoes adds a line to its messages, the PPD and the print file are read
# safely, an ignored setting changes nothing, and a cancel ends it promptly.
#
#   filter_safety_e2e.sh ZELVO ZELVO_CUPS
set -euo pipefail

zelvo=$(realpath "$1") zelvo_cups=$(realpath "$2")
fail() { echo "FAIL: $*"; exit 1; }

work=$(mktemp -d /tmp/zelvo-cups-safety.XXXXXX)
pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2> /dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

printf 'IN;SP1;PU0,0;PD1000,0,1000,1000,0,1000,0,0;PU;\n' > "$work/plot.plt"
printf 'IN;PS40000,20000;SP1;PU0,0;PD40000,0,40000,20000,0,20000,0,0;PU;\n' > "$work/sized.plt"

# run_filter OUT ERR OPTIONS [FILE]: zelvo-cups with a time limit, so that a
# hang fails the test; prints the exit status (124 for the time limit).
run_filter() {
  local out=$1 err=$2 options=$3 status=0
  shift 3
  timeout 10 "$zelvo_cups" 7 user title 1 "$options" "$@" < /dev/null > "$out" 2> "$err" || status=$?
  echo "$status"
}

# no_injected_lines WHAT ERR: every line of ERR is one of zelvo-cups's own,
# and none is a command that cupsd would obey.
no_injected_lines() {
  if grep -vE '^(DEBUG|ERROR|WARNING|PAGE): ' "$2" | grep -q .; then
    cat "$2"
    fail "$1: a message line without a CUPS prefix"
  fi
  if grep -qE '^(STATE|ATTR|PPD|CRITICAL|ALERT|EMERG|INFO): |^PAGE: 42 ' "$2"; then
    cat "$2"
    fail "$1: an injected command line"
  fi
}

# --- Echoed text is one line: a hostile option value, print file name and PPD.

"$zelvo" -hold "$work/plot.plt" > "$work/expected"
status=$(run_filter "$work/got" "$work/err" "penwidth='1
STATE: +media-empty-error' media='B0
PAGE: 42 42'" "$work/plot.plt")
[ "$status" = 0 ] || { cat "$work/err"; fail "hostile option values: status $status"; }
cmp -s "$work/expected" "$work/got" || fail "hostile option values changed the job"
grep -q 'DEBUG: Ignoring penwidth=1?STATE' "$work/err" || { cat "$work/err"; fail "the pen width is not reported on one line"; }
no_injected_lines "hostile option values" "$work/err"

name=$work/$'gone\nSTATE: +media-empty-error.plt'
status=$(run_filter /dev/null "$work/err" '' "$name")
[ "$status" = 1 ] || fail "a missing print file with a line end in its name: status $status"
no_injected_lines "a hostile print file name" "$work/err"

{
  printf '*PPD-Adobe: "4.3"\n*1284DeviceID: "MFG:X;CMD:PCL;\nSTATE: +media-empty-error\nPAGE: 42 42\n"\n'
  printf '*OpenUI *PageSize: PickOne\n*DefaultPageSize: Huge\n*PageSize Huge/Huge\x07 page: ""\n*CloseUI: *PageSize\n'
} > "$work/hostile.ppd"
for ppd in "$work/hostile.ppd" "$work/"$'no\nSTATE: +x.ppd'; do
  status=0
  PPD=$ppd timeout 10 "$zelvo_cups" 7 user title 1 '' "$work/plot.plt" > "$work/got" 2> "$work/err" || status=$?
  [ "$status" = 0 ] || { cat "$work/err"; fail "a hostile PPD: status $status"; }
  no_injected_lines "a hostile PPD" "$work/err"
done
echo "ok: hostile option values, file name and PPD add no message line"

# --- The PPD: only a regular file, of a bounded size.

mkfifo "$work/ppd.fifo"
for ppd in /dev/zero "$work/ppd.fifo" "$work"; do
  status=0
  PPD=$ppd timeout 10 "$zelvo_cups" 7 user title 1 '' "$work/plot.plt" > "$work/got" 2> "$work/err" || status=$?
  [ "$status" = 0 ] || { cat "$work/err"; fail "PPD=$ppd: status $status"; }
  grep -q "^DEBUG: Ignoring the PPD \"$ppd\": not a regular file" "$work/err" \
    || { cat "$work/err"; fail "PPD=$ppd: no DEBUG line"; }
  cmp -s "$work/expected" "$work/got" || fail "PPD=$ppd: the job differs from zelvo's"
done
truncate -s 17M "$work/huge.ppd"
PPD=$work/huge.ppd timeout 10 "$zelvo_cups" 7 user title 1 '' "$work/plot.plt" > "$work/got" 2> "$work/err" \
  || fail "a PPD of 17 MiB: the job failed"
grep -q 'DEBUG: Ignoring the PPD .*: larger than 16 MiB' "$work/err" || { cat "$work/err"; fail "a PPD of 17 MiB: no DEBUG line"; }
echo "ok: /dev/zero, a FIFO, a folder and a 17 MiB file as PPD are ignored"

# --- The print file is opened once: a FIFO loses nothing.

mkfifo "$work/print.fifo"
timeout 10 "$zelvo_cups" 7 user title 1 '' "$work/print.fifo" > "$work/got" 2> "$work/err" &
pids+=($!)
filter=$!
cat "$work/plot.plt" > "$work/print.fifo"
status=0
wait "$filter" || status=$?
[ "$status" = 0 ] || { cat "$work/err"; fail "a FIFO as the print file: status $status"; }
cmp -s "$work/expected" "$work/got" || fail "a FIFO as the print file: the job differs from zelvo's"
echo "ok: a FIFO as the print file is read once, whole"

mkdir "$work/folder"
status=$(run_filter "$work/got" "$work/err" '' "$work/folder")
[ "$status" = 1 ] && [ ! -s "$work/got" ] || fail "a folder as the print file: status $status"
grep -qx "ERROR: Unable to read print file \"$work/folder\": Is a directory" "$work/err" \
  || { cat "$work/err"; fail "a folder as the print file: $(cat "$work/err")"; }
echo "ok: a folder as the print file writes nothing"

# --- An ignored setting changes nothing.

"$zelvo" -hold "$work/sized.plt" > "$work/expected"
status=$(run_filter "$work/got" "$work/err" 'zelvo=fit=0x1' "$work/sized.plt")
[ "$status" = 0 ] || fail "zelvo=fit=0x1: status $status"
grep -q 'DEBUG: Ignoring fit=0x1' "$work/err" || { cat "$work/err"; fail "zelvo=fit=0x1: no DEBUG line"; }
cmp -s "$work/expected" "$work/got" || fail "zelvo=fit=0x1 changed the job"
echo "ok: zelvo=fit=0x1 is reported and changes nothing"

# --- A cancel while the printer takes nothing ends the filter promptly.

# A plot larger than a pipe holds (zelvo makes its pipes 1 MiB), into a
# pipe that nobody reads: the copy blocks, SIGTERM stops it, and the
# trailer cannot be written.
head -c 4000000 /dev/zero | tr '\0' 'P' | sed 's/^/IN;LBX/' > "$work/long.plt"
mkfifo "$work/out.fifo"
exec 3<> "$work/out.fifo" # holds the read end open, reading nothing
"$zelvo_cups" 7 user title 1 '' "$work/long.plt" > "$work/out.fifo" 2> "$work/cancel.err" &
filter=$!
pids+=("$filter")
sleep 0.5
kill -TERM "$filter"
start=$(date +%s%N)
status=0
timeout 5 tail --pid="$filter" -f /dev/null || fail "zelvo-cups still runs 5 s after SIGTERM"
wait "$filter" || status=$?
elapsed_ms=$((($(date +%s%N) - start) / 1000000))
exec 3<&-
[ "$status" = 1 ] || { cat "$work/cancel.err"; fail "a cancel without a reader: status $status, not 1"; }
grep -qx 'ERROR: Unable to write output file' "$work/cancel.err" || { cat "$work/cancel.err"; fail "no write error"; }
if grep -q 'the trailer was written' "$work/cancel.err"; then
  cat "$work/cancel.err"
  fail "a trailer that was not written is reported as written"
fi
echo "ok: a cancel without a reader ends in ${elapsed_ms} ms, saying the output failed"
