# `make deb`: velmora_VERSION_amd64.deb, CPack's DEB generator over the install
# rules, with /usr as the prefix and the library dependencies that
# dpkg-shlibdeps finds in the programs.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Corvane Software")
set(CPACK_PACKAGE_CONTACT "Corvane Software <dev@velmora.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "batch processor for files of the SCORE music-notation program")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${VELMORA_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The SVG icons of the window need Qt's SVG plugin, which no library links.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Velmora runs one task over a whole group of SCORE files and logs its
progress file by file: conditional editing with macros of steps, deleting
blank staves and inserting them again from a template, beam angles from
libraries that learn, removing overlaps between notes, item counts, a
report of the project, and crop marks, bounding boxes, renaming and
splitting for SCORE-made EPS files.

The package holds the window program velmora, the command-line tool
velmora-cli, the manual and a sample project.")
include(CPack)
