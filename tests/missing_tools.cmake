# SPDX-License-Identifier: MIT
# At configure, one line for each tool, package or facility that tests need
# and this machine lacks, with the tests that will skip for it, so that the
# skips in ctest's summary are explained where the build starts. Included
# once every test is declared: a test that this build does not have (the
# CUPS tests without libcups, say) is not named.

# zelvo_note_missing(FOUND WHY [TESTS test...] [CASES program:Suite.Case...]):
# where FOUND is false, says "WHY: ... will skip" with those of the tests
# that exist; GoogleTest cases are found by ctest only at build time, so
# each is named with the test program that holds it.
function(zelvo_note_missing found why)
  if(found)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "TESTS;CASES" ${ARGN})
  set(skipping "")
  foreach(test IN LISTS ARG_TESTS)
    if(TEST ${test})
      list(APPEND skipping ${test})
    endif()
  endforeach()
  foreach(case IN LISTS ARG_CASES)
    string(REPLACE ":" ";" program_and_case ${case})
    list(GET program_and_case 0 program)
    list(GET program_and_case 1 name)
    if(TARGET ${program})
      list(APPEND skipping ${name})
    endif()
  endforeach()
  if(skipping)
    list(JOIN skipping ", " names)
    message(STATUS "${why}: ${names} will skip")
  endif()
endfunction()

# zelvo_have_programs(VAR program...): VAR is true where every program is
# where the tests look: on the PATH, or in sbin, which a plain user's PATH
# may lack. Looked for afresh at each configure, never cached, so that a
# tool installed or removed since shows.
function(zelvo_have_programs var)
  set(${var} ON PARENT_SCOPE)
  foreach(program IN LISTS ARGN)
    unset(found)
    find_program(found ${program} NO_CACHE NO_DEFAULT_PATH PATHS ENV PATH /usr/sbin /sbin)
    if(NOT found)
      set(${var} OFF PARENT_SCOPE)
    endif()
  endforeach()
endfunction()

# Each Debian package that the tests' tools come in, by the tests that use
# it; the tests that check the Debian packages, all of which skip when the
# first cannot build them.
set(zelvo_package_tests
    packages_build packages_lintian packages_contents packages_install packages_link)

zelvo_have_programs(zelvo_mandoc mandoc)
zelvo_note_missing("${zelvo_mandoc}" "mandoc missing (Debian: mandoc)"
                   TESTS manpages_lint manual_messages)

execute_process(COMMAND clang-format --version OUTPUT_VARIABLE zelvo_clang_format
                ERROR_QUIET RESULT_VARIABLE zelvo_clang_format_result)
string(REGEX MATCH "version 14\\." zelvo_clang_format_14 "${zelvo_clang_format}")
zelvo_note_missing("${zelvo_clang_format_14}" "clang-format 14 missing (Debian 12: clang-format)"
                   TESTS format)

# CUPS: the scheduler and its clients, cupsfilter, and the filters and
# drivers that the tests' queues use.
zelvo_have_programs(zelvo_cups_scheduler cupsd lp lpadmin lpstat)
zelvo_note_missing("${zelvo_cups_scheduler}"
                   "the CUPS scheduler or its clients missing (Debian: cups, cups-client)"
                   TESTS cups_e2e cups_lp_e2e cups_samples_e2e cups_queues_e2e)
zelvo_have_programs(zelvo_cupsfilter cupsfilter)
zelvo_note_missing("${zelvo_cupsfilter}" "cupsfilter missing (Debian: cups)"
                   TESTS cups_filter_e2e cups_samples_e2e cups_typing_e2e)
if(EXISTS /usr/lib/cups/filter/gziptoany)
  set(zelvo_gziptoany ON)
endif()
zelvo_note_missing("${zelvo_gziptoany}" "CUPS's gziptoany missing (Debian: cups-core-drivers)"
                   TESTS cups_e2e)
if(EXISTS /usr/lib/cups/filter/rastertohp)
  set(zelvo_rastertohp ON)
endif()
zelvo_note_missing("${zelvo_rastertohp}" "CUPS's rastertohp missing (Debian: cups)"
                   TESTS cups_lp_e2e cups_samples_e2e)
if(EXISTS /usr/share/cups/drv/sample.drv)
  set(zelvo_sample_drivers ON)
