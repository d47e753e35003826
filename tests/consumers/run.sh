#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the project into fresh temporary prefixes, once with the static and
# once with the shared strutil, each install component on its own and then
# the whole, each of which must install exactly the files listed here; and
# builds and runs against each whole install:
# consumer.c with cc and pkg-config, the C++ project in cmake/ and the C
# program in c_project/ through find_package. Then includes the source tree in that CMake project with
# add_subdirectory, which must bring neither tests (the CMake project checks
# for their targets) nor install rules.
#
# The project is compiled once: the shared strutil is the same build folder
# configured again, in which only strutil is compiled anew (every other
# library is static whatever BUILD_SHARED_LIBS says) and the programs are
# linked again; through add_subdirectory only the consumer and what it links
# are built.
#
#   run.sh [SOURCE_DIR]    (default: the tree this script lives in)
#
# Exits 77 (skipped) when cc, pkg-config or readelf is missing (1 with
# ZELVO_REQUIRE_ALL=1); CMAKE names the cmake to use (default: the one on PATH).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "${1:-$here/../..}" && pwd)
source "$here/../support/skip.sh"
for tool_package in cc:gcc pkg-config:pkg-config readelf:binutils; do
  tool=${tool_package%:*}
  command -v "$tool" >/dev/null || skip "$tool is not installed (Debian: ${tool_package#*:})"
done

cmake=${CMAKE:-cmake}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Quiet unless it fails: then its output is shown.
quiet() {
  local log="$work/log"
  "$@" >"$log" 2>&1 || { cat "$log" >&2; fail "$*"; }
}

# What each install component puts under the prefix, exactly; KIND is
# static or shared.
library_files() {
  local kind=$1
  printf '%s\n' include/strutil.h include/strutil.hpp lib/pkgconfig/strutil.pc \
    lib/cmake/strutil/strutil-config.cmake lib/cmake/strutil/strutil-config-version.cmake \
    lib/cmake/strutil/strutil-targets.cmake lib/cmake/strutil/strutil-targets-release.cmake \
    share/man/man3/strutil.3
  if [ "$kind" = static ]; then
    echo lib/libstrutil.a
  else
    printf '%s\n' lib/libstrutil.so lib/libstrutil.so.1 lib/libstrutil.so.1.0.0
  fi
}
# The CUPS filters and their files only where the build found libcups;
# zelvo-render where it found cairo.
filter_files() {
  local build=$1
  printf '%s\n' bin/zelvo share/man/man1/zelvo.1
  if [ -e "$build/render/zelvo-render" ]; then
    printf '%s\n' bin/zelvo-render share/man/man1/zelvo-render.1
  fi
  if [ -e "$build/cups/zelvo-cups" ]; then
    printf '%s\n' lib/cups/filter/zelvo-cups lib/cups/filter/zelvo-topdf \
      share/cups/mime/zelvo.convs share/cups/mime/zelvo.types share/ppd/zelvo/zelvo-pcl5.ppd
  fi
}

# Files and links under a prefix, one a line, sorted.
listing() {
  [ -d "$1" ] || return 0
  (cd "$1" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort)
}

# expect_files WHAT DIR: DIR holds exactly the files listed on standard input.
expect_files() {
  local what=$1 dir=$2
  LC_ALL=C sort > "$work/expected"
  listing "$dir" > "$work/got"
  diff -u "$work/expected" "$work/got" >&2 || fail "$what installs other files than expected"
}

# check_install KIND: KIND is static or shared; each configures the one
# build folder for its kind and builds what changed.
build="$work/build"
check_install() {
  local kind=$1
  local prefix="$work/prefix-$kind" shared=OFF
  [ "$kind" = static ] || shared=ON
  echo "== $kind library"

  quiet "$cmake" -S "$source_dir" -B "$build" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_LIBDIR=lib -DZELVO_BUILD_TESTS=OFF -DBUILD_SHARED_LIBS=$shared
  quiet "$cmake" --build "$build" -j2

  quiet "$cmake" --install "$build" --prefix "$work/library-$kind" --component library
  library_files "$kind" | expect_files "component library ($kind)" "$work/library-$kind"
  quiet "$cmake" --install "$build" --prefix "$work/filter-$kind" --component filter
  filter_files "$build" | expect_files "component filter ($kind)" "$work/filter-$kind"
  # Nothing outside the two components.
  quiet "$cmake" --install "$build" --prefix "$prefix"
  { library_files "$kind"; filter_files "$build"; } | expect_files "the whole install ($kind)" "$prefix"

  if [ "$kind" = shared ]; then
    readelf -d "$prefix/lib/libstrutil.so.1.0.0" | grep -q 'SONAME.*\[libstrutil\.so\.1\]' ||
      fail "libstrutil.so.1.0.0 has no soname libstrutil.so.1"
  fi

  # C99 through pkg-config, with nothing on the command line but what the
  # .pc file gives.
  local flags
  flags=$(PKG_CONFIG_PATH="$prefix/lib/pkgconfig" pkg-config --cflags --libs strutil)
  quiet cc -std=c99 -Wall -Wextra -Werror "$here/consumer.c" -o "$work/consumer-c-$kind" $flags
  if [ "$kind" = shared ]; then
    readelf -d "$work/consumer-c-$kind" | grep -q 'NEEDED.*\[libstrutil\.so\.1\]' ||
      fail "consumer.c is not linked against libstrutil.so.1"
  fi
  LD_LIBRARY_PATH="$prefix/lib" "$work/consumer-c-$kind" || fail "consumer.c against the $kind install"

  # C++ through find_package; CMake gives the program an rpath to a shared
  # library.
  quiet "$cmake" -S "$here/cmake" -B "$work/consumer-cmake-$kind" -DCMAKE_PREFIX_PATH="$prefix"
  quiet "$cmake" --build "$work/consumer-cmake-$kind" -j2
  "$work/consumer-cmake-$kind/consumer" || fail "CMake consumer against the $kind install"

  # C through find_package in a project with C++ enabled too: linked as C,
  # the program does not need the C++ runtime library.
  local c_build="$work/consumer-c-project-$kind"
  quiet "$cmake" -S "$here/c_project" -B "$c_build" -DCMAKE_PREFIX_PATH="$prefix"
  quiet "$cmake" --build "$c_build" -j2
  if readelf -d "$c_build/consumer_c" | grep -q 'NEEDED.*libstdc++'; then
    fail "the C program against the $kind install was linked as C++ (it needs libstdc++)"
  fi
  "$c_build/consumer_c" || fail "C program in a C and C++ project against the $kind install"
}

check_install static
check_install shared

echo "== add_subdirectory"
sub="$work/consumer-subdir"
quiet "$cmake" -S "$here/cmake" -B "$sub" -DSTRUTIL_SOURCE_DIR="$source_dir"
quiet "$cmake" --build "$sub" -j2 --target consumer
"$sub/consumer" || fail "CMake consumer through add_subdirectory"
quiet "$cmake" --install "$sub" --prefix "$work/prefix-subdir"
if [ -d "$work/prefix-subdir" ] && [ -n "$(ls -A "$work/prefix-subdir")" ]; then
  fail "add_subdirectory installed: $(cd "$work/prefix-subdir" && find . -type f)"
fi

echo "PASS: consumers"
