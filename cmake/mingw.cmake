# Cross-compiles for Windows with MinGW-w64 (posix thread model).
# WEXDAL_ARCH selects the target: i686 (the shipped program) or x86_64. Left unset, it is
# the one this machine can run under Wine, so that the tests run: i686 where 32-bit
# programs can run, x86_64 on a kernel that runs 64-bit user code only.
set(CMAKE_SYSTEM_NAME Windows)

if(NOT WEXDAL_ARCH)
  if(DEFINED ENV{WEXDAL_ARCH})
    set(WEXDAL_ARCH $ENV{WEXDAL_ARCH})
  else()
    execute_process(COMMAND ${CMAKE_CURRENT_LIST_DIR}/../scripts/can-run-32bit
                    RESULT_VARIABLE can_run_32bit OUTPUT_QUIET ERROR_QUIET)
    if(can_run_32bit EQUAL 0)
      set(WEXDAL_ARCH i686)
    else()
      set(WEXDAL_ARCH x86_64)
    endif()
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