endif()
zelvo_note_missing("${zelvo_sample_drivers}" "CUPS's sample.drv missing (Debian: cups-common)"
                   TESTS cups_filter_e2e)
# zelvo-render's documents rendered and read back.
zelvo_have_programs(zelvo_document_readers gs pdftoppm)
zelvo_note_missing("${zelvo_document_readers}"
  "gs or pdftoppm missing (Debian: ghostscript, poppler-utils)"
  CASES render_documents_test:ZelvoRenderDocuments.PagesInkAsThePngPage)
zelvo_have_programs(zelvo_xmllint xmllint)
zelvo_note_missing("${zelvo_xmllint}" "xmllint missing (Debian: libxml2-utils)"
  CASES document_sinks_test:SvgSink.EachPageWellFormedWithGlyphsDefinedOnce)
zelvo_have_programs(zelvo_queue_tools lpinfo lpoptions cancel gs pdftoppm)
zelvo_note_missing("${zelvo_queue_tools}"
  "lpinfo, lpoptions, cancel, gs or pdftoppm missing (Debian: cups-client, ghostscript, poppler-utils)"
  TESTS cups_queues_e2e)

# The Debian packages: built with libcups and cairo, by dpkg-dev's and
# file's tools (CPack looks at the binaries with file), checked by lintian
# and installed by root into a scratch root.
if(TARGET zelvo-cups)
  set(zelvo_cups_built ON)
endif()
zelvo_note_missing("${zelvo_cups_built}" "libcups missing (Debian: libcups2-dev)"
                   TESTS ${zelvo_package_tests})
if(TARGET zelvo-render)
  set(zelvo_render_built ON)
endif()
zelvo_note_missing("${zelvo_render_built}" "cairo missing (Debian: libcairo2-dev)"
                   TESTS ${zelvo_package_tests})
zelvo_have_programs(zelvo_dpkg_dev dpkg-shlibdeps dpkg-architecture)
zelvo_note_missing("${zelvo_dpkg_dev}" "dpkg-shlibdeps or dpkg-architecture missing (Debian: dpkg-dev)"
                   TESTS ${zelvo_package_tests})
zelvo_have_programs(zelvo_file file)
zelvo_note_missing("${zelvo_file}" "file missing (Debian: file)" TESTS ${zelvo_package_tests})
zelvo_have_programs(zelvo_lintian lintian)
zelvo_note_missing("${zelvo_lintian}" "lintian missing (Debian: lintian)" TESTS packages_lintian)
execute_process(COMMAND id -u OUTPUT_VARIABLE zelvo_uid OUTPUT_STRIP_TRAILING_WHITESPACE)
if(zelvo_uid STREQUAL "0")
  set(zelvo_root ON)
endif()
zelvo_note_missing("${zelvo_root}" "not root (dpkg installs into a scratch root with chroot)"
                   TESTS packages_install)

# Linking against the installed library, and the packaged one.
zelvo_have_programs(zelvo_pkg_config pkg-config)
zelvo_note_missing("${zelvo_pkg_config}" "pkg-config missing (Debian: pkg-config)"
                   TESTS consumers ${zelvo_package_tests})
zelvo_have_programs(zelvo_cc_readelf cc readelf)
zelvo_note_missing("${zelvo_cc_readelf}" "cc or readelf missing (Debian: gcc, binutils)"
                   TESTS consumers ${zelvo_package_tests})

# Plots: hp2xx's samples, the producers that make plots afresh, netpbm, and
# the PCL interpreter that renders what a printer prints (the scripts also
# find it beside the checkout, in ../shared/tools).
if(EXISTS /usr/share/doc/hp2xx/hp-tests)
  set(zelvo_samples ON)
endif()
zelvo_note_missing("${zelvo_samples}" "hp2xx's sample plots missing (Debian: hp2xx)"
  TESTS cups_samples_e2e ink_agreement ink_agreement_selfcheck_none ink_agreement_selfcheck_drop
        ink_agreement_selfcheck_scale real_producers
  CASES render_documents_test:ZelvoRenderDocuments.PagesInkAsThePngPage
        real_plots_test:RealPlots.HoldKeepsSettingsAcrossThePlotsOwnIN
        real_plots_test:RealPlots.FitsASamplePlotToItsOwnSize
        real_plots_test:RealPlots.FitPrintsEverySamplePlot)
