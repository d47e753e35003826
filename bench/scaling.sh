#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Cost per byte and peak memory of zelvo as the input grows, against cat.
#
#   bench/scaling.sh ZELVO [ZELVO_ARGS...]
#
# Streams hp2xx's sample plots (/usr/share/doc/hp2xx/hp-tests), repeated to
# 40 MB, 400 MB and 4 GB, through a pipe into zelvo (with ZELVO_ARGS, such as
# -hold -port) and out through a pipe, and prints the wall time per GB and
# zelvo's peak memory at each size, with cat in zelvo's place beside it.
# Builds nothing itself.
set -euo pipefail

zelvo=$(realpath "${1:?usage: scaling.sh ZELVO [ZELVO_ARGS...]}")
shift
zelvo_job=("$zelvo" "$@")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# 40 MB of plots; the larger inputs are that file streamed again and again.
for f in /usr/share/doc/hp2xx/hp-tests/*; do
  case $f in *readme | *.eps | *.eps.gz) ;; *) gzip -dcf "$f" ;; esac
done > "$work/unit.plt"
unit=$work/unit.plt
while [ "$(stat -c %s "$unit")" -lt 40000000 ]; do
  cat "$unit" "$unit" > "$work/twice.plt" && mv "$work/twice.plt" "$unit"
done
truncate -s 40000000 "$unit"

feed() { for ((k = 0; k < $1; k++)); do cat "$unit"; done; }
now() { date +%s%N; }

# timed COUNT COMMAND...: milliseconds for COUNT x 40 MB through COMMAND.
timed() {
  local count=$1 t0 t1
  shift
  t0=$(now)
  feed "$count" | "$@" | cat > /dev/null
  t1=$(now)
  echo $(((t1 - t0) / 1000000))
}

printf 'zelvo %s, %s, %s cores\n' "${*:-(no options)}" "$(uname -m)" "$(nproc)"
printf '%-8s %12s %14s %14s\n' size cat_ms_per_gb zelvo_ms_per_gb zelvo_rss_kib
for count in 1 10 100; do
  c=$(timed "$count" cat)
  z=$(timed "$count" "${zelvo_job[@]}")
  feed "$count" | /usr/bin/time -f %M -o "$work/rss" "${zelvo_job[@]}" | cat > /dev/null
  awk -v n=$((count * 40)) -v c="$c" -v z="$z" -v r="$(cat "$work/rss")" \
    'BEGIN {printf "%-8s %12.0f %14.0f %14d\n", n " MB", c * 1000 / (n * 1.0), z * 1000 / (n * 1.0), r}'
done
