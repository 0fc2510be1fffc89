# Cross-compiles for Windows with MinGW-w64 (posix thread model).
# WEXDAL_ARCH selects the target: i686 (the shipped program, and its tests on the
# 32-bit bench) or x86_64 (the test build, run by Wine's 64-bit loader on any kernel).
set(CMAKE_SYSTEM_NAME Windows)

if(NOT WEXDAL_ARCH)
  if(DEFINED ENV{WEXDAL_ARCH})
    set(WEXDAL_ARCH $ENV{WEXDAL_ARCH})
  else()
    set(WEXDAL_ARCH x86_64)
  endif()
endif()
set(WEXDAL_ARCH ${WEXDAL_ARCH} CACHE STRING "Target processor: i686 or x86_64")

set(CMAKE_SYSTEM_PROCESSOR ${WEXDAL_ARCH})
set(TOOLCHAIN_PREFIX ${WEXDAL_ARCH}-w64-mingw32)

set(CMAKE_C_COMPILER ${TOOLCHAIN_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TOOLCHAIN_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
