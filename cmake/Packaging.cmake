# The Debian package of what `cmake --install` puts in place: the host, its
# data-tree library and the plug-in, under /usr. `./dev package` builds it.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vqadmin)
set(CPACK_PACKAGE_VENDOR VQ)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "VQ phone system administration host with the LYN 2 device plug-in")
set(CPACK_PACKAGE_DESCRIPTION "vqadmin keeps the VQ phone system's configuration in one SQLite database and
administers its LYN 2 SIP desk phones through a device plug-in: site files
imported and exported, profiles and devices edited in dialogs with context
help, validation, scripting and remote automation.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "VQ administration developers <vqadmin-dev@vq.com>")
set(CPACK_DEBIAN_PACKAGE_SECTION admin)
# The Qt, SQLite and C++ runtime packages come from what the binaries link;
# the SVG icon engine that draws the window's icon is a Qt plug-in, which nothing links.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS libqt6svg6)

# What Debian asks of every package: its copyright, and a changelog (compressed
# without a time stamp, so the same sources give the same package).
set(VQ_INSTALL_PACKAGEDOCDIR ${CMAKE_INSTALL_DATADIR}/doc/vqadmin)
configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/changelog.in ${CMAKE_BINARY_DIR}/debian/changelog @ONLY)
execute_process(COMMAND gzip -9 -n -f ${CMAKE_BINARY_DIR}/debian/changelog)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/debian/copyright ${CMAKE_BINARY_DIR}/debian/changelog.gz
  DESTINATION ${VQ_INSTALL_PACKAGEDOCDIR})
include(CPack)
