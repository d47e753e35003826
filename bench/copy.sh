#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Copy throughput and start-up of zelvo against GNU cat, side by side.
#
#   [INPUT=plots] bench/copy.sh ZELVO [SIZE_MB] [PAIRS] [ZELVO_ARGS...]
#
# For each of file->file, file->pipe, pipe->pipe and pipe->file, runs cat and
# zelvo (with ZELVO_ARGS, such as -hold -port) on the same input,
# alternating, PAIRS times (default 5), and prints the median wall times,
# the ratio cat/zelvo and zelvo's peak memory. Pipes are fed and drained by
# the same commands for both programs. Then times an empty job against
# `cat /dev/null`. The input is random bytes, or with INPUT=plots the sample
# plots of hp2xx (/usr/share/doc/hp2xx/hp-tests) repeated. Builds nothing
# itself.
set -euo pipefail

zelvo=$(realpath "${1:?usage: copy.sh ZELVO [SIZE_MB] [PAIRS] [ZELVO_ARGS...]}")
size_mb=${2:-1024}
pairs=${3:-5}
shift $(($# < 3 ? $# : 3))
zelvo_args=("$@")
zelvo_job=("$zelvo" "$@")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

input=$work/input.plt
bytes=$((size_mb * 1000 * 1000))
if [ "${INPUT:-random}" = plots ]; then
  samples=/usr/share/doc/hp2xx/hp-tests
  for f in "$samples"/*; do
    case $f in *readme | *.eps | *.eps.gz) ;; *) gzip -dcf "$f" ;; esac
  done > "$work/unit.plt"
  cp "$work/unit.plt" "$input"
  while [ "$(stat -c %s "$input")" -lt "$bytes" ]; do
    cat "$input" "$input" > "$work/twice.plt"
    mv "$work/twice.plt" "$input"
  done
  truncate -s "$bytes" "$input"
else
  head -c "$bytes" /dev/urandom > "$input"
fi

now() { date +%s%N; }

# run_case NAME COMMAND...: one timed run; prints nanoseconds. Each run
# starts with no output file and nothing dirty in the page cache, so neither
# side pays for freeing or writing back what the run before it wrote.
run_case() {
  local name=$1 t0 t1
  shift
  rm -f "$work/out"
  sync
  t0=$(now)
  case $name in
    file-file) "$@" "$input" > "$work/out" ;;
    file-pipe) "$@" "$input" | cat > /dev/null ;;
    pipe-pipe) cat "$input" | "$@" | cat > /dev/null ;;
    pipe-file) cat "$input" | "$@" > "$work/out" ;;
  esac
  t1=$(now)
  echo $((t1 - t0))
}

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

# peak_rss NAME: zelvo's maximum resident set in KiB for one run.
peak_rss() {
  local name=$1
  case $name in
    file-file) /usr/bin/time -f %M -o "$work/rss" "${zelvo_job[@]}" "$input" > "$work/out" ;;
    file-pipe) /usr/bin/time -f %M -o "$work/rss" "${zelvo_job[@]}" "$input" | cat > /dev/null ;;
    pipe-pipe) cat "$input" | /usr/bin/time -f %M -o "$work/rss" "${zelvo_job[@]}" | cat > /dev/null ;;
    pipe-file) cat "$input" | /usr/bin/time -f %M -o "$work/rss" "${zelvo_job[@]}" > "$work/out" ;;
  esac
  cat "$work/rss"
}

printf '%s MB %s input, %s pairs, zelvo %s, %s, %s\n' "$size_mb" "${INPUT:-random}" "$pairs" \
  "${zelvo_args[*]:-(no options)}" "$(uname -m)" "$(nproc) cores"
printf '%-10s %12s %12s %8s %14s\n' case cat_ms zelvo_ms ratio zelvo_rss_kib
for name in file-file file-pipe pipe-pipe pipe-file; do
  : > "$work/cat.t"; : > "$work/zelvo.t"
  for ((i = 0; i < pairs; i++)); do
    run_case "$name" cat >> "$work/cat.t"
    run_case "$name" "${zelvo_job[@]}" >> "$work/zelvo.t"
  done
  c=$(median < "$work/cat.t"); z=$(median < "$work/zelvo.t")
  awk -v n="$name" -v c="$c" -v z="$z" -v r="$(peak_rss "$name")" \
    'BEGIN {printf "%-10s %12.1f %12.1f %8.2f %14d\n", n, c/1e6, z/1e6, c/z, r}'
done

# Start-up: many empty jobs in a row, alternating blocks.
runs=500
: > "$work/cat.t"; : > "$work/zelvo.t"
for ((i = 0; i < pairs; i++)); do
  t0=$(now); for ((j = 0; j < runs; j++)); do cat /dev/null > /dev/null; done; t1=$(now)
  echo $(((t1 - t0) / runs)) >> "$work/cat.t"
  t0=$(now); for ((j = 0; j < runs; j++)); do "${zelvo_job[@]}" < /dev/null > /dev/null; done; t1=$(now)
  echo $(((t1 - t0) / runs)) >> "$work/zelvo.t"
done
c=$(median < "$work/cat.t"); z=$(median < "$work/zelvo.t")
awk -v c="$c" -v z="$z" 'BEGIN {printf "empty job: cat %.0f us, zelvo %.0f us, zelvo/cat %.2f\n", c/1e3, z/1e3, z/c}'
