#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian packages zelvo, libstrutil1 and libstrutil-dev with the
# package preset and checks them, one step for each CTest test:
#
#   check.sh build    DIR SOURCE_DIR   configure, build and pack under DIR
#   check.sh lintian  DIR              no lintian error or warning
#   check.sh contents DIR VERSION      files, modes and control fields
#   check.sh install  DIR              dpkg installs, removes and purges
#                                      them in a scratch root
#   check.sh link     DIR SOURCE_DIR   C programs build against the
#                                      unpacked libstrutil-dev
#
# DIR/debs holds the packages; the build step replaces DIR/build, DIR/cpack
# and DIR/debs and nothing else. Exits 77 (skipped) when a tool a step needs
# is missing; CMAKE and CPACK name the cmake and cpack to use.
set -euo pipefail

step=$1
dir=$2
debs=$dir/debs
# dpkg's helpers live in sbin, which a plain user's PATH may lack.
export PATH=$PATH:/usr/sbin:/sbin
source "$(dirname "$0")/../support/skip.sh"
fail() { echo "FAIL: $*" >&2; exit 1; }
# need PACKAGE TOOL...: the tools, which the Debian package PACKAGE installs.
need() {
  local package=$1 tool
  shift
  for tool in "$@"; do
    command -v "$tool" >/dev/null || skip "$tool is not installed (Debian: $package)"
  done
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Quiet unless it fails: then its output is shown.
quiet() {
  "$@" >"$work/log" 2>&1 || { cat "$work/log" >&2; fail "$*"; }
}

packages=(zelvo libstrutil1 libstrutil-dev)
# The file of package $1 in $debs; nothing where there is none.
deb() {
  local found=("$debs/$1"_*.deb)
  [ ! -f "${found[0]}" ] || echo "${found[0]}"
}

# Every step after the build starts by making sure the build made them.
if [ "$step" != build ]; then
  for package in "${packages[@]}"; do
    [ -n "$(deb "$package")" ] || skip "no package $package in $debs (the packages_build test did not make it)"
  done
fi

case $step in
build)
  source_dir=$3
  need dpkg dpkg-deb
  need dpkg-dev dpkg-shlibdeps dpkg-architecture
  need file file
  need binutils readelf
  need pkg-config pkg-config
  [ -f /usr/include/cups/cups.h ] || skip "the CUPS headers (libcups2-dev) are not installed"
  pkg-config --exists cairo || skip "cairo's headers (libcairo2-dev) are not installed"
  rm -rf "$dir/build" "$dir/cpack" "$debs"
  # The preset's options, in a build folder of this test's own.
  (cd "$source_dir" && quiet "${CMAKE:-cmake}" --preset package -B "$dir/build")
  quiet "${CMAKE:-cmake}" --build "$dir/build" -j2
  quiet "${CPACK:-cpack}" --config "$dir/build/CPackConfig.cmake" -B "$dir/cpack"
  mkdir "$debs"
  mv "$dir"/cpack/*.deb "$debs/"
  ls "$debs"
  ;;

lintian)
  need lintian lintian
  files=()
  for package in "${packages[@]}"; do files+=("$(deb "$package")"); done
  # Every tag shown, overridden ones with their reasons; errors and
  # warnings that no override explains fail.
  lintian --display-info --show-overrides "${files[@]}" 2>&1 | grep -v '^running with root privileges' || true
  lintian --fail-on error,warning "${files[@]}" >/dev/null 2>&1 ||
    fail "lintian reports errors or warnings"
  echo "PASS: lintian"
  ;;

contents)
  version=$3
  need dpkg dpkg-deb
  need dpkg-dev dpkg-architecture
  arch=$(dpkg-architecture -qDEB_HOST_ARCH)
  ma=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
  debian_version=$version-1

  expect_zelvo() {
    cat <<EOF
-rwxr-xr-x root/root ./usr/bin/zelvo
-rwxr-xr-x root/root ./usr/bin/zelvo-render
-rwxr-xr-x root/root ./usr/lib/cups/filter/zelvo-cups
-rwxr-xr-x root/root ./usr/lib/cups/filter/zelvo-topdf
-rw-r--r-- root/root ./usr/share/cups/mime/zelvo.convs
-rw-r--r-- root/root ./usr/share/cups/mime/zelvo.types
-rw-r--r-- root/root ./usr/share/doc/zelvo/changelog.Debian.gz
-rw-r--r-- root/root ./usr/share/doc/zelvo/copyright
-rw-r--r-- root/root ./usr/share/lintian/overrides/zelvo
-rw-r--r-- root/root ./usr/share/man/man1/zelvo-render.1.gz
-rw-r--r-- root/root ./usr/share/man/man1/zelvo.1.gz
-rw-r--r-- root/root ./usr/share/ppd/zelvo/zelvo-pcl5.ppd
EOF
  }
  expect_libstrutil1() {
    cat <<EOF
lrwxrwxrwx root/root ./usr/lib/$ma/libstrutil.so.1 -> libstrutil.so.$version
-rw-r--r-- root/root ./usr/lib/$ma/libstrutil.so.$version
-rw-r--r-- root/root ./usr/share/doc/libstrutil1/changelog.Debian.gz
-rw-r--r-- root/root ./usr/share/doc/libstrutil1/copyright
-rw-r--r-- root/root ./usr/share/lintian/overrides/libstrutil1
EOF
  }
  expect_libstrutil-dev() {
    cat <<EOF
-rw-r--r-- root/root ./usr/include/strutil.h
-rw-r--r-- root/root ./usr/include/strutil.hpp
-rw-r--r-- root/root ./usr/lib/$ma/cmake/strutil/strutil-config-version.cmake
-rw-r--r-- root/root ./usr/lib/$ma/cmake/strutil/strutil-config.cmake
-rw-r--r-- root/root ./usr/lib/$ma/cmake/strutil/strutil-targets-relwithdebinfo.cmake
-rw-r--r-- root/root ./usr/lib/$ma/cmake/strutil/strutil-targets.cmake
-rw-r--r-- root/root ./usr/lib/$ma/libstrutil.a
lrwxrwxrwx root/root ./usr/lib/$ma/libstrutil.so -> libstrutil.so.1
-rw-r--r-- root/root ./usr/lib/$ma/pkgconfig/strutil.pc
-rw-r--r-- root/root ./usr/share/doc/libstrutil-dev/changelog.Debian.gz
-rw-r--r-- root/root ./usr/share/doc/libstrutil-dev/copyright
-rw-r--r-- root/root ./usr/share/lintian/overrides/libstrutil-dev
-rw-r--r-- root/root ./usr/share/man/man3/strutil.3.gz
EOF
  }

  for package in "${packages[@]}"; do
    file=$(deb "$package")
    [ "$(basename "$file")" = "${package}_${debian_version}_${arch}.deb" ] ||
      fail "$(basename "$file") is not named ${package}_${debian_version}_${arch}.deb"
    # Files and links with their modes and owners; folders only as
    # root-owned and 755.
    dpkg-deb -c "$file" | awk '$1 !~ /^d/ { $3 = $4 = $5 = ""; print }' |
      sed 's/   */ /' | LC_ALL=C sort > "$work/$package.got"
    "expect_$package" | LC_ALL=C sort > "$work/$package.expected"
    diff -u "$work/$package.expected" "$work/$package.got" >&2 ||
      fail "$package holds other files than expected"
    if dpkg-deb -c "$file" | awk '$1 ~ /^d/ && ($1 != "drwxr-xr-x" || $2 != "root/root")' | grep .; then
      fail "$package has folders that are not root's and mode 755"
    fi

    [ "$(dpkg-deb -f "$file" Package)" = "$package" ] || fail "$package: wrong Package field"
    [ "$(dpkg-deb -f "$file" Version)" = "$debian_version" ] || fail "$package: Version is not $debian_version"
    [ "$(dpkg-deb -f "$file" Architecture)" = "$arch" ] || fail "$package: Architecture is not $arch"
    [ -n "$(dpkg-deb -f "$file" Maintainer)" ] || fail "$package: no Maintainer"
  done

  depends() { dpkg-deb -f "$(deb "$1")" Depends | tr ',' '\n' | sed 's/^ *//'; }
  depends zelvo | grep -q '^libcups2 (>= ' || fail "zelvo does not depend on libcups2"
  depends zelvo | grep -q '^libcairo2 (>= ' || fail "zelvo does not depend on libcairo2"
  depends zelvo | grep -qx 'hershey-fonts-data' || fail "zelvo does not depend on hershey-fonts-data"
  if depends zelvo | grep -q '^libstrutil'; then
    fail "zelvo depends on libstrutil (it links the static library)"
  fi
  depends libstrutil1 | grep -q '^libc6 (>= ' || fail "libstrutil1 does not depend on libc6"
  depends libstrutil-dev | grep -qx "libstrutil1 (= $debian_version)" ||
    fail "libstrutil-dev does not depend on libstrutil1 (= $debian_version)"

  dpkg-deb -e "$(deb zelvo)" "$work/zelvo.control"
  for script in postinst postrm; do
    [ -x "$work/zelvo.control/$script" ] || fail "zelvo has no executable $script"
  done
  dpkg-deb -e "$(deb libstrutil1)" "$work/libstrutil1.control"
  grep -qx "libstrutil 1 libstrutil1 (>= $debian_version)" "$work/libstrutil1.control/shlibs" ||
    fail "libstrutil1's shlibs file does not name libstrutil.so.1"
  grep -qx 'activate-noawait ldconfig' "$work/libstrutil1.control/triggers" ||
    fail "libstrutil1 does not trigger ldconfig"
  echo "PASS: contents"
  ;;

