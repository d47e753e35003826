#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks that the manual page documents exactly the functions that strutil.h
# declares: each one named in NAME, with the header's prototype in SYNOPSIS
# (.Ft and .Fn, or .Fo, .Fa and .Fc) and described under DESCRIPTION.
#
#   manual_covers_header.sh C_COMPILER HEADER PAGE
set -euo pipefail
compiler=$1
header=$2
page=$3

# The header through the preprocessor: its declarations without comments,
# one a line, however they are wrapped.
declared() {
  "$compiler" -E -P -x c "$header" | tr -s ' \t\n' ' ' | tr ';' '\n' |
    sed 's/^ //; s/ $//; s/( /(/; s/ )/)/' | grep . | sort
}

# A prototype as C writes it: no blank between a pointer return type and
# the name.
prototype() {
  local type=$1 name=$2 args=$3
  case $type in
  *'*') printf '%s%s(%s)\n' "$type" "$name" "$args" ;;
  *) printf '%s %s(%s)\n' "$type" "$name" "$args" ;;
  esac
}

# The prototypes of the SYNOPSIS section.
synopsis() {
  local line type="" name="" args="" section=""
  while IFS= read -r line; do
    case $line in
    ".Sh "*) section=${line#.Sh } ;;
    esac
    [ "$section" = SYNOPSIS ] || continue
    case $line in
    ".Ft "*) type=${line#.Ft } ;;
    ".Fn "*)
      line=${line#.Fn }
      name=${line%% *}
      args=${line#"$name"}
      args=${args# }
      args=${args#\"}
      args=${args%\"}
      prototype "$type" "$name" "${args//\" \"/, }"
      ;;
    ".Fo "*)
      name=${line#.Fo }
      args=""
      ;;
    ".Fa "*)
      line=${line#.Fa }
      line=${line#\"}
      args="${args:+$args, }${line%\"}"
      ;;
    ".Fc") prototype "$type" "$name" "$args" ;;
    esac
  done <"$page"
}

failed=0
if ! differences=$(diff <(declared) <(synopsis | sort)); then
  echo "SYNOPSIS and strutil.h differ (< header only, > page only):"
  printf '%s\n' "$differences"
  failed=1
fi
names=$(declared | sed 's/(.*//; s/.*[ *]//')
description=$(sed -n '/^\.Sh DESCRIPTION/,/^\.Sh /p' "$page")
for name in $names; do
  # NAME lists ".Nm name ," (or ".Nm name" last); DESCRIPTION starts its
  # sentences about a function with ".Fn name".
  if ! grep -Eq "^\.Nm $name( ,)?$" "$page"; then
    echo "NAME does not list $name"
    failed=1
  fi
  if ! grep -Eq "^\.Fn $name( |$)" <<<"$description"; then
    echo "DESCRIPTION does not describe $name"
    failed=1
  fi
done
[ "$failed" = 0 ] || exit 1
echo "the page documents the $(wc -w <<<"$names") functions of strutil.h"
