# SPDX-License-Identifier: MIT
# A private CUPS scheduler for one test, sourced by the end-to-end scripts.
#
# The sourcing script sets `work` (a temporary folder, mode 755, removed by
# the script) and defines fail(). cupsd_start lays out configuration, spool,
# logs, state and cache below it, starts cupsd in the foreground as a child,
# listening on 127.0.0.1 at a free port (cupsd_port) and on
# $work/cups.sock, and exports CUPS_SERVER; cupsd_stop ends it by its process
# id.

cupsd_pid=
cupsd_port=

# Whether a TCP port on the loopback address already answers.
cupsd_port_is_taken() {
  (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null
}

# cupsd_write_config ETC PORT [SERVER_BIN [DATA_DIR]]
cupsd_write_config() {
  local etc=$1 port=$2 server_bin=${3:-} data_dir=${4:-/usr/share/cups}
  {
    echo "ServerRoot $etc"
    [ -z "$server_bin" ] || echo "ServerBin $server_bin"
    echo "DataDir $data_dir"
    cat <<EOF
RequestRoot $work/spool
TempDir $work/spool/tmp
StateDir $work/state
CacheDir $work/cache
AccessLog $work/log/access_log
ErrorLog $work/log/error_log
PageLog $work/log/page_log
Printcap $work/printcap
FileDevice Yes
SystemGroup root
EOF
  } >"$etc/cups-files.conf"
  # Everything is allowed without authentication: only processes on this
  # machine reach the scheduler, and it lives for one test.
  cat >"$etc/cupsd.conf" <<EOF
Listen 127.0.0.1:$port
Listen $work/cups.sock
FatalErrors config listen
LogLevel debug
MaxLogSize 0
Browsing No
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
    Allow all
  </Limit>
</Policy>
EOF
}

# True once the scheduler answers on the server given. lpstat -r exits 0
# whether or not a scheduler runs; only its text tells.
cupsd_answers() {
  [ "$(lpstat -h "$1" -r 2>/dev/null)" = "scheduler is running" ]
}

# cupsd_start ETC [SERVER_BIN [DATA_DIR]]: ETC holds the configuration (and
# any mime files of the test); SERVER_BIN replaces the system's CUPS
# programs, DATA_DIR its data (drivers in DATA_DIR/model among them).
cupsd_start() {
  local etc=$1 server_bin=${2:-} data_dir=${3:-} port attempt tries
  mkdir -p "$etc" "$work/spool/tmp" "$work/state" "$work/cache" "$work/log"
  # Filters run as the unprivileged user lp and must reach the spool.
  chmod 755 "$work/spool" "$work/state" "$work/cache"
  chmod 1777 "$work/spool/tmp"
  for attempt in 1 2 3 4 5; do
    port=$((20000 + RANDOM % 30000))
    cupsd_port_is_taken "$port" && continue
    cupsd_write_config "$etc" "$port" "$server_bin" "$data_dir"
    cupsd -f -c "$etc/cupsd.conf" -s "$etc/cups-files.conf" >"$work/log/cupsd.out" 2>&1 &
    cupsd_pid=$!
    for ((tries = 0; tries < 100; tries++)); do
      if ! kill -0 "$cupsd_pid" 2>/dev/null; then
        wait "$cupsd_pid" 2>/dev/null || true
        cupsd_pid=
        break
      fi
      if cupsd_answers "$work/cups.sock" && cupsd_answers "127.0.0.1:$port"; then
        export CUPS_SERVER=$work/cups.sock
        cupsd_port=$port
        return 0
      fi
      sleep 0.1
    done
    cupsd_stop
  done
  cat "$work/log/cupsd.out" >&2 2>/dev/null || true
  tail -n 20 "$work/log/error_log" >&2 2>/dev/null || true
  fail "the private cupsd did not start"
}

cupsd_stop() {
  if [ -n "$cupsd_pid" ]; then
    kill -TERM "$cupsd_pid" 2>/dev/null || true
    wait "$cupsd_pid" 2>/dev/null || true
    cupsd_pid=
  fi
}

# cupsd_print QUEUE LP-ARGS...: prints through lp and waits until the job has
# completed; fails, showing the scheduler's log, when it does not.
cupsd_print() {
  local queue=$1 id tries
  shift
  id=$(lp -d "$queue" "$@" | sed -n 's/^request id is \([^ ]*\).*/\1/p')
  [ -n "$id" ] || fail "lp gave no request id"
  cupsd_wait_for "$queue" "$id"
}

# cupsd_wait_for QUEUE ID: waits until job ID has completed.
cupsd_wait_for() {
  local queue=$1 id=$2 tries
  for ((tries = 0; tries < 300; tries++)); do
    if lpstat -W completed -o "$queue" 2>/dev/null | grep -q "^$id "; then
      return 0
    fi
    sleep 0.1
  done
  lpstat -l -o "$queue" >&2 2>/dev/null || true
  tail -n 30 "$work/log/error_log" >&2 2>/dev/null || true
  fail "job $id did not complete"
}

# cupsd_wait_for_end QUEUE ID: waits until job ID has ended, completed or
# not.
cupsd_wait_for_end() {
  local queue=$1 id=$2 tries
  for ((tries = 0; tries < 300; tries++)); do
    lpstat -o "$queue" 2>/dev/null | grep -q "^$id " || return 0
    sleep 0.1
  done
  fail "job $id did not end"
}
