#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The ink agreement of zelvo-render with the PCL 5 interpreter: every plot
# (hp2xx's sample plots and the plots make_plots.sh makes with real
# producers) goes through zelvo with each option set, and each job is
# rendered at 100 dpi by both. The pages must be as many, and each page's
# ink must agree (ink_compare) to at least 0.95.
#
#   ink_agreement.sh [--table FILE] [--baseline FILE] [--montage DIR]
#                    [--only REGEX] ZELVO ZELVO_RENDER INK_COMPARE
#
# Prints one row per plot and option set: the pages of each render, each
# page's score, and pass, FAIL or unjudged (the interpreter rendered no page
# of the job: such rows are named at the end and do not fail the check).
# --table writes the same rows as Markdown; --montage writes each page of
# both renders side by side into DIR (the interpreter's on the left), with
# ImageMagick's montage; --only keeps the plots whose file name matches
# REGEX (grep -E).
#
# --baseline names a table that an earlier run wrote (docs/render-agreement.md
# holds the last one): a page that scored below 0.95 there may score below
# 0.95 again, down to 0.02 under its recorded score, and its row is then
# "below" rather than FAIL; so is a row whose page counts differ just as
# they were recorded. That keeps the check against regressions while the
# pages that do not reach 0.95 are known and listed; a new plot, or a page
# without a recorded score, is held to 0.95.
#
# The interpreter is ZELVO_PCL_RENDERER, or ../shared/tools/render-pcl beside
# the checkout; ZELVO_RENDER, when set, is used instead of ZELVO_RENDER the
# argument. Exits 0 when every row passes, 1 otherwise, 77 when the
# interpreter, zelvo-render, the sample plots or the producers are missing.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
table='' baseline='' montage_dir='' only=''
while [ $# -gt 0 ]; do
  case $1 in
    --table) table=$2; shift 2 ;;
    --baseline) baseline=$2; shift 2 ;;
    --montage) montage_dir=$2; shift 2 ;;
    --only) only=$2; shift 2 ;;
    *) break ;;
  esac
done
[ $# -eq 3 ] || { echo "usage: ink_agreement.sh [--table FILE] [--baseline FILE] [--montage DIR] [--only REGEX]" \
                       "ZELVO ZELVO_RENDER INK_COMPARE" >&2; exit 2; }
zelvo=$1
zelvo_render=${ZELVO_RENDER:-$2}
ink_compare=$3
interpreter=${ZELVO_PCL_RENDERER:-$here/../../../shared/tools/render-pcl}
samples=/usr/share/doc/hp2xx/hp-tests
min_score=0.95

[ -x "$interpreter" ] || { echo "SKIP: no PCL interpreter at $interpreter (set ZELVO_PCL_RENDERER)"; exit 77; }
[ -x "$zelvo_render" ] || { echo "SKIP: no zelvo-render at $zelvo_render"; exit 77; }
[ -d "$samples" ] || { echo "SKIP: no sample plots in $samples (package hp2xx)"; exit 77; }
if [ -n "$montage_dir" ]; then
  command -v montage >/dev/null || { echo "ink_agreement.sh: --montage needs ImageMagick's montage" >&2; exit 2; }
  mkdir -p "$montage_dir"
fi

# The recorded scores and page counts, by plot and option set:
# "PLOT|LABEL" -> "S1 S2 ..." and -> "PAGES PAGES".
declare -A recorded=() recorded_pages=()
if [ -n "$baseline" ]; then
  while IFS='|' read -r _ plot label pcl zr scores _; do
    plot=$(echo "$plot" | xargs) label=$(echo "$label" | tr -d '`' | xargs)
    recorded["$plot|$label"]=$(echo "$scores" | xargs)
    recorded_pages["$plot|$label"]="$(echo "$pcl" | xargs) $(echo "$zr" | xargs)"
  done < <(grep -E '^\| [^ ]+ \| `' "$baseline")
fi

