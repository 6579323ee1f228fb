# The Debian package of what `cmake --install` puts in place: the host, its
# data-tree library and the plug-in, under /usr. `./dev package` builds it.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vqadmin)
set(CPACK_PACKAGE_VENDOR VQ)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "VQ phone system administration host with the LYN 2 device plug-in")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "VQ administration developers")
set(CPACK_DEBIAN_PACKAGE_SECTION admin)
# The Qt, SQLite and C++ runtime packages come from what the binaries link.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
