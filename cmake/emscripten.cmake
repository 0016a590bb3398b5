# Build for the browser with Debian's emscripten (package emscripten): WebAssembly, 32-bit.
# emcc runs parts of itself on node, and the machine's node finds Debian's node modules (acorn)
# only through NODE_PATH: every compile and link gets it, whoever starts the build.
set(TASPO_NODE_MODULES /usr/share/nodejs CACHE PATH "Where Debian installs node modules")
set(ENV{NODE_PATH} ${TASPO_NODE_MODULES})
set(CMAKE_CXX_COMPILER_LAUNCHER env NODE_PATH=${TASPO_NODE_MODULES})
set(CMAKE_CXX_LINKER_LAUNCHER env NODE_PATH=${TASPO_NODE_MODULES})
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)
# Bulk memory and SIMD, which every current browser and node 20 have: memcpy and memset become
# the single instructions memory.copy and memory.fill, and the frame's conversion for the canvas
# goes four pixels at a time.
set(CMAKE_CXX_FLAGS_INIT "-mbulk-memory -msimd128")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-mbulk-memory -msimd128")
