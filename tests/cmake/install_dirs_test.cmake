# Where the program is installed, where its button.bmp is installed, and where the program looks
# for it must agree whatever the install folders. Configures the project (no build) with custom
# CMAKE_INSTALL_BINDIR and CMAKE_INSTALL_DATADIR, reads the two install destinations and the
# relative path compiled into the program's file lookup, and follows that path from the program.
# Usage: cmake -DSOURCE=<source tree> -DWORK=<scratch folder> -DGENERATOR=<generator>
#              -DCOMPILER=<C++ compiler> -P install_dirs_test.cmake
cmake_minimum_required(VERSION 3.20)

set(prefix /opt/taspo)

# The destination, below the prefix, of the one file(INSTALL) that installs `file`.
function(installed_folder install_script type file out)
    set(pattern "DESTINATION \"([^\"]*)\" TYPE ${type} FILES \"[^\"]*/${file}\"")
    string(REGEX MATCH "${pattern}" found "${install_script}")
    if(NOT found)
        message(FATAL_ERROR "no install rule for ${file}")
    endif()
    string(REPLACE "\${CMAKE_INSTALL_PREFIX}" "${prefix}" folder "${CMAKE_MATCH_1}")
    set(${out} ${folder} PARENT_SCOPE)
endfunction()

# The value of TASPO_DATA_FROM_PROGRAM on the command that compiles the portable file lookup.
function(data_from_program build out)
    file(READ ${build}/compile_commands.json commands)
    string(JSON count LENGTH "${commands}")
    math(EXPR last "${count} - 1")
    foreach(i RANGE ${last})
        string(JSON source GET "${commands}" ${i} file)
        if(source MATCHES "/code/platform/portable/file_places\\.cpp$")
            string(JSON command GET "${commands}" ${i} command)
            if(NOT command MATCHES "-DTASPO_DATA_FROM_PROGRAM=\\\\\"([^\\\\]*)\\\\\"")
                message(FATAL_ERROR "file_places.cpp is compiled without TASPO_DATA_FROM_PROGRAM")
            endif()
            set(${out} "${CMAKE_MATCH_1}" PARENT_SCOPE)
            return()
        endif()
    endforeach()
    message(FATAL_ERROR "no compile command for code/platform/portable/file_places.cpp")
endfunction()

function(check bindir datadir)
    set(build ${WORK}/build)
    file(REMOVE_RECURSE ${build})
    execute_process(
        COMMAND ${CMAKE_COMMAND} -S ${SOURCE} -B ${build} -G ${GENERATOR}
                -DCMAKE_CXX_COMPILER=${COMPILER} -DTASPO_TESTS=OFF
                -DCMAKE_INSTALL_PREFIX=${prefix} -DCMAKE_INSTALL_BINDIR=${bindir}
                -DCMAKE_INSTALL_DATADIR=${datadir}
        RESULT_VARIABLE failed OUTPUT_QUIET ERROR_VARIABLE errors)
    if(failed)
        message(FATAL_ERROR "configuring with ${bindir} and ${datadir} failed:\n${errors}")
    endif()
    file(READ ${build}/cmake_install.cmake install_script)
    installed_folder("${install_script}" EXECUTABLE taspo program_folder)
    installed_folder("${install_script}" FILE button.bmp data_folder)
    data_from_program(${build} relative)
    set(looked_in ${program_folder}/${relative})
    cmake_path(NORMAL_PATH looked_in)
    string(REGEX REPLACE "/$" "" looked_in "${looked_in}")  # left by an empty relative path
    message(STATUS "BINDIR ${bindir}, DATADIR ${datadir}: taspo in ${program_folder}, "
                   "button.bmp in ${data_folder}, looked for in ${program_folder}/${relative}")
    if(NOT looked_in STREQUAL data_folder)
        message(FATAL_ERROR "the program in ${program_folder} looks for its data in "
                            "${looked_in}, but button.bmp is installed in ${data_folder}")
    endif()
    file(REMOVE_RECURSE ${build})
endfunction()

check(lib/taspo/bin data)  # the program deeper than games/ is
check(bin /srv/taspo-data)  # the data outside the prefix
