#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Stands in for zelvo-render in the agreement check's own test: takes
# zelvo-render's call (--dpi N -o OUT JOB) and renders with the PCL
# interpreter, so that every page must agree. ZELVO_TEST_RENDER_FAULT makes
# it wrong on purpose: "drop" leaves out the last page, "scale" renders at
# 96 dpi where 100 were asked.
set -euo pipefail
dpi=100 out='' job=''
while [ $# -gt 0 ]; do
  case $1 in
    --dpi) dpi=$2; shift 2 ;;
    -o) out=$2; shift 2 ;;
    *) job=$1; shift ;;
  esac
done
fault=${ZELVO_TEST_RENDER_FAULT:-}
[ "$fault" = scale ] && dpi=96
here=$(cd "$(dirname "$0")" && pwd)
"${ZELVO_PCL_RENDERER:-$here/../../../shared/tools/render-pcl}" -r "$dpi" "$job" "$out"
if [ "$fault" = drop ]; then
  last=1
  while [ -f "${out//%d/$((last + 1))}" ]; do last=$((last + 1)); done
  rm -f "${out//%d/$last}"
fi
