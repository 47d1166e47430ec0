# One place for the warning set of every target. HEARTHLY_WERROR turns them into errors (CI).
option(HEARTHLY_WERROR "Treat warnings as errors" OFF)

function(hearthly_set_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                                             -Wold-style-cast -Wcast-align -Woverloaded-virtual
                                             -Wnull-dereference -Wformat=2 -Wimplicit-fallthrough)
    if(HEARTHLY_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
