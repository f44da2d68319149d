# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (the posix thread model, which Qt needs).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TESTOWNIK_MINGW x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${TESTOWNIK_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TESTOWNIK_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${TESTOWNIK_MINGW}-windres)
set(CMAKE_AR ${TESTOWNIK_MINGW}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${TESTOWNIK_MINGW}-ranlib CACHE FILEPATH "")

# Libraries and headers come from the MinGW sysroot and from the prefixes given in
# CMAKE_PREFIX_PATH (the cross-built Qt, libqrencode); programs from the build machine.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${TESTOWNIK_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Build tools and tests built for Windows run under Wine when it is there.
if(EXISTS /usr/bin/wine)
    set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/wine)
endif()
