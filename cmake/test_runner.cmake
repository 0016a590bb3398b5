# How this build's test programs run here, decided when it is configured: natively, or through
# the emulator the preset names (Wine, node), or, for a 32-bit Linux build on a machine that cannot
# execute it, under qemu-i386. A tiny program of the build is run the way CTest will run the tests;
# TASPO_TESTS_RUN_HERE says whether it ran. Wine gets a prefix of the build's own, made by that first
# run.
set(TASPO_TESTS_RUN_HERE ON)
set(TASPO_TESTS_UNDER_QEMU OFF)
if(WIN32)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        set(wine_arch win32)
    else()
        set(wine_arch win64)
    endif()
    set(CMAKE_CROSSCOMPILING_EMULATOR
        env WINEPREFIX=${CMAKE_BINARY_DIR}/wine-prefix WINEARCH=${wine_arch} WINEDEBUG=-all
        WINEDLLOVERRIDES=mscoree,mshtml= ${CMAKE_CROSSCOMPILING_EMULATOR})
endif()
if(NOT CMAKE_CROSSCOMPILING OR EMSCRIPTEN)
    return()
endif()

set(probe_source ${CMAKE_CURRENT_BINARY_DIR}/runs_here.cpp)
file(WRITE ${probe_source} "int main() { return 0; }\n")
set(probe ${CMAKE_CURRENT_BINARY_DIR}/runs_here${CMAKE_EXECUTABLE_SUFFIX})
try_compile(probe_built ${CMAKE_CURRENT_BINARY_DIR}/runs_here_build ${probe_source}
            COPY_FILE ${probe})
if(NOT probe_built)
    message(FATAL_ERROR "cannot build a program for ${CMAKE_SYSTEM_NAME} ${CMAKE_SYSTEM_PROCESSOR}")
endif()

# runs(result emulator...): whether the probe exits with 0 through the emulator.
function(runs result)
    execute_process(COMMAND ${ARGN} ${probe} RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET
                    TIMEOUT 600)
    if(status EQUAL 0)
        set(${result} ON PARENT_SCOPE)
    else()
        set(${result} OFF PARENT_SCOPE)
    endif()
endfunction()

runs(TASPO_TESTS_RUN_HERE ${CMAKE_CROSSCOMPILING_EMULATOR})
if(NOT TASPO_TESTS_RUN_HERE AND NOT WIN32 AND CMAKE_SYSTEM_PROCESSOR MATCHES "i.86"
   AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
    find_program(TASPO_QEMU_I386 qemu-i386)
    if(TASPO_QEMU_I386)
        runs(TASPO_TESTS_RUN_HERE ${TASPO_QEMU_I386})
        set(CMAKE_CROSSCOMPILING_EMULATOR ${TASPO_QEMU_I386})
        set(TASPO_TESTS_UNDER_QEMU ON)
    endif()
endif()
if(TASPO_TESTS_UNDER_QEMU)
    message(STATUS "This machine cannot run 32-bit programs: the tests run under ${TASPO_QEMU_I386}")
elseif(NOT TASPO_TESTS_RUN_HERE AND WIN32)
    list(GET CMAKE_CROSSCOMPILING_EMULATOR -1 wine)
    message(STATUS "${wine} cannot run this build's programs here: only the checks of its files "
                   "are tests (the windows64 preset runs the programs)")
elseif(NOT TASPO_TESTS_RUN_HERE)
    message(FATAL_ERROR "This build's programs cannot run here, natively or under an emulator")
endif()
