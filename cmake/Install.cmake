# What `cmake --install` puts where (prefix and DESTDIR honoured), following the freedesktop
# conventions, and the Debian package built from it with `cpack -G DEB`. Debian keeps games in
# /usr/games: scripts/package builds with CMAKE_INSTALL_BINDIR=games for that.
include(GNUInstallDirs)

set(HEARTHLY_APP_ID org.hearthly.hearthly CACHE STRING
    "Reverse-DNS id of the game in the desktop entry and the AppStream metadata")
set(HEARTHLY_HOMEPAGE https://hearthly.example.org CACHE STRING
    "Where the game and its screenshot are published (hearthly.png under it)")
set(HEARTHLY_RELEASE_DATE 2026-12-08)

# The menu entry and the AppStream data, translated, and the game's catalogues.
include(Translations)
configure_file(desktop/hearthly.6.in ${desktopDir}/hearthly.6 @ONLY)
configure_file(desktop/hearthly-replay.6.in ${desktopDir}/hearthly-replay.6 @ONLY)
configure_file(desktop/changelog ${desktopDir}/changelog COPYONLY)
# Manual pages and the change log go compressed, reproducibly (no name or time stamp inside).
find_program(GZIP_PROGRAM gzip REQUIRED)
set(compressedDocs)
foreach(doc hearthly.6 hearthly-replay.6 changelog)
    add_custom_command(
        OUTPUT ${desktopDir}/${doc}.gz
        COMMAND ${GZIP_PROGRAM} -9 -n -f -k ${desktopDir}/${doc}
        DEPENDS ${desktopDir}/${doc}
        COMMENT "Compressing ${doc}")
    list(APPEND compressedDocs ${desktopDir}/${doc}.gz)
endforeach()
add_custom_target(hearthly_docs ALL DEPENDS ${compressedDocs})

install(TARGETS hearthly hearthly-replay RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${desktopEntry} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${metainfo} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${localeDir}/ DESTINATION ${CMAKE_INSTALL_LOCALEDIR})
install(FILES ${desktopDir}/hearthly.6.gz ${desktopDir}/hearthly-replay.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
foreach(size ${HEARTHLY_ICON_SIZES})
    install(FILES ${iconDir}/hearthly-${size}.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME hearthly.png)
endforeach()
install(FILES ${iconDir}/hearthly.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES desktop/copyright ${desktopDir}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/hearthly)

# The Debian package. Its dependencies are those of the linked libraries (dpkg-shlibdeps)
# plus what the game reads at run time: the General MIDI sound font for the music.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME hearthly)
set(CPACK_PACKAGE_VENDOR "The Hearthly developers")
set(CPACK_PACKAGE_CONTACT "Seed 0229f0c7 maintainers <maintainers@users.noreply.c-seed-0229f0c7.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "collect every sock in a house at night")
set(CPACK_PACKAGE_DESCRIPTION
    "Hearthly is a small 2D action game. Click anywhere and the Husband\n"
    "walks, climbs and drops through a house at night to collect forty\n"
    "socks, while three cats and the Wife are after him. Now and then an\n"
    "earthquake shakes the house.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS timgm6mb-soundfont)
# On a Wayland desktop the window's title bar (move, close, maximise) is drawn by this plugin.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS libdecor-0-plugin-1-cairo)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${HEARTHLY_HOMEPAGE})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
