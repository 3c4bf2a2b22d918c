# Test helpers shared by every library folder.
#
#   qv_add_tests(<target> SOURCES ... LIBRARIES ...)
#     One GoogleTest executable per library. Natively each case is its own
#     CTest entry; under wine each executable is one entry, because starting a
#     wine process costs seconds.
#
#   qv_add_fuzzer(<target> SOURCES ... LIBRARIES ...)
#     A libFuzzer target, built only when QV_FUZZ is on, run briefly by CTest
#     from a fixed seed, so that a run can be repeated.

include(CTest)
include(GoogleTest)

if(CMAKE_CROSSCOMPILING)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

  # Every test shares one wine prefix inside the build tree, created once.
  set(QV_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
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
  if(QV_FUZZ)
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
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES" ${ARGN})
  if(NOT QV_FUZZ)
    return()
  endif()
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE ${ARG_LIBRARIES})
  target_link_options(${target} PRIVATE -fsanitize=fuzzer)
  add_test(NAME ${target} COMMAND ${target} -seed=1 -max_total_time=15 -rss_limit_mb=2048)
  set_tests_properties(${target} PROPERTIES LABELS fuzz TIMEOUT 120)
endfunction()
