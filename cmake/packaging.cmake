# Install rules and packages. On Linux the game installs as Debian lays out games: the program in
# games/, its data in share/games/taspo/ (where it looks, from its own location; the top
# CMakeLists.txt sets both folders), a desktop entry, hicolor icons, taspo(6), the AppStream
# listing and the zlib licence; CPack makes the .deb. On Windows: taspo.exe, button.bmp, a
# README.txt and the licence in one folder, zipped by CPack.
# Builds without the desktop game (the 32-bit test build, the browser build) install nothing.
if(NOT TARGET taspo OR EMSCRIPTEN)
    return()
endif()

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
                                                GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(TASPO_PACKAGING ${PROJECT_SOURCE_DIR}/packaging)
set(TASPO_PACKAGING_OUT ${PROJECT_BINARY_DIR}/packaging)

set(CPACK_PACKAGE_NAME taspo)
set(CPACK_PACKAGE_VENDOR "The Taspo developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "reaction game: hit space while the button shows")
set(CPACK_STRIP_FILES ON)

if(WIN32)
    configure_file(${TASPO_PACKAGING}/README.txt.in ${TASPO_PACKAGING_OUT}/README.txt @ONLY)
    # Windows editors want the licence with CRLF line ends, like README.txt.
    configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${TASPO_PACKAGING_OUT}/LICENSE.txt @ONLY
                   NEWLINE_STYLE CRLF)
    install(TARGETS taspo RUNTIME DESTINATION .)
    install(FILES ${TASPO_BUTTON_BMP} ${TASPO_PACKAGING_OUT}/README.txt
                  ${TASPO_PACKAGING_OUT}/LICENSE.txt DESTINATION .)
    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_FILE_NAME taspo-${PROJECT_VERSION}-win32)
else()
    set(TASPO_INSTALLED_PROGRAM ${CMAKE_INSTALL_FULL_BINDIR}/taspo)
    configure_file(${TASPO_PACKAGING}/taspo.desktop.in ${TASPO_PACKAGING_OUT}/taspo.desktop @ONLY)
    configure_file(${TASPO_PACKAGING}/taspo.6.in ${TASPO_PACKAGING_OUT}/taspo.6 @ONLY)
    configure_file(${TASPO_PACKAGING}/changelog.in ${TASPO_PACKAGING_OUT}/changelog @ONLY)
    # Debian ships manual pages and changelogs compressed, and the same bytes on every build.
    set(compressed)
    foreach(file taspo.6 changelog)
        add_custom_command(OUTPUT ${TASPO_PACKAGING_OUT}/${file}.gz
                           COMMAND gzip -9nkf ${TASPO_PACKAGING_OUT}/${file}
                           DEPENDS ${TASPO_PACKAGING_OUT}/${file})
        list(APPEND compressed ${TASPO_PACKAGING_OUT}/${file}.gz)
    endforeach()
    add_custom_target(taspo_compressed_docs ALL DEPENDS ${compressed})

    install(TARGETS taspo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${TASPO_BUTTON_BMP} DESTINATION ${TASPO_INSTALL_DATADIR})
    install(FILES ${TASPO_PACKAGING_OUT}/taspo.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    foreach(size 16 32 48)
        install(FILES ${PROJECT_SOURCE_DIR}/assets/taspo-${size}.png
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
                RENAME taspo.png)
    endforeach()
    install(FILES ${TASPO_PACKAGING_OUT}/taspo.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
    install(FILES ${TASPO_PACKAGING}/invalid.taspo.taspo.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    install(FILES ${TASPO_PACKAGING}/copyright ${TASPO_PACKAGING_OUT}/changelog.gz
            DESTINATION ${CMAKE_INSTALL_DOCDIR})

    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # taspo_<version>_<arch>.deb
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Taspo developers <taspo@taspo.invalid>")
    set(CPACK_DEBIAN_PACKAGE_SECTION games)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)  # Depends from the libraries the program links
    string(CONCAT CPACK_PACKAGE_DESCRIPTION
                  "A grey window shows a round button after a random wait. Press space\n"
                  "while it shows and the window flashes light blue; let it vanish and it\n"
                  "turns dark red. There is no score and no text: colour is the only\n"
                  "feedback.")
endif()
include(CPack)
