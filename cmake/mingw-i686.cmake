# Cross-build the 32-bit Windows game with Debian's mingw-w64 (package g++-mingw-w64-i686).
# SSE2 arithmetic instead of x87: floats are then rounded to 32 bits at every step, as on every
# other build, and not compared at extended precision. Every x86 processor Windows still supports
# has SSE2.
set(TASPO_MINGW_PROCESSOR i686)
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
