# A header-only package of the build machine, offered to the Windows cross-build
# through a folder that links to its headers alone: the machine's /usr/include as a
# whole would put the Linux C library's headers before the Windows ones.
function(aik_header_only_package target header)
    if(TARGET ${target})
        return()
    endif()
    set(folder ${CMAKE_BINARY_DIR}/header-only/include)
    file(MAKE_DIRECTORY ${folder})
    file(CREATE_LINK /usr/include/${header} ${folder}/${header} SYMBOLIC)
    add_library(${target} INTERFACE IMPORTED GLOBAL)
    set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${folder})
endfunction()
