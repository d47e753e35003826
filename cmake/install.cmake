# SPDX-License-Identifier: MIT
# Install tree beyond the targets themselves: the CMake package and the
# pkg-config file for strutil, and the manual pages. Two components:
# `library` (strutil with its headers, packages and strutil(3)) and `filter`
# (the programs, the CUPS files and zelvo(1)).
include(CMakePackageConfigHelpers)

set(strutil_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/strutil)

install(EXPORT strutil-targets
  NAMESPACE strutil::
  FILE strutil-targets.cmake
  DESTINATION ${strutil_cmake_dir}
  COMPONENT library)

configure_package_config_file(
  ${CMAKE_CURRENT_LIST_DIR}/strutil-config.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/strutil-config.cmake
  INSTALL_DESTINATION ${strutil_cmake_dir})
write_basic_package_version_file(
  ${CMAKE_CURRENT_BINARY_DIR}/strutil-config-version.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES
  ${CMAKE_CURRENT_BINARY_DIR}/strutil-config.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/strutil-config-version.cmake
  DESTINATION ${strutil_cmake_dir}
  COMPONENT library)

# The .pc file finds the prefix from its own place, so the tree can be
# installed with --prefix (or moved) after configuring.
function(pc_path out dir)
  if(IS_ABSOLUTE "${dir}")
    set(${out} "${dir}" PARENT_SCOPE)
  else()
    set(${out} "\${prefix}/${dir}" PARENT_SCOPE)
  endif()
endfunction()
if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}")
  set(pc_prefix "${CMAKE_INSTALL_PREFIX}")
else()
  file(RELATIVE_PATH pc_up "/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/")
  string(REGEX REPLACE "/$" "" pc_up "${pc_up}")
  set(pc_prefix "\${pcfiledir}/${pc_up}")
endif()
# A static library's own dependencies go on Libs: a plain
# `pkg-config --libs` must be enough to link it. The shared library names
# them itself; where it is installed beside the static one, -lstrutil links
# the shared one, and `pkg-config --static` adds what the static one needs.
get_target_property(strutil_type strutil TYPE)
set(pc_libs_deps "")
set(pc_libs_private "")
if(STRUTIL_HAVE_LIBM AND ZELVO_PACKAGE)
  set(pc_libs_private " -lm")
elseif(STRUTIL_HAVE_LIBM AND strutil_type STREQUAL "STATIC_LIBRARY")
  set(pc_libs_deps " -lm")
endif()
pc_path(pc_libdir "${CMAKE_INSTALL_LIBDIR}")
pc_path(pc_includedir "${CMAKE_INSTALL_INCLUDEDIR}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/strutil.pc.in
  ${CMAKE_CURRENT_BINARY_DIR}/strutil.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/strutil.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
  COMPONENT library)

# zelvo_install_man(PAGE COMPONENT): a manual page into its section's
# folder; compressed for the Debian packages, where pages must be.
function(zelvo_install_man page component)
  get_filename_component(name ${page} NAME)
  string(REGEX REPLACE ".*\\." "" section ${name})
  if(ZELVO_PACKAGE)
    zelvo_gzip(${page} ${CMAKE_CURRENT_BINARY_DIR}/man/${name}.gz)
    set(page ${CMAKE_CURRENT_BINARY_DIR}/man/${name}.gz)
  endif()
  install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section}
          COMPONENT ${component})
endfunction()
zelvo_install_man(${PROJECT_SOURCE_DIR}/docs/zelvo.1 filter)
if(TARGET zelvo-render)
  zelvo_install_man(${PROJECT_SOURCE_DIR}/docs/zelvo-render.1 filter)
endif()
zelvo_install_man(${PROJECT_SOURCE_DIR}/docs/strutil.3 library)
