# Cross build for 32-bit Windows with Debian's mingw-w64.
# The -posix compiler variants are used because the win32 thread model has no
# std::mutex, which GoogleTest needs; everything linked together must use one
# variant, so both C and C++ come from it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(QN_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER   ${QN_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QN_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${QN_MINGW_TRIPLE}-windres)
set(CMAKE_AR           ${QN_MINGW_TRIPLE}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB       ${QN_MINGW_TRIPLE}-gcc-ranlib-posix CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${QN_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Ship one .exe with no runtime DLLs beside it (libgcc, libstdc++, winpthread).
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# No CMAKE_CROSSCOMPILING_EMULATOR: a bare wine would make ~/.wine; the test
# scripts run the programs under Wine with the project's prefix instead.
