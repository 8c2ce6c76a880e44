# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (the posix-threads variant: std::thread
# and std::mutex need it). scripts/windows passes this file and VELOR_WINDOWS_PREFIX, the folder its
# Windows libraries are installed into.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VELOR_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VELOR_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELOR_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VELOR_MINGW_TRIPLE}-windres)

# Headers and libraries come from the toolchain's sysroot and the libraries' prefix only, never from
# the build machine's /usr; programs (the native content generator among them) from the machine.
set(CMAKE_FIND_ROOT_PATH /usr/${VELOR_MINGW_TRIPLE} ${VELOR_WINDOWS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
