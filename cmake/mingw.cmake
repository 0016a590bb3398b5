# The part of the mingw-w64 toolchain files that does not depend on the processor: set
# TASPO_MINGW_PROCESSOR (i686 or x86_64) and include this.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${TASPO_MINGW_PROCESSOR})
set(triple ${TASPO_MINGW_PROCESSOR}-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# CTest runs the test programs under Wine (the windows64 preset names 64-bit Wine), in a prefix of
# the build tree's own (cmake/test_runner.cmake).
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
    set(CMAKE_CROSSCOMPILING_EMULATOR wine)
endif()
