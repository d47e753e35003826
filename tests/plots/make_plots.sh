#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Makes plots afresh with the programs that write HP-GL, HP-GL/2 and PCL in
# Debian: gnuplot (hpgl and pcl5 terminals), fig2dev -L ibmgl, pstoedit
# (hpgl, hpgl2, pcl, plot-hpgl, plot-pcl), GNU plotutils (graph, plot,
# pic2plot, tek2plot, ode) and hp2xx -m hpgl. Nothing made here is kept in
# the tree: the tests run this into a scratch folder.
#
#   make_plots.sh OUTDIR
#
# Prints one line per plot made: its file name, the pages its producer was
# asked for, and how it was made. When a producer is missing it makes
# nothing and exits 77 naming it: a partial set would shrink every table and
# test built on it without a word.
set -euo pipefail

[ $# -eq 1 ] || { echo "usage: make_plots.sh OUTDIR" >&2; exit 2; }
out=$1

missing=()
for program in gnuplot fig2dev pstoedit gs graph plot pic2plot tek2plot ode hp2xx; do
  command -v "$program" >/dev/null || missing+=("$program")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "SKIP: producers not installed: ${missing[*]}" \
       "(packages gnuplot-nox, fig2dev, pstoedit, ghostscript, plotutils, hp2xx)"
  exit 77
fi
for sample in /usr/share/doc/plotutils/tek2plot/usmap.tek.gz \
              /usr/share/doc/plotutils/ode/lorenz.ode /usr/share/doc/hp2xx/hp-tests/arcs.hp; do
  [ -f "$sample" ] || { echo "SKIP: $sample is missing"; exit 77; }
done

mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# made FILE PAGES DESCRIPTION: checks that the producer wrote something and
# prints the plot's line.
made() {
  [ -s "$out/$1" ] || { echo "make_plots.sh: $1 came out empty" >&2; exit 1; }
  printf '%-32s %s  %s\n' "$1" "$2" "$3"
}

# --- gnuplot: its hpgl terminal scales every plot to P1/P2 (SC0,10000,0,7500),
# and with `eject` ends each plot with PG; its pcl5 terminal wraps the
# HP-GL/2 in ESC E ... ESC %0A ESC E and sets the page itself.
gnuplot_to() { # TERMINAL FILE COMMANDS...
  local terminal=$1 file=$2
  shift 2
  gnuplot -e "set terminal $terminal; set output '$out/$file'; $*"
}
gnuplot_to hpgl gnuplot-hpgl-sin.hpgl 'plot sin(x), cos(x)'
made gnuplot-hpgl-sin.hpgl 1 "gnuplot: terminal hpgl, two curves"
gnuplot_to 'hpgl 8' gnuplot-hpgl-half.hpgl \
  'set size 0.5,0.5; set grid; plot [0:10] besj0(x), besj1(x), x/10'
made gnuplot-hpgl-half.hpgl 1 "gnuplot: terminal hpgl 8, size 0.5,0.5 with a grid"
gnuplot_to hpgl gnuplot-hpgl-surface.hpgl \
  'set isosamples 30; set hidden3d; splot [-3:3][-3:3] exp(-(x*x+y*y)/2)'
made gnuplot-hpgl-surface.hpgl 1 "gnuplot: terminal hpgl, a hidden-line surface"
gnuplot_to 'hpgl eject' gnuplot-hpgl-eject3.hpgl \
  'plot sin(x); plot [0:5] exp(x); set polar; plot [0:6.3] 1+cos(t)'
made gnuplot-hpgl-eject3.hpgl 3 "gnuplot: terminal hpgl eject, three plots, PG after each"
gnuplot_to 'hpgl 4 eject' gnuplot-hpgl-eject2.hpgl \
  'set title "first"; plot x; set title "second"; plot -x'
made gnuplot-hpgl-eject2.hpgl 2 "gnuplot: terminal hpgl 4 eject, two titled plots"
gnuplot_to 'pcl5 landscape size letter' gnuplot-pcl5-letter.pcl 'plot sin(x)/x'
made gnuplot-pcl5-letter.pcl 1 "gnuplot: terminal pcl5 landscape, letter"
gnuplot_to 'pcl5 portrait size a4' gnuplot-pcl5-a4-port.pcl \
  'set title "A4 portrait"; plot [0:4] x**2, x**3'
made gnuplot-pcl5-a4-port.pcl 1 "gnuplot: terminal pcl5 portrait, A4"
gnuplot_to 'pcl5 size noextended' gnuplot-pcl5-36x48.pcl 'plot [-5:5] atan(x), tanh(x)'
made gnuplot-pcl5-36x48.pcl 1 "gnuplot: terminal pcl5, 36 x 48 in"
gnuplot_to 'pcl5 size 33.1in,46.8in' gnuplot-pcl5-a0.pcl \
  'set isosamples 20; splot [-2:2][-2:2] x*y*exp(-x*x-y*y)'
made gnuplot-pcl5-a0.pcl 1 "gnuplot: terminal pcl5, A0 (33.1 x 46.8 in), a surface"

# --- fig2dev -L ibmgl from a small drawing: lines, a box, a circle, an arc,
# a filled polygon and a label. -m scales it, -a picks ANSI A paper, -k puts
# the PCL command that enters HP-GL/2 before it.
cat > "$work/shapes.fig" <<'FIG'
#FIG 3.2  Produced by make_plots.sh
Landscape
Center
Metric
A4
100.00
Single
-2
1200 2
2 2 0 2 0 7 50 -1 -1 0.000 0 0 -1 0 0 5
	 600 600 9600 600 9600 6600 600 6600 600 600
2 1 0 1 0 7 50 -1 -1 0.000 0 0 -1 0 0 3
	 1200 1200 5400 1200 5400 4200
2 3 0 1 0 0 50 -1 20 0.000 0 0 -1 0 0 4
	 6600 4800 8400 4800 7500 6000 6600 4800
1 3 0 1 0 7 50 -1 -1 0.000 1 0.0000 3000 3000 900 900 3000 3000 3900 3000
5 1 0 1 0 7 50 -1 -1 0.000 0 0 0 0 6000.000 4000.000 5000 4000 6000 3000 7000 4000
4 0 0 50 -1 0 12 0.0000 4 135 450 1200 900 zelvo\001
FIG
fig2dev -L ibmgl "$work/shapes.fig" "$out/fig2dev-a4.hpgl"
made fig2dev-a4.hpgl 1 "fig2dev -L ibmgl: shapes on A4"
fig2dev -L ibmgl -a "$work/shapes.fig" "$out/fig2dev-letter.hpgl"
made fig2dev-letter.hpgl 1 "fig2dev -L ibmgl -a: shapes on ANSI A"
fig2dev -L ibmgl -m 0.5 -P "$work/shapes.fig" "$out/fig2dev-half-port.hpgl"
made fig2dev-half-port.hpgl 1 "fig2dev -L ibmgl -m 0.5 -P: half size, portrait"
fig2dev -L ibmgl -m 4 "$work/shapes.fig" "$out/fig2dev-x4.hpgl"
made fig2dev-x4.hpgl 1 "fig2dev -L ibmgl -m 4: four times the drawing, in its A4 window"
fig2dev -L ibmgl -k "$work/shapes.fig" "$out/fig2dev-pcl.hpgl"
made fig2dev-pcl.hpgl 1 "fig2dev -L ibmgl -k: led by the PCL command for HP-GL/2"

# --- pstoedit from gnuplot's PostScript of two plots: each page ends in PG.
gnuplot -e "set terminal postscript landscape; set output '$work/two.ps';
            plot sin(x); set title 'page two'; plot [0:3] exp(-x)*cos(5*x)"
gnuplot -e "set terminal postscript eps; set output '$work/one.eps';
            set key left; plot [0:6] sin(x)**2, cos(x)/2"
pstoedit_to() { # FORMAT INPUT FILE
  pstoedit -q -f "$1" "$work/$2" "$out/$3" 2>"$work/pstoedit.log" \
    || { cat "$work/pstoedit.log" >&2; exit 1; }
}
pstoedit_to hpgl two.ps pstoedit-hpgl-2p.hpgl
made pstoedit-hpgl-2p.hpgl 2 "pstoedit -f hpgl: two pages of gnuplot PostScript"
pstoedit_to 'hpgl:-hpgl2' one.eps pstoedit-hpgl2-eps.hpgl
made pstoedit-hpgl2-eps.hpgl 1 "pstoedit -f hpgl:-hpgl2: one EPS figure in HP-GL/2, led by ESC E"
pstoedit_to hpgl one.eps pstoedit-hpgl-eps.hpgl
made pstoedit-hpgl-eps.hpgl 1 "pstoedit -f hpgl: one EPS figure"
pstoedit_to pcl two.ps pstoedit-pcl-2p.pcl
made pstoedit-pcl-2p.pcl 2 "pstoedit -f pcl: two pages, wrapped in PCL"
pstoedit_to plot-hpgl one.eps pstoedit-plot-hpgl.hpgl
made pstoedit-plot-hpgl.hpgl 1 "pstoedit -f plot-hpgl: one EPS figure through libplot"
pstoedit_to plot-pcl one.eps pstoedit-plot-pcl.pcl
made pstoedit-plot-pcl.pcl 1 "pstoedit -f plot-pcl: one EPS figure through libplot"

# --- GNU plotutils. graph writes PS with a length alone and fills its
# sheet only at one end; plot turns several metafiles into several pages.
seq 0 40 | awk '{ x = $1 / 4; print x, sin(x) * exp(-x / 5) }' > "$work/damped.dat"
graph -T hpgl --page-size a4 -C -g 3 < "$work/damped.dat" > "$out/graph-a4.hpgl"
made graph-a4.hpgl 1 "graph -T hpgl --page-size a4: a damped sine"
graph -T hpgl --page-size a0 -C -m 2 -S 4 < "$work/damped.dat" > "$out/graph-a0.hpgl"
made graph-a0.hpgl 1 "graph -T hpgl --page-size a0: line and symbols"
graph -T hpgl --page-size a2 --rotation 90 -x 0 10 < "$work/damped.dat" > "$out/graph-a2-rot.hpgl"
made graph-a2-rot.hpgl 1 "graph -T hpgl --page-size a2 --rotation 90"
graph -T pcl --page-size letter -C < "$work/damped.dat" > "$out/graph-letter.pcl"
made graph-letter.pcl 1 "graph -T pcl --page-size letter"
tail -n +2 "$work/damped.dat" | graph -T pcl --page-size a4 -l x -X time -Y level > "$out/graph-a4-logx.pcl"
made graph-a4-logx.pcl 1 "graph -T pcl --page-size a4: log x axis, labelled axes"
graph -T meta < "$work/damped.dat" > "$work/damped.meta"
seq 1 12 | awk '{ print $1, $1 * $1 }' | graph -T meta -m 0 -S 3 > "$work/squares.meta"
printf '0 0\n1 1\n2 0\n0 0\n' | graph -T meta -F HersheySerif -L triangle > "$work/triangle.meta"
plot -T hpgl --page-size a3 "$work/damped.meta" "$work/squares.meta" "$work/triangle.meta" \
  > "$out/plot-a3-3p.hpgl"
made plot-a3-3p.hpgl 3 "plot -T hpgl --page-size a3: three metafiles, three pages"
plot -T pcl --page-size a4 "$work/squares.meta" "$work/triangle.meta" > "$out/plot-a4-2p.pcl"
made plot-a4-2p.pcl 2 "plot -T pcl --page-size a4: two metafiles, two pages"
cat > "$work/flow.pic" <<'PIC'
.PS
box "plot"; arrow; ellipse "zelvo"; arrow; box "printer"
.PE
.PS
circle rad 0.5 "one"; move; circle rad 0.5 "two"; line from 1st circle .s to 2nd circle .s
.PE
PIC
pic2plot -T hpgl --page-size a4 "$work/flow.pic" > "$out/pic2plot-a4-2p.hpgl"
made pic2plot-a4-2p.hpgl 2 "pic2plot -T hpgl: two pictures, two pages"
gzip -dc /usr/share/doc/plotutils/tek2plot/usmap.tek.gz \
  | tek2plot -T hpgl --page-size a3 > "$out/tek2plot-usmap-a3.hpgl"
made tek2plot-usmap-a3.hpgl 1 "tek2plot -T hpgl --page-size a3: plotutils' US map"
ode < /usr/share/doc/plotutils/ode/lorenz.ode \
  | graph -T hpgl --page-size a1 -C -x -10 10 -y -10 10 > "$out/ode-lorenz-a1.hpgl"
made ode-lorenz-a1.hpgl 1 "ode | graph -T hpgl --page-size a1: the Lorenz attractor"

# --- hp2xx -m hpgl: plots read by hp2xx and written out again as its own
# HP-GL (absolute coordinates with decimals, no IN and no page size).
gzip -dcf /usr/share/doc/hp2xx/hp-tests/arcs.hp > "$work/arcs.hp"
hp2xx -q -m hpgl -f "$out/hp2xx-arcs.hpgl" "$work/arcs.hp"
made hp2xx-arcs.hpgl 1 "hp2xx -m hpgl: hp2xx's arcs sample"
hp2xx -q -m hpgl -w 800 -h 500 -f "$out/hp2xx-arcs-800mm.hpgl" "$work/arcs.hp" 2>/dev/null
made hp2xx-arcs-800mm.hpgl 1 "hp2xx -m hpgl -w 800 -h 500: the arcs sample, 800 x 500 mm"
hp2xx -q -m hpgl -f "$out/hp2xx-gnuplot.hpgl" "$out/gnuplot-hpgl-sin.hpgl"
made hp2xx-gnuplot.hpgl 1 "hp2xx -m hpgl: gnuplot's hpgl plot, rewritten"
hp2xx -q -m hpgl -w 100 -h 70 -f "$out/hp2xx-fig-small.hpgl" "$out/fig2dev-a4.hpgl"
made hp2xx-fig-small.hpgl 1 "hp2xx -m hpgl -w 100 -h 70: fig2dev's plot, 100 x 70 mm"
