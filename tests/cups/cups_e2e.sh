#!/usr/bin/env bash
# Prints through a real CUPS scheduler and checks that the job reaches the
# device byte for byte as zelvo writes it to standard output.
#
#   cups_e2e.sh ZELVO PLOT
#
# The script starts a private cupsd of its own (configuration, spool, logs,
# state and cache in a temporary folder; listening on 127.0.0.1 at a free
# port and on a socket in that folder), adds a queue whose device is a file
# and whose PPD passes jobs through unchanged, and stops cupsd at the end.
# Exits 77 (skipped) when cups is not installed.
set -euo pipefail

zelvo=$1
plot=$2
here=$(cd "$(dirname "$0")" && pwd)
queue=zelvo-test

skip() {
  echo "SKIP: $*"
  exit 77
}
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
# Filters run as the unprivileged user lp and must reach the spool below.
chmod 755 "$work"
cupsd_pid=

stop_cupsd() {
  if [ -n "$cupsd_pid" ]; then
    kill "$cupsd_pid" 2>/dev/null || true
    wait "$cupsd_pid" 2>/dev/null || true
    cupsd_pid=
  fi
}
finish() {
  local status=$?
  stop_cupsd
  if [ "$status" -ne 0 ] && [ "$status" -ne 77 ] && [ -f "$work/log/error_log" ]; then
    echo "--- end of cupsd's error_log ---" >&2
    tail -n 40 "$work/log/error_log" >&2
  fi
  rm -rf "$work"
}
trap finish EXIT

mkdir -p "$work/etc/ppd" "$work/spool/tmp" "$work/cache" "$work/state" "$work/log" "$work/out"
socket=$work/cups.sock
device=$work/out/$queue.prn

write_config() {
  local port=$1
  cat >"$work/etc/cups-files.conf" <<EOF
ServerRoot $work/etc
RequestRoot $work/spool
TempDir $work/spool/tmp
CacheDir $work/cache
StateDir $work/state
AccessLog $work/log/access_log
ErrorLog $work/log/error_log
PageLog $work/log/page_log
Printcap $work/printcap
FileDevice Yes
EOF
  # Everything is allowed without authentication: only this user's processes
  # on this machine can reach the scheduler, and it lives for one test.
  cat >"$work/etc/cupsd.conf" <<EOF
Listen 127.0.0.1:$port
Listen $socket
FatalErrors config listen
LogLevel debug
MaxLogSize 0
Browsing No
WebInterface No
<Location />
  Order allow,deny
  Allow from 127.0.0.1
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
}

port_is_taken() {
  (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null
}

# Starts cupsd in the foreground as a child of this script; true once it
# answers on both the socket and the TCP port.
start_cupsd() {
  local port=$1
  write_config "$port"
  cupsd -f -c "$work/etc/cupsd.conf" -s "$work/etc/cups-files.conf" \
    >"$work/log/cupsd.out" 2>&1 &
  cupsd_pid=$!
  for _ in $(seq 100); do
    if ! kill -0 "$cupsd_pid" 2>/dev/null; then
      wait "$cupsd_pid" 2>/dev/null || true
      cupsd_pid=
      return 1
    fi
    if lpstat -h "$socket" -r >/dev/null 2>&1 &&
      lpstat -h "127.0.0.1:$port" -r >/dev/null 2>&1; then
      return 0
    fi
    sleep 0.1
  done
  stop_cupsd
  return 1
}

started=
for _ in 1 2 3 4 5; do
  port=$((20000 + RANDOM % 30000))
  port_is_taken "$port" && continue
  if start_cupsd "$port"; then
    started=yes
    break
  fi
done
[ -n "$started" ] || {
  cat "$work/log/cupsd.out" >&2 || true
  fail "cupsd did not start"
}
export CUPS_SERVER=$socket

# CUPS types a job that begins with ESC E as application/vnd.cups-raw. The
# PPD sends that type through gziptoany, which copies an uncompressed job
# unchanged. Without a filter at all (a raw queue, or the "-" filter) cupsd
# runs no process for a file device and the file stays empty.
lpadmin -p "$queue" -E -v "file://$device" -P "$here/passthrough.ppd" 2>"$work/lpadmin.err" || {
  cat "$work/lpadmin.err" >&2
  fail "lpadmin could not add the queue"
}

# Waits until the job whose "request id is ..." line is in file $1 has
# completed.
wait_for_job() {
  local id
  id=$(sed -n 's/^request id is \([^ ]*\) .*/\1/p' "$1")
  [ -n "$id" ] || fail "lp printed no request id: $(cat "$1")"
  for _ in $(seq 300); do
    if lpstat -W completed -o "$queue" | grep -q "^$id "; then
      return 0
    fi
    sleep 0.1
  done
  lpstat -l -o "$queue" >&2 || true
  fail "job $id did not complete"
}

"$zelvo" "$plot" >"$work/expected"
[ -s "$work/expected" ] || fail "zelvo wrote no job to standard output"

check_delivery() {
  local what=$1
  wait_for_job "$work/lp.out"
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
