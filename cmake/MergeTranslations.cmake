# Brings each translation listed in po/LINGUAS up to the template (for the hearthly-pot target).
file(STRINGS ${PO_DIR}/LINGUAS languages REGEX "^[a-z]")
foreach(language ${languages})
    if(EXISTS ${PO_DIR}/${language}.po)
        execute_process(COMMAND ${MSGMERGE} --quiet --update --backup=none ${PO_DIR}/${language}.po
                                ${PO_DIR}/hearthly.pot COMMAND_ERROR_IS_FATAL ANY)
    endif()
endforeach()