install)
  need dpkg dpkg dpkg-query
  need libc-bin ldd
  # dpkg runs the maintainer scripts chrooted into the scratch root.
  [ "$(id -u)" = 0 ] || skip "installing into a scratch root needs root (dpkg chroots for the maintainer scripts)"
  root=$work/root
  admin=$root/var/lib/dpkg
  mkdir -p "$admin/info" "$admin/updates" "$admin/triggers" "$root/usr/sbin" "$root/bin"
  # The packages' dependencies outside this set count as installed.
  for package in "${packages[@]}"; do
    dpkg-deb -f "$(deb "$package")" Depends | tr ',' '\n' | sed 's/^ *//; s/[ :(].*//'
  done | LC_ALL=C sort -u | grep -vx -e zelvo -e libstrutil1 -e libstrutil-dev |
    while read -r dependency; do
      dpkg-query -s "$dependency"
      echo
    done > "$admin/status"
  # A shell for the scripts, /dev/null, and stand-ins for ldconfig and invoke-rc.d,
  # which log their calls; invoke-rc.d answers `status` as a CUPS that is
  # running, stopped or absent, as the file /cups-state says.
  sh_binary=$(readlink -f /bin/sh)
  for file in "$sh_binary" $(ldd "$sh_binary" | grep -o '/[^ ]*'); do
    mkdir -p "$root$(dirname "$file")"
    cp "$file" "$root$file"
  done
  [ "$sh_binary" = /bin/sh ] || ln -s "$sh_binary" "$root/bin/sh"
  mkdir "$root/dev"
  mknod -m 666 "$root/dev/null" c 1 3
  cat > "$root/usr/sbin/ldconfig" <<'EOF'