# The lowest score a page may have: 0.95, or for a page recorded below it,
# its recorded score less 0.02.
floor_of() { # PLOT LABEL PAGE
  local recorded_scores=${recorded["$1|$2"]:-}
  local score
  score=$(echo "$recorded_scores" | cut -d' ' -f"$3")
  awk -v r="${score:-}" -v m="$min_score" 'BEGIN { if (r == "" || r + 0 >= m) print m; else print r - 0.02 }'
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/plots" "$work/jobs" "$work/pages"

# The plots: the producers' first (a missing producer skips the whole
# check, as the table would silently shrink), then the samples, unpacked.
status=0
"$here/../plots/make_plots.sh" "$work/plots" > "$work/made.txt" || status=$?
if [ "$status" -ne 0 ]; then
  cat "$work/made.txt"
  exit "$status"
fi
for sample in "$samples"/*; do
  name=$(basename "$sample" .gz)
  case $name in readme | *.eps) continue ;; esac
  gzip -dcf "$sample" > "$work/plots/hp2xx-sample-$name"
done

option_names=(default hold-port fit-a4)
option_args=('' '-hold -port' '-fit -paper A4')

# The jobs, one per plot and option set, named PLOT.OPTIONS.
rows=()
for plot in "$work"/plots/*; do
  name=$(basename "$plot")
  if [ -n "$only" ] && ! grep -qE -- "$only" <<< "$name"; then continue; fi
  for i in "${!option_names[@]}"; do
    job=$name.${option_names[$i]}
    # shellcheck disable=SC2086 # the option set is words
    PAPERSIZE=letter "$zelvo" ${option_args[$i]} "$plot" > "$work/jobs/$job.pcl" 2>/dev/null
    rows+=("$job")
  done
done
[ ${#rows[@]} -gt 0 ] || { echo "ink_agreement.sh: no plot matches $only" >&2; exit 2; }

# Both renders of every job, two at a time: each into its own folder, the
# interpreter's pages as pcl-N.png and zelvo-render's as zr-N.png.
render_job() {
  local job=$1 dir=$work/pages/$1
  mkdir -p "$dir"
  "$interpreter" -r 100 "$work/jobs/$job.pcl" "$dir/pcl-%d.png" >/dev/null 2>"$dir/pcl.err" || true
  "$zelvo_render" --dpi 100 -o "$dir/zr-%d.png" "$work/jobs/$job.pcl" >/dev/null 2>"$dir/zr.err" || true
}
export -f render_job
export work interpreter zelvo_render
# shellcheck disable=SC2016 # $1 is the inner shell's
printf '%s\n' "${rows[@]}" | xargs -P2 -I{} bash -c 'render_job "$1"' _ {}

pages_of() { # DIR PREFIX: how many pages a render wrote
  local n=0
  while [ -f "$1/$2-$((n + 1)).png" ]; do n=$((n + 1)); done
  echo "$n"
}

label_of() { # JOB: the option set as it was given to zelvo
  local i
  for i in "${!option_names[@]}"; do
    if [ "${1##*.}" = "${option_names[$i]}" ]; then echo "zelvo${option_args[$i]:+ ${option_args[$i]}}"; return; fi
  done
}

failed=0 below=0 unjudged=()
markdown="| plot | options | pages (interpreter) | pages (zelvo-render) | ink per page | result |
|---|---|---|---|---|---|"
printf '%-34s %-22s %5s %5s  %-8s %s\n' plot options pcl zr result scores
for job in "${rows[@]}"; do
  dir=$work/pages/$job
  plot=${job%.*}
  label=$(label_of "$job")
  pcl_pages=$(pages_of "$dir" pcl)
  zr_pages=$(pages_of "$dir" zr)
  scores=() result=pass
  if [ "$pcl_pages" -ne "$zr_pages" ]; then
    result=FAIL
    [ "${recorded_pages["$plot|$label"]:-}" = "$pcl_pages $zr_pages" ] && result=below
  fi
  # The interpreter writes no page at all for a job whose drawing runs off
  # the page, where a printer prints what fits: nothing to judge against.
  if [ "$pcl_pages" -eq 0 ]; then
    result=unjudged
    unjudged+=("$job")
  fi
  for ((page = 1; page <= pcl_pages && page <= zr_pages; page++)); do
    score=$("$ink_compare" "$dir/pcl-$page.png" "$dir/zr-$page.png" | cut -d' ' -f1) || score=error
    scores+=("$score")
    floor=$(floor_of "$plot" "$label" "$page")
    if [ "$score" = error ] || awk -v s="$score" -v m="$floor" 'BEGIN { exit !(s < m) }'; then
      result=FAIL
    elif [ "$result" != FAIL ] && awk -v s="$score" -v m="$min_score" 'BEGIN { exit !(s < m) }'; then
      result=below
    fi
    if [ -n "$montage_dir" ]; then
      montage -label interpreter "$dir/pcl-$page.png" -label zelvo-render "$dir/zr-$page.png" -tile 2x1 -geometry +8+8 \
        "$montage_dir/$job-$page.png"
    fi
  done
  [ "$result" = FAIL ] && failed=$((failed + 1))
  [ "$result" = below ] && below=$((below + 1))
  printf '%-34s %-22s %5s %5s  %-8s %s\n' "$plot" "$label" "$pcl_pages" "$zr_pages" "$result" \
    "${scores[*]:-}"
  markdown+="
| $plot | \`$label\` | $pcl_pages | $zr_pages | ${scores[*]:-} | $result |"
done
echo "${#rows[@]} rows, $failed failed, $below below $min_score as recorded (pass: as many pages, each page's ink at least $min_score)"
if [ ${#unjudged[@]} -gt 0 ]; then
  echo "${#unjudged[@]} unjudged, the interpreter rendered no page: ${unjudged[*]}"
fi
if [ -n "$table" ]; then
  printf '%s\n' "$markdown" > "$table"
fi
[ "$failed" -eq 0 ]
