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
# them itself.
get_target_property(strutil_type strutil TYPE)
if(strutil_type STREQUAL "STATIC_LIBRARY" AND STRUTIL_HAVE_LIBM)
  set(pc_libs_deps " -lm")
else()
  set(pc_libs_deps "")
endif()
pc_path(pc_libdir "${CMAKE_INSTALL_LIBDIR}")
pc_path(pc_includedir "${CMAKE_INSTALL_INCLUDEDIR}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/strutil.pc.in
  ${CMAKE_CURRENT_BINARY_DIR}/strutil.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/strutil.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
  COMPONENT library)

install(FILES ${PROJECT_SOURCE_DIR}/docs/zelvo.1
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT filter)
install(FILES ${PROJECT_SOURCE_DIR}/docs/strutil.3
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man3 COMPONENT library)