zelvo_have_programs(zelvo_producers gnuplot fig2dev pstoedit gs graph plot pic2plot tek2plot ode
                    hp2xx)
zelvo_note_missing("${zelvo_producers}"
  "plot producers missing (Debian: gnuplot-nox, fig2dev, pstoedit, ghostscript, plotutils, hp2xx)"
  TESTS ink_agreement ink_agreement_selfcheck_none ink_agreement_selfcheck_drop
        ink_agreement_selfcheck_scale real_producers)
zelvo_have_programs(zelvo_netpbm pamthreshold)
zelvo_note_missing("${zelvo_netpbm}" "netpbm missing (Debian: netpbm)" TESTS real_producers)
zelvo_note_missing("$ENV{ZELVO_PCL_RENDERER}" "ZELVO_PCL_RENDERER (a PCL 5 renderer) unset"
                   CASES real_plots_test:RealPlots.*)
if(NOT "$ENV{ZELVO_PCL_RENDERER}" STREQUAL "" OR EXISTS ${PROJECT_SOURCE_DIR}/../shared/tools/render-pcl)
  set(zelvo_pcl_renderer ON)
endif()
zelvo_note_missing("${zelvo_pcl_renderer}"
  "no PCL 5 renderer (ZELVO_PCL_RENDERER unset, none in ../shared/tools)"
  TESTS cups_queues_e2e ink_agreement ink_agreement_selfcheck_none ink_agreement_selfcheck_drop
        ink_agreement_selfcheck_scale real_producers)

# The stroke font of labels.
if(EXISTS /usr/share/hershey-fonts/rowmans.jhf)
  set(zelvo_hershey ON)
endif()
zelvo_note_missing("${zelvo_hershey}" "the Hershey fonts missing (Debian: hershey-fonts-data)"
  CASES stroke_font_test:LoadStrokeFont.DebianSimplexRoman
        stick_glyph_place_test:StickGlyphPlace.GlyphsOfAnotherDesignHaveEveryPointMoved
        stick_glyph_sums_test:StickGlyphSums.EveryGlyphAsRecorded)

# What the kernel and the sandbox allow: zelvo run where /proc is empty,
# made as the test makes it, and another process's system call as /proc
# shows it.
if(EXISTS /usr/bin/unshare)
  execute_process(COMMAND /usr/bin/unshare -m sh -c
                          "mount -t tmpfs none /proc && test ! -e /proc/self"
                  RESULT_VARIABLE zelvo_unshare_result ERROR_VARIABLE zelvo_unshare_error
                  OUTPUT_QUIET)
  string(REGEX REPLACE "\n.*" "" zelvo_unshare_error "${zelvo_unshare_error}")
  if(zelvo_unshare_result EQUAL 0)
    set(zelvo_empty_proc ON)
  elseif(zelvo_unshare_error STREQUAL "")
    set(zelvo_unshare_error "exit status ${zelvo_unshare_result}")
  endif()
  string(CONCAT zelvo_empty_proc_why "no mount namespace with an empty /proc here (`unshare -m` "
                "then `mount -t tmpfs none /proc`: ${zelvo_unshare_error})")
else()
  set(zelvo_empty_proc_why "unshare missing (Debian: util-linux)")
endif()
zelvo_note_missing("${zelvo_empty_proc}" "${zelvo_empty_proc_why}"
                   CASES filter_safety_test:ZelvoSafety.UnreadJobIsAFailureWithoutProc)
if(EXISTS /proc/self/syscall)
  set(zelvo_proc_syscall ON)
endif()
zelvo_note_missing("${zelvo_proc_syscall}" "no /proc/PID/syscall (the kernel shows no system calls)"
  CASES filter_interrupt_test:ZelvoInterrupt.NoStageSpoolsAPartOfTheJob
        filter_interrupt_test:ZelvoInterrupt.JobTheCommandHadWholeIsReportedByItsStatus)

if(TARGET strutil_bench)
  set(zelvo_bench_built ON)
endif()
zelvo_note_missing("${zelvo_bench_built}" "Google Benchmark missing (Debian: libbenchmark-dev)"
                   TESTS bench_smoke)
