# The Debian package, built by CPack from the install rules of the folders (`make package`).
# Runtime libraries are found by dpkg-shlibdeps; xdg-utils opens files and web pages from the
# window, and the report is laid out for Liberation fonts' metrics.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lodestar)
set(CPACK_PACKAGE_VENDOR "Lodestar developers")
set(CPACK_PACKAGE_CONTACT "Lodestar developers <dev@lodestar.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "show the tag structure of TIFF files")
set(CPACK_PACKAGE_DESCRIPTION
    "Lodestar shows what is inside a TIFF file: its header, its chain of image file\n\
directories and every tag entry with its position, type, count and value. Open\n\
one file and read it page by page, print the listing, or inventory whole\n\
directory trees of scans into CSV text.\n\
\n\
The package holds the window program lodestar and the command-line tool\n\
lodestar-cli, which lists a page or a whole file (also as JSON) and runs the\n\
same batch inventory from scripts.")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "xdg-utils, fonts-liberation2")
# Control files with the owners and modes Debian policy asks for.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# Debian wants the copyright and a changelog with every package.
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/${CPACK_PACKAGE_NAME})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/debian/copyright DESTINATION ${doc_dir})
set(changelog ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian)
string(TIMESTAMP changelog_date "%a, %d %b %Y %H:%M:%S +0000" UTC)
file(WRITE ${changelog}
     "lodestar (${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE}) unstable; urgency=medium\n\n"
     "  * Package built from the project's sources.\n\n"
     " -- ${CPACK_PACKAGE_CONTACT}  ${changelog_date}\n")
add_custom_command(
  OUTPUT ${changelog}.gz
  COMMAND gzip -9 -n -f -k ${changelog}
  DEPENDS ${changelog}
  VERBATIM)
add_custom_target(lodestar_changelog ALL DEPENDS ${changelog}.gz)
install(FILES ${changelog}.gz DESTINATION ${doc_dir})

include(CPack)
