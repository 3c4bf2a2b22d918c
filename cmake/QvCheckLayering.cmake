# Holds every library to the order of the layers: a source or header of a
# library (its tests, testing helpers and fuzz targets included) may include
# only its own headers and those of the libraries below it. The link order
# catches an upward call only where something is linked; an upward include
# of a header alone compiles and links, so the sources are read here.
#
#   cmake -DQV_SOURCE_DIR=<tree> -P QvCheckLayering.cmake
#     Reads every library folder of the tree; lists each upward include
#     and fails when there is one.
#   cmake -DQV_SELF_TEST_DIR=<scratch directory> -P QvCheckLayering.cmake
#     Plants a small tree with upward includes in the scratch directory and
#     fails unless the check above finds exactly those.
#
# An include names a library by its first path component ("model/..."); a
# relative include ("../graphics/...") is resolved from the including file.
cmake_minimum_required(VERSION 3.25)

# The layers in building order, each with the layers it builds on directly;
# a library may include every layer it reaches through this table.
set(QV_LAYERS
  "platform:"
  "foundation: platform"
  "model: foundation"
  "device: model"
  "host: device"
  "ui: host"
  "exchange: device"
  "extensions: host"
  "graphics: device"
  "pipeline: graphics"
  "pclxl: pipeline"
  "pcl5e: pclxl"
  "postscript: pclxl"
  "render_host: pcl5e postscript"
)

set(QV_SOURCE_PATTERNS *.h *.hpp *.inc *.c *.cc *.cpp)

# Fills QV_LIBRARIES with the layers in order and, for each layer L,
# QV_BELOW_<L> with every layer below it.
function(qv_read_layers)
  set(libraries "")
  foreach(row IN LISTS QV_LAYERS)
    string(REGEX MATCH "^([a-z0-9_]+):(.*)$" matched "${row}")
    set(library "${CMAKE_MATCH_1}")
    string(REGEX REPLACE "[ \t]+" ";" direct "${CMAKE_MATCH_2}")
    set(below "")
    foreach(base IN LISTS direct)
      if(base STREQUAL "")
        continue()
      endif()
      if(NOT base IN_LIST libraries)
        message(FATAL_ERROR "The layer table names ${base} under ${library} before ${base} has a row")
      endif()
      list(APPEND below ${base} ${QV_BELOW_${base}})
    endforeach()
    list(REMOVE_DUPLICATES below)
    set(QV_BELOW_${library} "${below}" PARENT_SCOPE)
    set(QV_BELOW_${library} "${below}")
    list(APPEND libraries ${library})
  endforeach()
  set(QV_LIBRARIES "${libraries}" PARENT_SCOPE)
endfunction()

# The library that an include names, or empty when it names none (a system
# header, a file beside the includer).
function(qv_included_library file included result)
  if(included MATCHES "^\\.")
    get_filename_component(directory "${file}" DIRECTORY)
    get_filename_component(resolved "${directory}/${included}" ABSOLUTE)
    file(RELATIVE_PATH included "${QV_SOURCE_DIR}" "${resolved}")
  endif()
  string(REGEX MATCH "^[^/]+/" first "${included}")
  string(REGEX REPLACE "/$" "" first "${first}")
  if(first IN_LIST QV_LIBRARIES)
    set(${result} "${first}" PARENT_SCOPE)
  else()
    set(${result} "" PARENT_SCOPE)
  endif()
endfunction()

