# The Debian package: `cpack -G DEB` in the build folder makes
# pelsok_<version>_<arch>.deb from the install rules. Library dependencies
# come from dpkg-shlibdeps; what it cannot see is named here: the Qt platform
# plugins the window needs to show and the Japanese font it draws with.
set(CPACK_PACKAGE_NAME pelsok)
set(CPACK_PACKAGE_VENDOR "Pelsok")
set(CPACK_PACKAGE_CONTACT "Pelsok developers <pelsok@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Packs a month's log files into one LZH archive per log kind")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Our own libraries in lib/pelsok/ are in the package itself.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/bin)
# libdeflate deflates and inflates the ZIP entries and writes the gzip of TGZ
# archives; libbz2 writes the bzip2 of TBZ archives.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libdeflate0 (>= 1.14), libbz2-1.0")
if(PELSOK_APP)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "${CPACK_DEBIAN_PACKAGE_DEPENDS}, libqt6gui6 (>= 6.4), fonts-ipafont-gothic")
endif()
include(CPack)
