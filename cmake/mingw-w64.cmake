# Cross build of the Windows module with mingw-w64, for the processor that the
# including toolchain file names in QV_MINGW_PROCESSOR (i686 or x86_64). The
# posix thread model has std::mutex and std::thread; the win32 one does not.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${QV_MINGW_PROCESSOR})

set(qv_mingw_triplet ${QV_MINGW_PROCESSOR}-w64-mingw32)
set(CMAKE_C_COMPILER ${qv_mingw_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${qv_mingw_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${qv_mingw_triplet}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${qv_mingw_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The runtime is linked in, so the module and its tests need no mingw DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
