# The Debian package: cpack -G DEB in the build folder (scripts/package does it from a clean
# release build). It holds the program, its catalogue and the desktop integration, not the
# maintainer tools.
set(CPACK_PACKAGE_NAME movra)
set(CPACK_PACKAGE_VENDOR Velmire)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Velmire <movra@velmire.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "browse a catalogue of DVD titles")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Movra shows a catalogue of DVD titles in one window: as a wall of covers,\n"
    "or as a table of ten columns that sorts on a click on a column header.\n"
    "Enter or a double-click shows all of a title's details; the Query menu\n"
    "looks the title up on the web. The catalogue comes with the program and is\n"
    "unpacked into each user's own data folder on the first start.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL Unspecified)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${MOVRA_PACKAGE_RELEASE}) # packaging/CMakeLists.txt
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")

include(CPack)
