# The engine as a 32-bit Linux program, from Debian's multilib compilers (g++-multilib): 32-bit
# pointers and 24-byte arena headers as on 32-bit Windows, with SSE2 arithmetic so that floats
# round as on every other build. No emulator is named here or in the linux32 preset: when the build
# is configured, cmake/test_runner.cmake runs a tiny program of it, and only if this machine cannot
# run that does it find qemu-i386 and make it CMAKE_CROSSCOMPILING_EMULATOR. scripts/test.sh
# installs qemu-user only where its own probe shows that 32-bit programs do not run.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT "-m32 -msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-m32 -msse2 -mfpmath=sse")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-m32")
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
