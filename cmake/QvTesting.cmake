# Test helpers shared by every library folder.
#
#   qv_add_tests(<target> SOURCES ... LIBRARIES ...)
#     One GoogleTest executable per library. Natively each case is its own
#     CTest entry; under wine each executable is one entry, because starting a
#     wine process costs seconds.
#
#   qv_add_fuzzer(<target> SOURCES ... LIBRARIES ...
#                 [GENERATED_SEEDS] [SEEDS <directory>] [DICTIONARY <file>])
#     A libFuzzer target, built only when QV_FUZZ is on. Every target has a
#     seed corpus: made by the target itself from the project's writers,
#     which the build runs once after linking it (GENERATED_SEEDS, see
#     foundation/testing/fuzz_seeds.h), or committed in a directory beside
#     it (SEEDS), or both. DICTIONARY names a libFuzzer dictionary of the
#     format's keywords. CTest replays the seeds, then mutates from a fixed
#     seed until QV_FUZZ_SECONDS have passed (cmake/QvRunFuzzer.cmake), so
#     that a run can be repeated; any finding, undefined behaviour included,
#     fails the test.

include(CTest)
include(GoogleTest)

set(QV_CMAKE_DIR ${CMAKE_CURRENT_LIST_DIR})
set(QV_FUZZ_SECONDS 10 CACHE STRING "Seconds each fuzz target runs under CTest, its seeds replayed first")

if(CMAKE_CROSSCOMPILING)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

  # Every test shares one wine prefix inside the build tree, created once.
  # A 64-bit tree runs under wine64, which Debian keeps out of PATH: its
  # "wine" starts the 32-bit loader whenever that is installed.
  set(QV_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(QV_WINEARCH win64)
    find_program(QV_WINE64 wine64 PATHS /usr/lib/wine)
    set(QV_WINE ${QV_WINE64})
  else()
    set(QV_WINEARCH win32)
    set(QV_WINE wine)
  endif()
  configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                  WORLD_READ WORLD_EXECUTE @ONLY)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh CACHE FILEPATH "" FORCE)
  add_test(NAME wine_prefix COMMAND ${CMAKE_BINARY_DIR}/wine-run.sh wineboot --init)
  set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
else()
  find_package(GTest REQUIRED)
endif()

function(qv_add_tests target)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES" ${ARGN})
  if(QV_FUZZ OR QV_HOST_TOOLS)
    return()
  endif()
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE ${ARG_LIBRARIES} GTest::gtest GTest::gmock GTest::gtest_main)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${target} COMMAND ${target})
    set_tests_properties(${target} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 600)
  else()
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60)
  endif()
endfunction()

function(qv_add_fuzzer target)
  cmake_parse_arguments(ARG "GENERATED_SEEDS" "SEEDS;DICTIONARY" "SOURCES;LIBRARIES" ${ARGN})
  if(NOT QV_FUZZ OR QV_HOST_TOOLS)
    return()
  endif()
  if(NOT ARG_GENERATED_SEEDS AND NOT ARG_SEEDS)
    message(FATAL_ERROR "The fuzz target ${target} has no seeds")
  endif()
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE ${ARG_LIBRARIES})
  target_link_options(${target} PRIVATE -fsanitize=fuzzer)
  set(arguments -DFUZZER=$<TARGET_FILE:${target}> -DWORK=${CMAKE_CURRENT_BINARY_DIR}/${target}_corpus
                -DSECONDS=${QV_FUZZ_SECONDS})
  if(ARG_GENERATED_SEEDS)
    set(generated ${CMAKE_CURRENT_BINARY_DIR}/${target}_seeds)
    target_link_libraries(${target} PRIVATE foundation_testing)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E rm -rf ${generated}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${generated}
      COMMAND ${CMAKE_COMMAND} -E env QV_FUZZ_SEEDS=${generated} ASAN_OPTIONS=detect_leaks=0
              $<TARGET_FILE:${target}>
      COMMENT "Writing the seeds of ${target}"
      VERBATIM)
    list(APPEND arguments -DGENERATED=${generated})
  endif()
  if(ARG_SEEDS)
    get_filename_component(committed ${ARG_SEEDS} ABSOLUTE)
    list(APPEND arguments -DCOMMITTED=${committed})
  endif()
  if(ARG_DICTIONARY)
    get_filename_component(dictionary ${ARG_DICTIONARY} ABSOLUTE)
    list(APPEND arguments -DDICTIONARY=${dictionary})
  endif()
  add_test(NAME ${target} COMMAND ${CMAKE_COMMAND} ${arguments} -P ${QV_CMAKE_DIR}/QvRunFuzzer.cmake)
  set_tests_properties(${target} PROPERTIES LABELS fuzz TIMEOUT 180)
endfunction()
