# Cross build for 64-bit Windows with Debian's mingw-w64 (posix threads).
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
# Programs are linked with -static, so they need no DLL beside them. Tests run
# under Wine when it is installed. Libraries built for Windows are looked for
# only in the mingw-w64 root and in VELOBRIDGE_WINDOWS_DEPS (a prefix with
# include/, lib/, lib/pkgconfig/ and the CMake package files), never in the
# host's /usr.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VB_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VB_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VB_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VB_MINGW_TRIPLE}-windres)

set(VELOBRIDGE_WINDOWS_DEPS "" CACHE PATH "Prefix of the libraries built for Windows")
set(CMAKE_FIND_ROOT_PATH /usr/${VB_MINGW_TRIPLE})
if(VELOBRIDGE_WINDOWS_DEPS)
  list(APPEND CMAKE_FIND_ROOT_PATH ${VELOBRIDGE_WINDOWS_DEPS})
  list(APPEND CMAKE_PREFIX_PATH ${VELOBRIDGE_WINDOWS_DEPS})
  # pkg-config sees the Windows libraries alone, not the host's .pc files.
  set(ENV{PKG_CONFIG_LIBDIR} ${VELOBRIDGE_WINDOWS_DEPS}/lib/pkgconfig)
  set(ENV{PKG_CONFIG_PATH} "")
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C++ runtime, libgcc and winpthread linked in: the .exe runs alone.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Tests run under Wine, with a Wine prefix of the build's own (made on first
# use), without looking for Mono and Gecko, and with UTF-8 as the locale.
find_program(VB_WINE NAMES wine wine64)
find_program(VB_ENV env)
if(VB_WINE AND VB_ENV)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VB_ENV} WINEPREFIX=${CMAKE_BINARY_DIR}/wine
      WINEDLLOVERRIDES=mscoree,mshtml= WINEDEBUG=-all LC_ALL=C.UTF-8 ${VB_WINE})
endif()
