# Cross-build a 64-bit Windows game with Debian's mingw-w64 (package g++-mingw-w64-x86-64-posix).
# The shipped game is 32-bit; this build runs the same Win32 code under a 64-bit-only Wine, on
# machines that cannot execute 32-bit programs.
set(TASPO_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