# Appends to the list named by result one line for each upward include in
# the library's folder.
function(qv_check_library library result)
  set(found "${${result}}")
  list(TRANSFORM QV_SOURCE_PATTERNS PREPEND "${QV_SOURCE_DIR}/${library}/" OUTPUT_VARIABLE patterns)
  file(GLOB_RECURSE sources RELATIVE "${QV_SOURCE_DIR}" LIST_DIRECTORIES false ${patterns})
  list(SORT sources)
  foreach(source IN LISTS sources)
    # One list element per line: the characters that CMake lists treat
    # specially never stand in an include's path, so they are blanked.
    file(READ "${QV_SOURCE_DIR}/${source}" content)
    string(REGEX REPLACE "[][;\\]" " " content "${content}")
    string(REPLACE "\n" ";" lines "${content}")
    set(number 0)
    foreach(line IN LISTS lines)
      math(EXPR number "${number} + 1")
      if(NOT line MATCHES "^[ \t]*#[ \t]*include[ \t]*[\"<]([^\">]+)[\">]")
        continue()
      endif()
      set(included "${CMAKE_MATCH_1}")
      qv_included_library("${QV_SOURCE_DIR}/${source}" "${included}" target)
      if(target STREQUAL "" OR target STREQUAL library OR target IN_LIST QV_BELOW_${library})
        continue()
      endif()
      string(REPLACE ";" ", " allowed "${QV_BELOW_${library}}")
      if(allowed STREQUAL "")
        set(allowed "nothing")
      endif()
      list(APPEND found "${source}:${number}: includes ${included}, but ${library} may include only ${allowed}")
    endforeach()
  endforeach()
  set(${result} "${found}" PARENT_SCOPE)
endfunction()

function(qv_check_tree)
  qv_read_layers()
  set(violations "")
  foreach(library IN LISTS QV_LIBRARIES)
    if(IS_DIRECTORY "${QV_SOURCE_DIR}/${library}")
      qv_check_library(${library} violations)
    endif()
  endforeach()
  if(violations)
    list(LENGTH violations count)
    # Indented lines are printed as they stand, not wrapped.
    list(JOIN violations "\n  " text)
    message(FATAL_ERROR "${count} include(s) of a library that is not below the includer:\n  ${text}")
  endif()
  message(STATUS "Every library includes only itself and the libraries below it")
endfunction()

# Plants upward includes among allowed ones and runs the check on them.
function(qv_self_test)
  set(tree "${QV_SELF_TEST_DIR}/tree")
  file(REMOVE_RECURSE "${tree}")
  file(WRITE "${tree}/model/stage.h" "#pragma once\n#include <vector>\n#include \"foundation/rw_cstring.h\"\n"
                                     "#include \"graphics/command.h\"\n")
  file(WRITE "${tree}/graphics/command.h" "#pragma once\n#include \"device/media.h\"\n#include \"model/stage.h\"\n")
  file(WRITE "${tree}/graphics/tests/command_test.cpp"
       "#include \"graphics/command.h\"\n  #  include <pipeline/stage.h>\n")
  file(WRITE "${tree}/pcl5e/writer.cpp" "#include \"pclxl/stream.h\"\n#include \"../postscript/font.h\"\n")
  file(WRITE "${tree}/extensions/host.cpp" "#include \"host/module.h\"\n#include \"ui/page.h\"\n")
  file(WRITE "${tree}/unlayered/tool.cpp" "#include \"pclxl/stream.h\"\n")
  execute_process(COMMAND "${CMAKE_COMMAND}" -DQV_SOURCE_DIR=${tree} -P "${CMAKE_CURRENT_LIST_FILE}"
                  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
  string(REGEX MATCHALL "[a-z0-9_/.]+:[0-9]+: includes [^,]+" reported "${output}")
  # In the order of the layer table.
  set(expected
      "model/stage.h:4: includes graphics/command.h"
      "extensions/host.cpp:2: includes ui/page.h"
      "graphics/tests/command_test.cpp:2: includes pipeline/stage.h"
      "pcl5e/writer.cpp:2: includes ../postscript/font.h")
  if(status EQUAL 0 OR NOT reported STREQUAL expected)
    message(FATAL_ERROR "The check answered ${status} and reported\n${reported}\ninstead of failing with\n${expected}\n"
                        "Its output:\n${output}")
  endif()
  message(STATUS "The check finds the planted upward includes and nothing else")
endfunction()

if(QV_SELF_TEST_DIR)
  qv_self_test()
elseif(QV_SOURCE_DIR)
  qv_check_tree()
else()
  message(FATAL_ERROR "Give QV_SOURCE_DIR (a tree to check) or QV_SELF_TEST_DIR (a scratch directory)")
endif()
