# SPDX-License-Identifier: MIT
# Debian packages through CPack's DEB generator, one for each install
# component:
#   zelvo           filter   the programs, the CUPS files, zelvo(1),
#                            zelvo-render(1)
#   libstrutil1     shared   the shared library (built only here)
#   libstrutil-dev  library  headers, static library, link name,
#                            pkg-config file, CMake package, strutil(3)
# Built with `cmake --workflow --preset package`.
if(NOT ZELVO_INSTALL)
  message(FATAL_ERROR "ZELVO_PACKAGE needs the install rules (ZELVO_INSTALL)")
endif()
if(BUILD_SHARED_LIBS)
  message(FATAL_ERROR "ZELVO_PACKAGE builds the shared strutil beside the static one: "
                      "leave BUILD_SHARED_LIBS off")
endif()
# GNUInstallDirs puts the libraries in Debian's multiarch folder only for /usr.
if(NOT CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  message(FATAL_ERROR "The Debian packages install into /usr: configure with "
                      "-DCMAKE_INSTALL_PREFIX=/usr (the package preset does)")
endif()
# The zelvo package is the CUPS filter and the renderer as much as the
# program.
find_package(Cups REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(CAIRO REQUIRED cairo)
find_program(ZELVO_GZIP gzip REQUIRED)

set(ZELVO_PACKAGE_MAINTAINER "zelvo developers <maintainers@users.noreply.c-seed-189afb05.example>"
    CACHE STRING "The Maintainer of the Debian packages")

# The filter goes where the CUPS it is built against looks for filters.
find_program(ZELVO_CUPS_CONFIG cups-config)
if(ZELVO_CUPS_CONFIG)
  execute_process(COMMAND ${ZELVO_CUPS_CONFIG} --serverbin
                  OUTPUT_VARIABLE cups_serverbin OUTPUT_STRIP_TRAILING_WHITESPACE
                  COMMAND_ERROR_IS_FATAL ANY)
  file(RELATIVE_PATH cups_serverbin_relative ${CMAKE_INSTALL_PREFIX} ${cups_serverbin})
  if(NOT cups_serverbin_relative MATCHES "^\\.\\./")
    set(cups_serverbin ${cups_serverbin_relative})
  endif()
  set(ZELVO_CUPS_FILTER_DIR "${cups_serverbin}/filter" CACHE STRING
      "Where zelvo-cups is installed: CUPS's filter directory (relative paths are under the prefix)")
endif()

# Built as Debian builds its own packages: with dpkg-buildflags's flags, all
# its hardening included.
find_program(ZELVO_DPKG_BUILDFLAGS dpkg-buildflags)
if(ZELVO_DPKG_BUILDFLAGS)
  foreach(kind CPPFLAGS CFLAGS CXXFLAGS LDFLAGS)
    execute_process(
      COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
              ${ZELVO_DPKG_BUILDFLAGS} --get ${kind}
      OUTPUT_VARIABLE deb_${kind} OUTPUT_STRIP_TRAILING_WHITESPACE
      COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
  string(APPEND CMAKE_C_FLAGS " ${deb_CPPFLAGS} ${deb_CFLAGS}")
  string(APPEND CMAKE_CXX_FLAGS " ${deb_CPPFLAGS} ${deb_CXXFLAGS}")
  string(APPEND CMAKE_EXE_LINKER_FLAGS " ${deb_LDFLAGS}")
  string(APPEND CMAKE_SHARED_LINKER_FLAGS " ${deb_LDFLAGS}")
endif()

# zelvo_gzip(IN OUT): OUT is IN compressed as Debian's packages want it, at
# the highest level and with no name or time in the header.
function(zelvo_gzip in out)
  string(REGEX REPLACE "\\.gz$" "" plain ${out})
  file(RELATIVE_PATH name ${CMAKE_BINARY_DIR} ${out})
  string(MAKE_C_IDENTIFIER "gzip_${name}" target)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E copy ${in} ${plain}
    COMMAND ${ZELVO_GZIP} -9nf ${plain}
    DEPENDS ${in}
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${out})
endfunction()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zelvo)
set(CPACK_PACKAGE_VENDOR "the zelvo developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL filter shared library)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The first packaging of each upstream version.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${ZELVO_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Dependencies on the shared libraries the binaries were linked with
# (libc6, libcups2, ...), as dpkg-shlibdeps finds them; libstrutil1 gets a
# shlibs file for packages built against it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(deb_version "${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE}")

set(CPACK_DEBIAN_FILTER_PACKAGE_NAME zelvo)
set(CPACK_DEBIAN_FILTER_PACKAGE_SECTION text)
# zelvo-render reads its labels' stroke font at run time; dpkg-shlibdeps
# adds libcairo2 and the other libraries. The PCL text it prints takes
# Courier from fontconfig, URW's the printer's own, and labels in the
# printer's outline fonts take URW's Nimbus Sans; any fonts do.
set(CPACK_DEBIAN_FILTER_PACKAGE_DEPENDS "hershey-fonts-data")
set(CPACK_DEBIAN_FILTER_PACKAGE_RECOMMENDS "fonts-urw-base35")
set(CPACK_DEBIAN_FILTER_DESCRIPTION "HP-GL/2 print filter for PCL laser printers, with a CUPS filter
zelvo wraps CAD and plotter output (HP-GL/2) in the PCL 5 job header and
trailer with which an office laser printer accepts it, and writes the job
to a file, to standard output or into a spooler command such as lp.
.
With this package installed, lp prints HP-GL/2 plot files on every CUPS
queue: zelvo-cups, the same job as a CUPS filter, on the queues of zelvo's
driver (Generic PCL 5 laser printer, HP-GL/2 native), and zelvo-topdf, the
plot as PDF through zelvo-render, on all others.
.
zelvo-render draws plots and their PCL jobs as PDF, SVG, PostScript or
PNG, as a PCL 5 printer prints them.")
set(CPACK_DEBIAN_FILTER_PACKAGE_CONTROL_EXTRA
  ${CMAKE_CURRENT_LIST_DIR}/deb/zelvo/postinst
  ${CMAKE_CURRENT_LIST_DIR}/deb/zelvo/postrm)

set(CPACK_DEBIAN_SHARED_PACKAGE_NAME libstrutil1)
set(CPACK_DEBIAN_SHARED_PACKAGE_SECTION libs)
# dpkg's trigger runs ldconfig once for all libraries installed together.
set(CPACK_DEBIAN_SHARED_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/deb/libstrutil1/triggers)
set(CPACK_DEBIAN_SHARED_DESCRIPTION "string utilities for C on NUL-terminated byte strings
strutil splits and tokenizes text into arrays of strings, edits strings in
place, classifies and looks them up, and builds and formats them.
.
This package contains the shared library.")

set(CPACK_DEBIAN_LIBRARY_PACKAGE_NAME libstrutil-dev)
set(CPACK_DEBIAN_LIBRARY_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_LIBRARY_DESCRIPTION "string utilities for C on NUL-terminated byte strings (development files)
strutil splits and tokenizes text into arrays of strings, edits strings in
place, classifies and looks them up, and builds and formats them.
.
This package contains the C header strutil.h and the C++ header
strutil.hpp, the static library, the pkg-config file, the CMake package
and the manual page strutil(3).")

include(CPack)
cpack_add_component(filter)
cpack_add_component(shared)
cpack_add_component(library DEPENDS shared)

# Each package's copyright and changelog in its own documentation folder,
# and the lintian tags it is known to raise, each with its reason.
string(TIMESTAMP deb_date "%a, %d %b %Y %H:%M:%S +0000" UTC)
foreach(component IN LISTS CPACK_COMPONENTS_ALL)
  string(TOUPPER ${component} upper)
  set(deb_package ${CPACK_DEBIAN_${upper}_PACKAGE_NAME})
  set(changelog ${CMAKE_CURRENT_BINARY_DIR}/deb/${deb_package}/changelog.Debian)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/deb/changelog.in ${changelog} @ONLY)
  zelvo_gzip(${changelog} ${changelog}.gz)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/deb/copyright ${changelog}.gz
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${deb_package}
          COMPONENT ${component})
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/deb/${deb_package}/lintian-overrides
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides
          RENAME ${deb_package}
          COMPONENT ${component})
endforeach()
