# Cross-compiles for Windows with Debian's MinGW-w64, posix thread model (which
# GoogleTest needs for std::mutex). TOVRIN_ARCH picks i686, the shipped
# deliverables, or x86_64, used to run the tests where the kernel cannot run
# 32-bit code and so 32-bit Wine cannot start.
if(NOT DEFINED TOVRIN_ARCH)
  set(TOVRIN_ARCH i686)
endif()
set(TOVRIN_ARCH ${TOVRIN_ARCH} CACHE STRING "i686 or x86_64")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TOVRIN_ARCH)

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${TOVRIN_ARCH})

set(TOOLCHAIN_PREFIX ${TOVRIN_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER   ${TOOLCHAIN_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  ${TOOLCHAIN_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
