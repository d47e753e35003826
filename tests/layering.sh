#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The folders build on one another from the lowest up: strutil, plot,
# render, filter, cups. A file includes headers of its own folder or of one
# below it, never of one above, and no two modules (a header with its
# source) include each other.
#
#   layering.sh SOURCE_DIR
set -euo pipefail
top=$1
order=(strutil plot render filter cups)

declare -A level=()
for i in "${!order[@]}"; do
  for header in "$top/${order[$i]}"/*.h "$top/${order[$i]}"/*.hpp; do
    [ -e "$header" ] && level[$(basename "$header")]=$i
  done
done

failed=0
declare -A uses=()
for i in "${!order[@]}"; do
  for file in "$top/${order[$i]}"/*.h "$top/${order[$i]}"/*.hpp "$top/${order[$i]}"/*.cpp \
              "$top/${order[$i]}"/*.c; do
    [ -e "$file" ] || continue
    module=$(basename "${file%.*}")
    while read -r included; do
      found=${level[$included]:-}
      [ -n "$found" ] || continue # the system's, or the tests'
      if [ "$found" -gt "$i" ]; then
        echo "FAIL: ${file#"$top"/} includes $included, from ${order[$found]}/ above it"
        failed=1
      fi
      [ "$module" != "${included%.*}" ] && uses["$module ${included%.*}"]=1
    done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file")
  done
done
for pair in "${!uses[@]}"; do
  read -r a b <<< "$pair"
  if [[ "$a" < "$b" && -n "${uses["$b $a"]:-}" ]]; then
    echo "FAIL: $a and $b include each other"
    failed=1
  fi
done
[ "$failed" = 0 ] && echo "PASS: ${#uses[@]} module uses, each downward or within a folder"
exit "$failed"
