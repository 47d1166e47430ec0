# The player's language. Every word the player sees is marked in the sources (core::tr and
# friends); po/hearthly.pot is the template built from them and from the menu entry and the
# AppStream data, and po/LINGUAS lists the translations. The game's catalogues are compiled into
# locale/ beside the programs, where the game finds them when run from the build tree; the menu
# entry and the AppStream data get their translated name and summary the same way.
find_program(MSGFMT_PROGRAM msgfmt REQUIRED)
find_program(XGETTEXT_PROGRAM xgettext REQUIRED)
find_program(MSGMERGE_PROGRAM msgmerge REQUIRED)

set(poDir ${CMAKE_CURRENT_SOURCE_DIR}/po)
file(STRINGS ${poDir}/LINGUAS HEARTHLY_LANGUAGES REGEX "^[a-z]")
set(localeDir ${CMAKE_CURRENT_BINARY_DIR}/locale)
set(poFiles)
set(catalogues)
foreach(language ${HEARTHLY_LANGUAGES})
    set(catalogue ${localeDir}/${language}/LC_MESSAGES/hearthly.mo)
    add_custom_command(
        OUTPUT ${catalogue}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${localeDir}/${language}/LC_MESSAGES
        COMMAND ${MSGFMT_PROGRAM} --check -o ${catalogue} ${poDir}/${language}.po
        DEPENDS ${poDir}/${language}.po
        COMMENT "Compiling the translation ${language}")
    list(APPEND catalogues ${catalogue})
    list(APPEND poFiles ${poDir}/${language}.po)
endforeach()

set(desktopDir ${CMAKE_CURRENT_BINARY_DIR}/desktop)
set(desktopEntry ${desktopDir}/${HEARTHLY_APP_ID}.desktop)
set(metainfo ${desktopDir}/${HEARTHLY_APP_ID}.metainfo.xml)
configure_file(desktop/metainfo.xml.in ${desktopDir}/untranslated.metainfo.xml @ONLY)
add_custom_command(
    OUTPUT ${desktopEntry}
    COMMAND ${MSGFMT_PROGRAM} --desktop --template=${CMAKE_CURRENT_SOURCE_DIR}/desktop/hearthly.desktop.in
            -d ${poDir} -o ${desktopEntry}
    DEPENDS desktop/hearthly.desktop.in ${poFiles} ${poDir}/LINGUAS
    COMMENT "Translating the menu entry")
add_custom_command(
    OUTPUT ${metainfo}
    COMMAND ${MSGFMT_PROGRAM} --xml --template=${desktopDir}/untranslated.metainfo.xml -d ${poDir} -o ${metainfo}
    DEPENDS ${desktopDir}/untranslated.metainfo.xml ${poFiles} ${poDir}/LINGUAS
    COMMENT "Translating the AppStream data")
add_custom_target(hearthly_translations ALL DEPENDS ${catalogues} ${desktopEntry} ${metainfo})
add_dependencies(hearthly hearthly_translations)

# After a text changed: `cmake --build build --target hearthly-pot` rebuilds the template and
# merges it into each translation, where new or changed texts then wait for a translator.
set(metainfoRules /usr/share/gettext/its/metainfo.its)
add_custom_target(
    hearthly-pot
    COMMAND ${XGETTEXT_PROGRAM} --from-code=UTF-8 --language=C++ --keyword=tr --keyword=trLater --keyword=trFill
            --keyword=trNumber --add-comments=TRANSLATORS: --package-name=hearthly
            --package-version=${PROJECT_VERSION} --files-from=po/POTFILES -o po/hearthly.pot
    COMMAND ${XGETTEXT_PROGRAM} --join-existing --language=Desktop -o po/hearthly.pot desktop/hearthly.desktop.in
    COMMAND ${XGETTEXT_PROGRAM} --join-existing --its=${metainfoRules} -o po/hearthly.pot desktop/metainfo.xml.in
    COMMAND ${CMAKE_COMMAND} -DMSGMERGE=${MSGMERGE_PROGRAM} -DPO_DIR=${poDir}
            -P ${CMAKE_CURRENT_SOURCE_DIR}/cmake/MergeTranslations.cmake
    WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}
    COMMENT "Building po/hearthly.pot from the sources")
