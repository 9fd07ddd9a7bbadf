# The Debian package: `cpack -G DEB` in a build folder (tools/package.sh makes
# one with Debian's build flags). Its dependencies are worked out from the
# programs by dpkg-shlibdeps.

set(ZEPTA_PACKAGE_MAINTAINER "Zepta developers <zepta@zepta.example>"
    CACHE STRING "The package's Maintainer field: name <address>")

# A package carries its copyright notice and a changelog in Debian's format.
set(docDir ${CMAKE_INSTALL_DATADIR}/doc/zepta)
install(FILES copyright DESTINATION ${docDir})
# Dated when configured (or at SOURCE_DATE_EPOCH, for a reproducible package).
string(TIMESTAMP ZEPTA_PACKAGE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(changelog.in changelog @ONLY)
if(ZEPTA_GZIP)
    add_custom_command(OUTPUT changelog.gz
        COMMAND "${ZEPTA_GZIP}" -9nc changelog > changelog.gz
        DEPENDS "${CMAKE_CURRENT_BINARY_DIR}/changelog")
    add_custom_target(debianchangelog ALL DEPENDS changelog.gz)
    install(FILES "${CMAKE_CURRENT_BINARY_DIR}/changelog.gz" DESTINATION ${docDir})
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zepta)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "drive a VFD character module on a serial port")
set(CPACK_PACKAGE_DESCRIPTION [[
Zepta issues the commands of a vacuum-fluorescent-display (VFD) character
module from buttons and lists, shows each command's name, parameters and
bytes, and records the commands into a Log Board to replay, edit and export
(text, Intel HEX, assembler, C). With no module attached, a simulated one
shows on screen what its glass would.

zepta-cli does the same work without a window, for scripts, and zepta-sim
puts the simulated module on a pseudo-terminal for any serial program.]])
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # zepta_1.13_amd64.deb
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ZEPTA_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's libraries only recommend their platform plugins, without which no
# window opens (not even offscreen).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
include(CPack)
