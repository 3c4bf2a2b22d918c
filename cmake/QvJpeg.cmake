# Provides JPEG::JPEG, the libjpeg that the graphics library compresses
# images with.
#
# Natively it is Debian's libjpeg-dev. Debian has no libjpeg for mingw-w64,
# so the Windows build compiles one with its own cross toolchain from Debian's
# libjpeg-turbo source package (apt-get source, which needs deb-src entries
# and dpkg-dev, both set up by .ci/install-packages): a static library with
# the libjpeg 6b interface and without SIMD code. It is built once per build
# tree, at configure time, and kept under libjpeg/ in the build tree.
if(TARGET JPEG::JPEG)
  return()
endif()

if(NOT CMAKE_CROSSCOMPILING)
  find_package(JPEG REQUIRED)
  set_target_properties(JPEG::JPEG PROPERTIES IMPORTED_GLOBAL TRUE)
  return()
endif()

set(qv_jpeg_root ${CMAKE_BINARY_DIR}/libjpeg)
set(qv_jpeg_prefix ${qv_jpeg_root}/install)

function(qv_jpeg_run description)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY ${qv_jpeg_root}
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "libjpeg for Windows: ${description} failed:\n${output}")
  endif()
endfunction()

function(qv_build_cross_jpeg)
  message(STATUS "Building libjpeg for Windows from Debian's libjpeg-turbo source package")
  file(REMOVE_RECURSE ${qv_jpeg_root})
  file(MAKE_DIRECTORY ${qv_jpeg_root})
  qv_jpeg_run("apt-get source libjpeg-turbo" apt-get source libjpeg-turbo)
  file(GLOB candidates LIST_DIRECTORIES true ${qv_jpeg_root}/libjpeg-turbo-*)
  set(source_dir "")
  foreach(candidate IN LISTS candidates)
    if(IS_DIRECTORY ${candidate})
      list(APPEND source_dir ${candidate})
    endif()
  endforeach()
  list(LENGTH source_dir count)
  if(NOT count EQUAL 1)
    message(FATAL_ERROR "libjpeg for Windows: no single source folder in ${qv_jpeg_root}")
  endif()
  # A relative toolchain path given to the outer build means nothing to the
  # inner one, which runs elsewhere.
  get_filename_component(toolchain ${CMAKE_TOOLCHAIN_FILE} ABSOLUTE BASE_DIR ${CMAKE_SOURCE_DIR})
  qv_jpeg_run("configuring"
    ${CMAKE_COMMAND} -S ${source_dir} -B ${qv_jpeg_root}/build -G ${CMAKE_GENERATOR}
      -DCMAKE_TOOLCHAIN_FILE=${toolchain} -DCMAKE_BUILD_TYPE=Release
      -DCMAKE_INSTALL_PREFIX=${qv_jpeg_prefix} -DENABLE_SHARED=0 -DWITH_SIMD=0 -DWITH_TURBOJPEG=0)
  qv_jpeg_run("building" ${CMAKE_COMMAND} --build ${qv_jpeg_root}/build --target jpeg-static)
  file(MAKE_DIRECTORY ${qv_jpeg_prefix}/include ${qv_jpeg_prefix}/lib)
  file(COPY ${source_dir}/jpeglib.h ${source_dir}/jmorecfg.h ${source_dir}/jerror.h
            ${qv_jpeg_root}/build/jconfig.h DESTINATION ${qv_jpeg_prefix}/include)
  file(COPY ${qv_jpeg_root}/build/libjpeg.a DESTINATION ${qv_jpeg_prefix}/lib)
  file(TOUCH ${qv_jpeg_root}/built.stamp)
endfunction()

# The stamp is written last, so a build cut short starts again from scratch.
if(NOT EXISTS ${qv_jpeg_root}/built.stamp)
  qv_build_cross_jpeg()
endif()

add_library(JPEG::JPEG STATIC IMPORTED GLOBAL)
set_target_properties(JPEG::JPEG PROPERTIES
  IMPORTED_LOCATION ${qv_jpeg_prefix}/lib/libjpeg.a
  INTERFACE_INCLUDE_DIRECTORIES ${qv_jpeg_prefix}/include)