#!/bin/sh
echo "ldconfig $*" >> /calls.log
EOF
  cat > "$root/usr/sbin/invoke-rc.d" <<'EOF'
#!/bin/sh
echo "invoke-rc.d $*" >> /calls.log
read -r state < /cups-state
case "$*" in
*" status") case $state in running) exit 0 ;; stopped) exit 3 ;; *) exit 100 ;; esac ;;
*) [ "$state" = running ] || exit 100 ;;
esac
EOF
  chmod 755 "$root/usr/sbin/ldconfig" "$root/usr/sbin/invoke-rc.d"
  touch "$root/calls.log" "$root/cups-state"
  # Everything but dpkg's own records must be as it was after the purge.
  listing() {
    (cd "$root" && find . -path ./var/lib/dpkg -prune -o -path ./calls.log -prune -o \
      -path ./cups-state -prune -o -print | LC_ALL=C sort)
  }
  listing > "$work/before"

  # run_dpkg CUPS_STATE EXPECTED_CALLS DPKG_ARGUMENTS...: EXPECTED_CALLS are
  # the invoke-rc.d calls that the maintainer scripts must make, one a line.
  run_dpkg() {
    local state=$1 expected=$2
    shift 2
    echo "$state" > "$root/cups-state"
    : > "$root/calls.log"
    PATH=/usr/sbin:/usr/bin:/sbin:/bin quiet dpkg --root="$root" "$@"
    if [ "$(grep '^invoke-rc.d' "$root/calls.log" || true)" != "$expected" ]; then
      echo "calls:" >&2
      cat "$root/calls.log" >&2
      fail "dpkg $* with CUPS $state: expected the calls \"$expected\""
    fi
  }
  status_call='invoke-rc.d --quiet cups status'
  reload_call='invoke-rc.d --quiet cups force-reload'

  run_dpkg running "$status_call"$'\n'"$reload_call" \
    --install "$(deb libstrutil1)" "$(deb libstrutil-dev)" "$(deb zelvo)"
  for package in "${packages[@]}"; do
    [ "$(dpkg-query --root="$root" -W -f='${Status}' "$package")" = "install ok installed" ] ||
      fail "$package is not installed"
  done
  [ "$(stat -c %a "$root/usr/lib/cups/filter/zelvo-cups")" = 755 ] ||
    fail "zelvo-cups is not installed mode 755"
  "$root/usr/bin/zelvo" -h >/dev/null || fail "the installed zelvo does not run"

  run_dpkg stopped "$status_call" --remove zelvo
  run_dpkg absent "$status_call" --install "$(deb zelvo)"
  run_dpkg running "$status_call"$'\n'"$reload_call" --purge zelvo
  run_dpkg running "" --purge libstrutil-dev libstrutil1

  listing > "$work/after"
  diff -u "$work/before" "$work/after" >&2 || fail "the purge left files behind"
  for package in "${packages[@]}"; do
    [ -z "$(dpkg-query --root="$root" -W -f='${Status}' "$package" 2>/dev/null)" ] ||
      fail "dpkg still knows $package after the purge"
  done
  if ls "$admin/info" | grep -E '^(zelvo|libstrutil)'; then
    fail "dpkg's records of the packages are left after the purge"
  fi
  echo "PASS: install, remove, purge"
  ;;

