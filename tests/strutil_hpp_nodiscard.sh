#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Compiles strutil_hpp_nodiscard.cpp at C++17, the least standard
# strutil.hpp supports, and checks that the compiler warns of a discarded
# result on every line marked "// dropped" and of nothing else.
#
#   strutil_hpp_nodiscard.sh COMPILER INCLUDE_DIR
set -euo pipefail
compiler=$1
include_dir=$2
source="$(dirname "$0")/strutil_hpp_nodiscard.cpp"

output=$(LC_ALL=C "$compiler" -std=c++17 -Wall -Wextra -Wpedantic -fsyntax-only \
  -I"$include_dir" "$source" 2>&1) || {
  printf '%s\n' "$output"
  exit 1
}
expected=$(grep -n '// dropped$' "$source" | cut -d: -f1)
warnings=$(grep ': warning: ' <<<"$output" || true)
warned=$(sed -n 's/^.*strutil_hpp_nodiscard\.cpp:\([0-9]*\):[0-9]*: warning: .*\[-Wunused-result\]$/\1/p' \
  <<<"$warnings")
if [ "$warned" != "$expected" ] || [ "$(wc -l <<<"$warnings")" != "$(wc -l <<<"$warned")" ]; then
  printf '%s\n' "$output"
  echo "FAIL: discarded results warned on lines" $warned "instead of" $expected \
    "with no other warning" >&2
  exit 1
fi
echo "discarded results warned on the $(wc -l <<<"$expected") marked lines, nothing else"
