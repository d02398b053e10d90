# Packages from the install components (cmake/install.cmake), made by cpack in the build
# folder (scripts/package.sh): Debian packages on Linux, one zip from the Windows
# cross-build. They land in <build>/packages.
set(CPACK_PACKAGE_NAME quorvexaik)
set(CPACK_PACKAGE_VENDOR "QuorvexAIK maintainers")
set(AIK_PACKAGE_CONTACT "QuorvexAIK maintainers <maintainers@users.noreply.c-seed-078fabe5.example>")
set(CPACK_PACKAGE_CONTACT ${AIK_PACKAGE_CONTACT})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL adapter sim)
if(TARGET aravis_QuorvexApi64)
    list(APPEND CPACK_COMPONENTS_ALL aravis)
endif()

if(WIN32)
    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_FILE_NAME quorvexaik-${PROJECT_VERSION}-win64)
    include(CPack)
    return()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(AIK_DEBIAN_VERSION ${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE})
set(CPACK_DEBIAN_PACKAGE_SOURCE quorvexaik)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
# Dependencies from the binaries; the module's camera libraries are found in the build
# tree, and belong to the packages named below.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/bin)

set(CPACK_DEBIAN_ADAPTER_PACKAGE_NAME quorvexaik)
# The module needs one camera family: the real cameras' first, where the build has it.
set(CPACK_DEBIAN_ADAPTER_PACKAGE_DEPENDS "quorvexaik-sim (= ${AIK_DEBIAN_VERSION})")
if(TARGET aravis_QuorvexApi64)
    set(CPACK_DEBIAN_ADAPTER_PACKAGE_DEPENDS "quorvexaik-aravis (= ${AIK_DEBIAN_VERSION}) | ${CPACK_DEBIAN_ADAPTER_PACKAGE_DEPENDS}")
endif()
set(CPACK_DEBIAN_ADAPTER_DESCRIPTION "camera adapter module for machine-vision hosts
QuorvexAIK64.so is the module a machine-vision host application loads to drive
industrial cameras: one channel per camera, acquisition, image delivery and the
cameras' GenICam features as text. aikhost drives it from the command line as a
host would: list the cameras, read and write features, grab images into PNG
files, serve a live view to a browser.
The cameras are reached through a camera family: quorvexaik-aravis for real
GigE Vision and USB3 Vision cameras, quorvexaik-sim for simulated ones.")
set(CPACK_DEBIAN_SIM_DESCRIPTION "simulated cameras for the QuorvexAIK64 module
Camera libraries that simulate a family of industrial cameras, described in
JSON, for testing hosts of the QuorvexAIK64 module without cameras. Installed
beside the module, they take precedence over quorvexaik-aravis: not for
production machines.")
set(CPACK_DEBIAN_ARAVIS_DESCRIPTION "real cameras for the QuorvexAIK64 module through Aravis
Camera libraries over Aravis 0.8 that give the QuorvexAIK64 module GigE Vision
and USB3 Vision cameras. aikhost --backend aravis uses them; a host uses them
whenever quorvexaik-sim is not installed.")

# Every package's doc folder has the copyright and the Debian changelog, gzipped
# without a time stamp as Debian wants it. The entry's date is the commit's.
find_package(Git QUIET)
if(GIT_FOUND)
    execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%aD WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                    OUTPUT_VARIABLE AIK_DEBIAN_CHANGELOG_DATE OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
if(NOT AIK_DEBIAN_CHANGELOG_DATE)
    string(TIMESTAMP AIK_DEBIAN_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
endif()
configure_file(packaging/debian/changelog.in ${CMAKE_BINARY_DIR}/packaging/changelog.Debian @ONLY)
execute_process(COMMAND gzip -9nc ${CMAKE_BINARY_DIR}/packaging/changelog.Debian
                OUTPUT_FILE ${CMAKE_BINARY_DIR}/packaging/changelog.Debian.gz COMMAND_ERROR_IS_FATAL ANY)
foreach(component IN LISTS CPACK_COMPONENTS_ALL)
    string(TOUPPER ${component} upper)
    if(DEFINED CPACK_DEBIAN_${upper}_PACKAGE_NAME)
        set(package ${CPACK_DEBIAN_${upper}_PACKAGE_NAME})
    else()
        set(package quorvexaik-${component})
    endif()
    install(FILES packaging/debian/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.Debian.gz
            DESTINATION share/doc/${package} COMPONENT ${component})
endforeach()
include(CPack)
