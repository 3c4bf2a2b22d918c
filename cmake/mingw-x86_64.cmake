# Cross build of the 64-bit Windows module, for machines that cannot execute
# 32-bit programs: the same code, its tests under wine64.
set(QV_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
