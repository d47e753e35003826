#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# How CUPS types files with zelvo's MIME rules, asked through cupsfilter:
# real plots, as hp2xx's samples and the plot producers of Debian write
# them, are application/vnd.hp-HPGL by content or by name; texts that begin
# with the same letters stay text/plain.
#
#   typing_e2e.sh MIME_DIR
#
# MIME_DIR holds zelvo.types. Exits 77 (skipped) without cupsfilter; a
# producer that is not installed is skipped with its reason, and hp2xx's
# samples without hp2xx.
set -euo pipefail

mime_dir=$(realpath "$1")
export PATH=$PATH:/usr/sbin:/sbin
source "$(dirname "$0")/verdicts.sh"
source "$(dirname "$0")/type_of.sh"
command -v cupsfilter > /dev/null || skip "cupsfilter is not installed (Debian: cups)"

work=$(mktemp -d /tmp/zelvo-typing.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir "$work/root" "$work/files"
install -m 644 "$mime_dir/zelvo.types" "$work/root/"
add_type_probe "$work/root"
printf 'ServerBin /usr/lib/cups\nServerRoot %s\nDataDir /usr/share/cups\n' "$work/root" > "$work/cups-files.conf"

# expect_type TYPE WHAT FILE
expect_type() {
  local got
  got=$(type_of "$work/cups-files.conf" "$3")
  [ "$got" = "$1" ] || fail "$2 ($(head -c 40 "$3" | tr -c '[:print:]' .)): typed $got, not $1"
}

# --- Plots from the producers, under a name that tells nothing: by content.

producers=0
produce() {
  local what=$1 tool=$2
  shift 2
  if ! command -v "$tool" > /dev/null; then
    echo "skip: $what ($tool is not installed)"
    return
  fi
  "$@" > /dev/null 2>&1 || fail "$what: the producer failed"
  expect_type application/vnd.hp-hpgl "$what" "$work/files/plot"
  producers=$((producers + 1))
}
printf '%%!PS\n/Helvetica findfont 40 scalefont setfont 100 700 moveto (TOP) show\n100 100 moveto 400 400 lineto stroke showpage\n' \
  > "$work/drawing.ps"
printf '#FIG 3.2\nLandscape\nCenter\nMetric\nA4\n100.00\nSingle\n-2\n1200 2\n2 2 0 1 0 7 50 -1 -1 0.000 0 0 -1 0 0 5\n 0 0 2400 0 2400 1200 0 1200 0 0\n' \
  > "$work/drawing.fig"
printf '0 0\n1 1\n2 0\n' > "$work/points"
# gnuplot's hpgl terminal opens with the device-control sequence ESC .Y; its
# pcl5 terminal with ESC E, PCL commands and ESC %0B.
for terminal in hpgl pcl5; do
  produce "gnuplot, terminal $terminal" gnuplot \
    gnuplot -e "set terminal $terminal; set output '$work/files/plot'; plot sin(x)"
done
produce "fig2dev -L ibmgl" fig2dev fig2dev -L ibmgl "$work/drawing.fig" "$work/files/plot"
produce "pstoedit -f hpgl" pstoedit pstoedit -f hpgl "$work/drawing.ps" "$work/files/plot"
produce "pstoedit -f pcl" pstoedit pstoedit -f pcl "$work/drawing.ps" "$work/files/plot"
produce "GNU plotutils graph -T hpgl" graph sh -c "graph -T hpgl < '$work/points' > '$work/files/plot'"
produce "GNU plotutils graph -T pcl" graph sh -c "graph -T pcl < '$work/points' > '$work/files/plot'"
echo "ok: $producers producers' plots typed by content"

# A gnuplot script is no plot, whatever its name.
printf 'set terminal hpgl\nset output "plot.hpgl"\nplot sin(x)\n' > "$work/files/plot.plt"
expect_type text/plain "a gnuplot script called plot.plt" "$work/files/plot.plt"
printf '# gnuplot\nPlot = 1\n' > "$work/files/script.plt"
expect_type text/plain "a gnuplot script with a comment, called script.plt" "$work/files/script.plt"
# What another format's content rule claims stays that format, whatever the
# name says; raw PCL that enters no HP-GL/2 too.
printf '%%!PS-Adobe-3.0\nshowpage\n' > "$work/files/drawing.plt"
expect_type application/postscript "PostScript called drawing.plt" "$work/files/drawing.plt"
printf '\033E\033&l1O' > "$work/files/page.plt"
expect_type application/vnd.cups-raw "raw PCL called page.plt" "$work/files/page.plt"
printf '\033E\033&l1O\033(s1p12v0s0b4148T Text\f\033E' > "$work/files/page"
expect_type application/vnd.cups-raw "raw PCL" "$work/files/page"
echo "ok: a gnuplot script, PostScript and raw PCL under plot names keep their types"

# --- Texts that begin with the letters of a plot's first instructions.

source "$(dirname "$0")/plot_like_texts.sh"
for i in "${!plot_like_texts[@]}"; do
  printf '%s\n' "${plot_like_texts[$i]}" > "$work/files/memo$i.txt"
  expect_type text/plain "text \"${plot_like_texts[$i]//$'\n'/\\n}\"" "$work/files/memo$i.txt"
done
echo "ok: ${#plot_like_texts[@]} texts that begin like plots stay text/plain"

# --- hp2xx's samples: by name; by content too, where their start tells.

samples_dir=/usr/share/doc/hp2xx/hp-tests
if [ ! -d "$samples_dir" ]; then
  echo "skip: hp2xx's samples (Debian: hp2xx)"
  exit 0
fi
# The samples that begin with no instruction that tells a plot from text,
# typed as plots by their names only.
names_only=" ascii.hp char7.hp charsets.hp charsize.hp ci.hp miter.hp pages.hp pw.hpg win_1.hp.gz "
count=0 by_content=0
for f in "$samples_dir"/*; do
  name=$(basename "$f")
  case $name in readme | *.eps | *.eps.gz) continue ;; esac
  count=$((count + 1))
  expect_type application/vnd.hp-hpgl "hp2xx's $name" "$f"
  cp "$f" "$work/files/sample"
  case $names_only in
  *" $name "*) [ "$(type_of "$work/cups-files.conf" "$work/files/sample")" != application/vnd.hp-hpgl ] \
    || fail "$name is typed by content: take it off the names-only list" ;;
  *) expect_type application/vnd.hp-hpgl "hp2xx's $name without its name" "$work/files/sample"
     by_content=$((by_content + 1)) ;;
  esac
done
[ "$count" -ge 36 ] || fail "$count of hp2xx's 36 samples found"
echo "ok: hp2xx's $count samples typed by name, $by_content of them by content"
