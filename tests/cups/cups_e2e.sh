#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Prints through a real CUPS scheduler and checks that the job reaches the
# device byte for byte as zelvo writes it to standard output.
#
#   cups_e2e.sh ZELVO PLOT
#
# Starts a private cupsd, adds a queue whose device is a file and whose PPD
# passes jobs through unchanged, prints with zelvo's command destination and
# stops cupsd at the end. Exits 77 (skipped) when cups is not installed.
set -euo pipefail

zelvo=$1
plot=$2
here=$(cd "$(dirname "$0")" && pwd)
queue=zelvo-test

source "$(dirname "$0")/verdicts.sh"
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

PATH=$PATH:/usr/sbin:/sbin
for tool in cupsd lp lpadmin lpstat; do
  command -v "$tool" >/dev/null ||
    skip "$tool is not installed (Debian packages cups and cups-client)"
done
[ -x /usr/lib/cups/filter/gziptoany ] ||
  skip "the CUPS filter gziptoany is not installed (Debian package cups-core-drivers, part of cups)"

work=$(mktemp -d)
chmod 755 "$work"
source "$here/private_cupsd.sh"
finish() {
  cupsd_stop
  rm -rf "$work"
}
trap finish EXIT

mkdir -p "$work/out"
device=$work/out/$queue.prn
cupsd_start "$work/etc"

# CUPS types a job that begins with ESC E as application/vnd.cups-raw. The
# PPD sends that type through gziptoany, which copies an uncompressed job
# unchanged. Without a filter at all (a raw queue, or the "-" filter) cupsd
# runs no process for a file device and the file stays empty.
lpadmin -p "$queue" -E -v "file://$device" -P "$here/passthrough.ppd" 2>"$work/lpadmin.err" || {
  cat "$work/lpadmin.err" >&2
  fail "lpadmin could not add the queue"
}

"$zelvo" "$plot" >"$work/expected"
[ -s "$work/expected" ] || fail "zelvo wrote no job to standard output"

# check_delivery WHAT: the job whose request id lp printed into lp.out has
# reached the device unchanged.
check_delivery() {
  local what=$1 id
  id=$(sed -n 's/^request id is \([^ ]*\) .*/\1/p' "$work/lp.out")
  [ -n "$id" ] || fail "$what: lp printed no request id: $(cat "$work/lp.out")"
  cupsd_wait_for "$queue" "$id"
  cmp "$work/expected" "$device" || fail "$what: the device did not receive the job unchanged"
  # The next job must not pass on what this one left.
  rm -f "$device"
  echo "ok: $what"
}

"$zelvo" -out "|lp -d $queue" "$plot" >"$work/lp.out" ||
  fail "zelvo -out '|lp -d $queue' exited with status $?"
check_delivery "-out '|lp -d $queue' $plot"

zelvo_out="|lp -d $queue" "$zelvo" <"$plot" >"$work/lp.out" ||
  fail "zelvo_out='|lp -d $queue' zelvo < plot exited with status $?"
check_delivery "zelvo_out='|lp -d $queue' with the plot on standard input"

status=0
"$zelvo" -out "|lp -d no-such-queue" "$plot" >/dev/null 2>"$work/err" || status=$?
[ "$status" -eq 1 ] || fail "an unknown queue gave status $status, not 1"
grep -q '^lp: ' "$work/err" || fail "lp's own message is missing: $(cat "$work/err")"
grep -qx 'Output command failed' "$work/err" ||
  fail "\"Output command failed\" is missing: $(cat "$work/err")"
echo "ok: an unknown queue fails with status 1 and lp's message"
