# Cross build of the 32-bit Windows module, the one that ships. Tests run
# under 32-bit wine.
set(QV_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
