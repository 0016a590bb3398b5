# Cross-build the 32-bit Windows game with Debian's mingw-w64 (package g++-mingw-w64-i686).
set(TASPO_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
