# The Windows build's link-level contract: fixed export tables for the module and the
# simulated camera libraries, and the module importing the camera libraries by
# ordinal, as it does the real ones.
find_program(AIK_DLLTOOL NAMES x86_64-w64-mingw32-dlltool dlltool REQUIRED)

# The module exports GetVideoChannel alone.
target_sources(QuorvexAIK64 PRIVATE ${CMAKE_SOURCE_DIR}/adapter/QuorvexAIK64.def)

# Links consumer to library's DLL by ordinal: an import library made from library's
# .def with every name dropped (NONAME), so the consumer's import table holds only
# the ordinals.
function(aik_import_by_ordinal consumer library def)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${def})
    file(READ ${def} table)
    string(REGEX REPLACE "(@[0-9]+)" "\\1 NONAME" table "${table}")
    set(ordinalDef ${CMAKE_BINARY_DIR}/ordinals/${library}.def)
    file(WRITE ${ordinalDef}.new "${table}")
    file(COPY_FILE ${ordinalDef}.new ${ordinalDef} ONLY_IF_DIFFERENT)
    set(importLibrary ${CMAKE_BINARY_DIR}/ordinals/lib${library}.a)
    add_custom_command(OUTPUT ${importLibrary}
                       COMMAND ${AIK_DLLTOOL} --input-def ${ordinalDef} --output-lib ${importLibrary}
                       DEPENDS ${ordinalDef}
                       COMMENT "Import library of ${library} by ordinal"
                       VERBATIM)
    add_custom_target(${library}_by_ordinal DEPENDS ${importLibrary})
    # The DLL itself too, so that it sits beside the consumer when that runs.
    add_dependencies(${consumer} ${library}_by_ordinal ${library})
    target_link_libraries(${consumer} PRIVATE ${importLibrary})
endfunction()

foreach(def sim/QuorvexApi64.def camlib/QuorvexUtl64.def)
    get_filename_component(library ${def} NAME_WE)
    target_sources(${library} PRIVATE ${CMAKE_SOURCE_DIR}/${def})
    aik_import_by_ordinal(QuorvexAIK64 ${library} ${CMAKE_SOURCE_DIR}/${def})
endforeach()
