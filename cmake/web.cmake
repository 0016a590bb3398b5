# The game in a browser tab: taspo.js and taspo.wasm beside our own index.html, with button.bmp
# packed into the virtual file system's working directory. Its loop yields to the browser in
# SwitchToThread, which Asyncify makes possible without changing the loop.
set(TASPO_WEB_PAGE ${TASPO_CODE}/platform/portable/web/browser/index.html)
set(TASPO_WEB_LINK_OPTIONS -sASYNCIFY -sASYNCIFY_STACK_SIZE=16384 -sENVIRONMENT=web)

# taspo_web_page(target folder [files to pack...]): the game's page in `folder`.
function(taspo_web_page target folder)
    add_executable(${target} ${TASPO_CODE}/projects/taspo/main.cpp
                             ${TASPO_CODE}/platform/portable/web/browser/main.cpp)
    target_link_libraries(${target} PRIVATE taspo_game taspo_portable_browser taspo_warnings)
    set_target_properties(${target} PROPERTIES OUTPUT_NAME taspo RUNTIME_OUTPUT_DIRECTORY ${folder})
    target_link_options(${target} PRIVATE ${TASPO_WEB_LINK_OPTIONS})
    foreach(file ${ARGN})
        get_filename_component(name ${file} NAME)
        target_link_options(${target} PRIVATE "SHELL:--embed-file ${file}@${name}")
        set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${file})
    endforeach()
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${TASPO_WEB_PAGE})
    add_custom_command(TARGET ${target} POST_BUILD
                       COMMAND ${CMAKE_COMMAND} -E copy_if_different ${TASPO_WEB_PAGE}
                               ${folder}/index.html)
endfunction()

taspo_web_page(taspo ${CMAKE_BINARY_DIR} ${TASPO_BUTTON_BMP})
# The page as it is when button.bmp is missing, for the browser tests: it must say why.
taspo_web_page(taspo_without_button ${CMAKE_BINARY_DIR}/without-button)
set_target_properties(taspo_without_button PROPERTIES EXCLUDE_FROM_ALL ON)
# With a taspo.cfg that asks for full screen, which a tab refuses: the game must stay windowed.
taspo_web_page(taspo_fullscreen_config ${CMAKE_BINARY_DIR}/fullscreen-config ${TASPO_BUTTON_BMP}
               ${CMAKE_SOURCE_DIR}/tests/web/fullscreen/taspo.cfg)
set_target_properties(taspo_fullscreen_config PROPERTIES EXCLUDE_FROM_ALL ON)

# The frame-rate peer for scripts/web.sh bench: only a frame put and a yield, on the same page.
add_executable(web_frame_peer EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/bench/web/frame_peer.cpp)
set_target_properties(web_frame_peer PROPERTIES OUTPUT_NAME taspo
                      RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/peer)
target_link_options(web_frame_peer PRIVATE ${TASPO_WEB_LINK_OPTIONS})
add_custom_command(TARGET web_frame_peer POST_BUILD
                   COMMAND ${CMAKE_COMMAND} -E copy_if_different ${TASPO_WEB_PAGE}
                           ${CMAKE_BINARY_DIR}/peer/index.html)