link)
  source_dir=$3
  need dpkg dpkg-deb
  need dpkg-dev dpkg-architecture
  need gcc cc
  need pkg-config pkg-config
  need binutils readelf
  ma=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
  unpacked=$work/unpacked
  dpkg-deb -x "$(deb libstrutil1)" "$unpacked"
  dpkg-deb -x "$(deb libstrutil-dev)" "$unpacked"
  libdir=$unpacked/usr/lib/$ma
  # Only the unpacked .pc file: not one that the system may have.
  export PKG_CONFIG_LIBDIR=$libdir/pkgconfig
  consumer=$source_dir/tests/consumers/consumer.c

  # Shared, as -lstrutil links it with the link name from libstrutil-dev.
  quiet cc -std=c99 -Wall -Wextra -Werror "$consumer" -o "$work/consumer-shared" \
    $(pkg-config --cflags --libs strutil)
  readelf -d "$work/consumer-shared" | grep -q 'NEEDED.*\[libstrutil\.so\.1\]' ||
    fail "consumer.c is not linked against libstrutil.so.1"
  LD_LIBRARY_PATH=$libdir "$work/consumer-shared" || fail "consumer.c against the unpacked shared library"

  # Static, the archive named for -lstrutil, with what `pkg-config --static`
  # adds.
  quiet cc -std=c99 -Wall -Wextra -Werror "$consumer" -o "$work/consumer-static" \
    $(pkg-config --cflags --static --libs strutil | sed 's/-lstrutil/-l:libstrutil.a/')
  if readelf -d "$work/consumer-static" | grep -q 'NEEDED.*libstrutil'; then
    fail "consumer.c linked statically needs libstrutil"
  fi
  "$work/consumer-static" || fail "consumer.c against the unpacked static library"

  # The CMake package, both of its targets, from a C program in a C and
  # C++ project.
  for target in strutil::strutil strutil::strutil_static; do
    build=$work/c-project-${target#strutil::}
    quiet "${CMAKE:-cmake}" -S "$source_dir/tests/consumers/c_project" -B "$build" \
      -DCMAKE_PREFIX_PATH="$unpacked/usr" -DSTRUTIL_TARGET="$target"
    quiet "${CMAKE:-cmake}" --build "$build" -j2
    if readelf -d "$build/consumer_c" | grep -q 'NEEDED.*libstdc++'; then
      fail "the C program with $target was linked as C++ (it needs libstdc++)"
    fi
    LD_LIBRARY_PATH=$libdir "$build/consumer_c" || fail "the C program with $target"
  done
  echo "PASS: link"
  ;;

*)
  fail "unknown step $step"
  ;;
esac
