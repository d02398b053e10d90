# What `cmake --install` puts where: three components, one package each
# (cmake/packaging.cmake).
#   adapter  the module, aikhost, the documentation
#   sim      the simulated camera family, for testing hosts (not for production)
#   aravis   the camera family over Aravis, for real cameras (Linux)
# aikhost loads the module from its own folder, and the camera libraries from there
# (sim) or from aravis/ below it, as in the build tree; so they install into one folder
# of their own, and aikhost is reached through a link in bin/.
if(WIN32)
    # One folder, as a host application installs the module.
    set(AIK_INSTALL_DIR .)
    set(AIK_DOC_DIR .)
else()
    # The architecture's folder (Debian's multiarch) where the toolchain has one: these
    # are private files for one architecture, outside the loader's default paths.
    if(CMAKE_LIBRARY_ARCHITECTURE)
        set(AIK_INSTALL_DIR lib/${CMAKE_LIBRARY_ARCHITECTURE}/quorvexaik)
    else()
        set(AIK_INSTALL_DIR lib/quorvexaik)
    endif()
    set(AIK_DOC_DIR share/doc/quorvexaik)
endif()

# What the packages hold, built alone (scripts/package.sh): aik_install adds to it.
add_custom_target(aik_packaged)
# aikhost's manual page, where the build makes one.
if(TARGET aikhost_man)
    add_dependencies(aik_packaged aikhost_man)
endif()

# Import libraries are for linking against the DLLs, which no user of the packages does.
# The build tree has the installed layout, so a target is built with its installed
# search path: one rewritten at install would need a padded path in the build tree,
# whose empty entry searches the current folder.
function(aik_install component destination)
    add_dependencies(aik_packaged ${ARGN})
    set_target_properties(${ARGN} PROPERTIES BUILD_WITH_INSTALL_RPATH ON)
    install(TARGETS ${ARGN}
            RUNTIME DESTINATION ${destination} COMPONENT ${component}
            LIBRARY DESTINATION ${destination} COMPONENT ${component}
            ARCHIVE DESTINATION lib COMPONENT import_libraries EXCLUDE_FROM_ALL)
endfunction()

aik_install(adapter ${AIK_INSTALL_DIR} QuorvexAIK64 aikhost)
aik_install(sim ${AIK_INSTALL_DIR} QuorvexApi64 QuorvexUtl64)
if(TARGET aravis_QuorvexApi64)
    aik_install(aravis ${AIK_INSTALL_DIR}/aravis aravis_QuorvexApi64 aravis_QuorvexUtl64)
endif()

if(WIN32)
    install(FILES packaging/windows/README-windows.txt CHANGELOG.md DESTINATION . COMPONENT adapter)
else()
    # The changes as Debian names them: changelog.gz, without a time stamp.
    file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/packaging)
    execute_process(COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/CHANGELOG.md
                    OUTPUT_FILE ${CMAKE_BINARY_DIR}/packaging/changelog.gz COMMAND_ERROR_IS_FATAL ANY)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/CHANGELOG.md)
    install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz DESTINATION ${AIK_DOC_DIR} COMPONENT adapter)
    # The module finds the camera libraries beside it and, where the simulated family
    # is not installed (a production machine), in aravis/.
    set_target_properties(QuorvexAIK64 PROPERTIES INSTALL_RPATH "$ORIGIN;$ORIGIN/aravis")
    # Links: the module under the conventional lib prefix (the build makes it), aikhost
    # on PATH.
    file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/install-links)
    file(CREATE_LINK ../${AIK_INSTALL_DIR}/aikhost ${CMAKE_BINARY_DIR}/install-links/aikhost SYMBOLIC)
    install(FILES ${CMAKE_BINARY_DIR}/install-links/aikhost DESTINATION bin COMPONENT adapter)
    install(FILES ${CMAKE_BINARY_DIR}/bin/libQuorvexAIK64.so DESTINATION ${AIK_INSTALL_DIR} COMPONENT adapter)
    install(FILES README.md DESTINATION ${AIK_DOC_DIR} COMPONENT adapter)
    install(DIRECTORY docs/ DESTINATION ${AIK_DOC_DIR}/docs COMPONENT adapter)
    # Manual pages that rules above install uncompressed (aikhost's) are compressed,
    # as Debian wants them.
    install(CODE [[
        file(GLOB pages "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/share/man/man*/*.[1-9]")
        foreach(page IN LISTS pages)
            execute_process(COMMAND gzip -9nf ${page} COMMAND_ERROR_IS_FATAL ANY)
        endforeach()
    ]] COMPONENT adapter)
endif()
