# The game in a browser tab: taspo.js and taspo.wasm beside our own page (index.html, its
# stylesheet taspo.css and its script page.js), with button.bmp packed into the virtual file
# system's working directory. Its loop yields to the browser in SwitchToThread, which Asyncify
# makes possible without changing the loop.
set(TASPO_WEB_PAGE_DIR ${TASPO_CODE}/projects/taspo/page)
set(TASPO_WEB_PAGE_FILES index.html taspo.css page.js)
list(TRANSFORM TASPO_WEB_PAGE_FILES PREPEND ${TASPO_WEB_PAGE_DIR}/ OUTPUT_VARIABLE TASPO_WEB_PAGE)
set(TASPO_WEB_LINK_OPTIONS -sASYNCIFY -sASYNCIFY_STACK_SIZE=16384 -sENVIRONMENT=web)

# The page is an installable web app that plays offline: a manifest with the game's icons, drawn
# at 192 and 512 pixels by make_assets (built for this machine, not for the browser), and a
# service worker that keeps the files below in a cache named after their hash.
set(TASPO_WEB_MANIFEST ${TASPO_WEB_PAGE_DIR}/manifest.webmanifest)
set(TASPO_WEB_CACHED ${TASPO_WEB_PAGE_FILES} taspo.js taspo.wasm manifest.webmanifest
                     taspo-192.png taspo-512.png)
find_program(TASPO_HOST_CXX NAMES c++ g++ clang++ REQUIRED)
set(TASPO_HOST_MAKE_ASSETS ${CMAKE_BINARY_DIR}/host/make_assets)
add_custom_command(OUTPUT ${TASPO_HOST_MAKE_ASSETS}
                   COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/host
                   COMMAND ${TASPO_HOST_CXX} -std=c++17 -O2 -Wall -Wextra -Werror
                           -o ${TASPO_HOST_MAKE_ASSETS} ${CMAKE_SOURCE_DIR}/assets/make_assets.cpp
                   DEPENDS ${CMAKE_SOURCE_DIR}/assets/make_assets.cpp VERBATIM)

# taspo_web_page(target folder [files to pack...]): the game's page in `folder`.
function(taspo_web_page target folder)
    add_executable(${target} ${TASPO_CODE}/projects/taspo/shell/browser/main.cpp)
    target_link_libraries(${target} PRIVATE taspo_shell_browser taspo_warnings)
    set_target_properties(${target} PROPERTIES OUTPUT_NAME taspo RUNTIME_OUTPUT_DIRECTORY ${folder})
    target_link_options(${target} PRIVATE ${TASPO_WEB_LINK_OPTIONS})
    foreach(file ${ARGN})
        get_filename_component(name ${file} NAME)
        target_link_options(${target} PRIVATE "SHELL:--embed-file ${file}@${name}")
        set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${file})
    endforeach()
    add_custom_command(TARGET ${target} POST_BUILD
                       COMMAND ${CMAKE_COMMAND} -E copy_if_different ${TASPO_WEB_PAGE} ${folder})
    # The app's icons, and the service worker stamped with a hash of every file it keeps: a
    # change to any of them links the page again, which stamps it anew.
    set(icons ${folder}/taspo-192.png ${folder}/taspo-512.png)
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${TASPO_WEB_PAGE} ${icons}
                 ${TASPO_WEB_MANIFEST} ${TASPO_WEB_PAGE_DIR}/sw.js.in
                 ${CMAKE_SOURCE_DIR}/cmake/web_worker.cmake)
    add_custom_command(OUTPUT ${icons}
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
                       COMMAND ${TASPO_HOST_MAKE_ASSETS} ${folder} 192 512
                       DEPENDS ${TASPO_HOST_MAKE_ASSETS} VERBATIM)
    add_custom_target(${target}_icons DEPENDS ${icons})
    add_dependencies(${target} ${target}_icons)
    string(REPLACE ";" "," cached "${TASPO_WEB_CACHED}")
    add_custom_command(TARGET ${target} POST_BUILD
                       COMMAND ${CMAKE_COMMAND} -E copy_if_different ${TASPO_WEB_MANIFEST}
                               ${folder}/manifest.webmanifest
                       COMMAND ${CMAKE_COMMAND} -DFOLDER=${folder} -DFILES=${cached}
                               -DVERSION=${PROJECT_VERSION}
                               -DTEMPLATE=${TASPO_WEB_PAGE_DIR}/sw.js.in
                               -P ${CMAKE_SOURCE_DIR}/cmake/web_worker.cmake
                       VERBATIM)
endfunction()

taspo_web_page(taspo ${CMAKE_BINARY_DIR} ${TASPO_BUTTON_BMP})
# The page as it is when button.bmp is missing, for the browser tests: it must say why.
taspo_web_page(taspo_without_button ${CMAKE_BINARY_DIR}/without-button)
set_target_properties(taspo_without_button PROPERTIES EXCLUDE_FROM_ALL ON)
# With a taspo.cfg that asks for full screen, which a tab refuses: the game must stay windowed.
taspo_web_page(taspo_fullscreen_config ${CMAKE_BINARY_DIR}/fullscreen-config ${TASPO_BUTTON_BMP}
               ${CMAKE_SOURCE_DIR}/tests/web/fullscreen/taspo.cfg)
set_target_properties(taspo_fullscreen_config PROPERTIES EXCLUDE_FROM_ALL ON)

# The frame-rate peer for scripts/web.sh bench: only a frame put and a yield, on the same page,
# which a change to the page copies again.
add_executable(web_frame_peer EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/bench/web/frame_peer.cpp)
set_target_properties(web_frame_peer PROPERTIES OUTPUT_NAME taspo
                      RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/peer)
target_link_options(web_frame_peer PRIVATE ${TASPO_WEB_LINK_OPTIONS})
set_property(TARGET web_frame_peer APPEND PROPERTY LINK_DEPENDS ${TASPO_WEB_PAGE})
add_custom_command(TARGET web_frame_peer POST_BUILD
                   COMMAND ${CMAKE_COMMAND} -E copy_if_different ${TASPO_WEB_PAGE}
                           ${CMAKE_BINARY_DIR}/peer)
