# The programs that a cross build runs on the build machine, built natively
# from this same tree configured with QV_HOST_TOOLS (platform, foundation,
# model, device and the tools; no tests, fuzz targets or benchmarks), under
# <build>/host-tools. The compiler launcher (ccache) is handed on, and the
# build type is the native build's, so that ccache serves the host build
# from the objects of a native build of the same tree.
#
#   qv_host_tool(<variable> <target> <path in the host build>)
#     Adds the target qv_host_<target>, which builds the program in the host
#     build, and sets <variable> to the program's path. Custom commands that
#     run it depend on both.

include(ExternalProject)

set(QV_HOST_TOOLS_DIR ${CMAKE_BINARY_DIR}/host-tools)
set(qv_host_cache_args -DQV_HOST_TOOLS:BOOL=ON -DQV_BENCH:BOOL=OFF -DCMAKE_BUILD_TYPE:STRING=RelWithDebInfo)
if(CMAKE_CXX_COMPILER_LAUNCHER)
  list(APPEND qv_host_cache_args -DCMAKE_C_COMPILER_LAUNCHER:STRING=${CMAKE_C_COMPILER_LAUNCHER}
                                 -DCMAKE_CXX_COMPILER_LAUNCHER:STRING=${CMAKE_CXX_COMPILER_LAUNCHER})
endif()

function(qv_host_tool variable target path)
  set(program ${QV_HOST_TOOLS_DIR}/${path})
  # Built on every build of the cross tree; the host build's own ninja
  # then decides whether anything changed.
  ExternalProject_Add(qv_host_${target}
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${QV_HOST_TOOLS_DIR}
    CMAKE_GENERATOR ${CMAKE_GENERATOR}
    CMAKE_CACHE_ARGS ${qv_host_cache_args}
    BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target ${target}
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${program}
    INSTALL_COMMAND "")
  set(${variable} ${program} PARENT_SCOPE)
endfunction()
