#!/bin/sh
# SPDX-License-Identifier: MIT
# manual_messages.sh PAGE: every message of the page's DIAGNOSTICS list, as
# its source spells it, appears whole in the page as mandoc renders it. An
# item's text is read as macros where a word is a macro name (".It No plot
# size found" drops "No"), and only the rendered page shows that.
set -eu
page=$1
rendered=$(mktemp)
trap 'rm -f "$rendered"' EXIT
mandoc -T ascii -O width=200 "$page" | col -b | sed 's/^[[:space:]]*//' > "$rendered"

# The message of each item in the list: the .It line without the macro, its
# argument placeholders (Ar) read as their names and \& escapes dropped.
messages=$(awk '
  /^\.Sh / { in_list = ($2 == "DIAGNOSTICS"); next }
  in_list && /^\.It / {
    line = ""
    for (i = 2; i <= NF; i++)
      if ($i != "Ar") line = line (line == "" ? "" : " ") $i
    gsub(/\\&/, "", line)
    print line
  }' "$page")
[ -n "$messages" ] || { echo "no DIAGNOSTICS list in $page"; exit 1; }

status=0
count=0
while IFS= read -r message; do
  count=$((count + 1))
  if ! grep -qxF "$message" "$rendered"; then
    echo "not in the rendered page as a line of its own: $message"
    status=1
  fi
done <<LIST
$messages
LIST
echo "$count messages checked"
exit $status
