# Runs a libFuzzer target for CTest (cmake -P). The seeds are replayed first,
# then the target mutates from a fixed seed until SECONDS have passed; what
# it finds new goes to a scratch corpus that is emptied before each run, so
# that runs repeat.
#   -DFUZZER=<program> -DWORK=<scratch corpus> -DSECONDS=<n>
#   [-DGENERATED=<seed directory>] [-DCOMMITTED=<seed directory>]
#   [-DDICTIONARY=<file>]
# With -DEXPECT_FINDING=<regular expression> the program instead runs once
# on a one-byte input and must fail with output that matches: a check that
# the fuzz build makes such findings fatal.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

if(DEFINED EXPECT_FINDING)
  file(WRITE ${WORK}/input "x")
  execute_process(COMMAND ${FUZZER} ${WORK}/input RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  message("${output}")
  if(result EQUAL 0 OR NOT output MATCHES "${EXPECT_FINDING}")
    message(FATAL_ERROR "${FUZZER} went on after: ${EXPECT_FINDING}")
  endif()
  return()
endif()

set(arguments -seed=1 -max_total_time=${SECONDS} -timeout=30 -rss_limit_mb=2048)
if(DICTIONARY)
  list(APPEND arguments -dict=${DICTIONARY})
endif()
list(APPEND arguments ${WORK})
foreach(seeds ${GENERATED} ${COMMITTED})
  file(GLOB present ${seeds}/*)
  if(NOT present)
    message(FATAL_ERROR "No seeds in ${seeds}")
  endif()
  list(APPEND arguments ${seeds})
endforeach()
execute_process(COMMAND ${FUZZER} ${arguments} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${FUZZER} found a fault (exit ${result})")
endif()
