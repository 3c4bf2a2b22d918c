# Tests of the description tool qv_describe (TOOL).
#
#   cmake -DTOOL=<qv_describe> -DDATA=<data file> -DEXPECTED=<committed dump> -DOUTPUT=<dump> -P describe_test.cmake
#     The dump of the data file must equal the committed dump byte for byte.
#   cmake -DTOOL=<qv_describe> -DSOURCE=<malformed description> -DOUTPUT=<data file> -DLINE=<n> -P describe_test.cmake
#     Compiling the description must fail, name the source and line n in its
#     message, and leave no data file behind, not even one that was there
#     before.
cmake_minimum_required(VERSION 3.25)

if(DEFINED DATA)
  execute_process(COMMAND ${TOOL} dump ${DATA} RESULT_VARIABLE status OUTPUT_FILE ${OUTPUT} ERROR_VARIABLE errors)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "qv_describe dump failed (${status}): ${errors}")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT} ${EXPECTED} RESULT_VARIABLE differs)
  if(differs)
    execute_process(COMMAND diff -u ${EXPECTED} ${OUTPUT})
    message(FATAL_ERROR "The dump ${OUTPUT} differs from the committed ${EXPECTED}")
  endif()
  return()
endif()

file(WRITE ${OUTPUT} "data of an earlier run")
execute_process(COMMAND ${TOOL} compile ${SOURCE} ${OUTPUT} RESULT_VARIABLE status ERROR_VARIABLE errors)
if(status EQUAL 0)
  message(FATAL_ERROR "qv_describe compiled the malformed ${SOURCE}")
endif()
get_filename_component(name ${SOURCE} NAME)
string(REPLACE "." "\\." name ${name})
if(NOT errors MATCHES "^[^\n]*${name}:${LINE}: [^\n]+\n$")
  message(FATAL_ERROR "Expected one message naming line ${LINE} of ${SOURCE}, got:\n${errors}")
endif()
if(EXISTS ${OUTPUT} OR EXISTS ${OUTPUT}.tmp)
  message(FATAL_ERROR "The failed compile left ${OUTPUT} behind")
endif()
