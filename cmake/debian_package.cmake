# The Debian package of what `cmake --install` puts in place: tarnwick,
# tarnwick-cli, the desktop file, the icon and the help page.
# Made from the release build by scripts/package.sh (`cpack -G DEB`).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarnwick)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Collects web links, images, e-mail addresses and key words from web sites and local files")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Tarnwick crawls a web site breadth-first (or scans local files) and shows every web link, "
    "image link, e-mail address and key word hit it found in one results tree, which can be "
    "exported to text files. It also downloads single pages and lists of addresses. The "
    "desktop program is tarnwick; tarnwick-cli does the same work from a terminal.")
set(CPACK_PACKAGE_CONTACT "Tarnwick developers <tarnwick@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
# The libraries the programs link come from dpkg-shlibdeps; Qt loads its
# platform and picture plugins at run time, so those are named here.
find_program(TARNWICK_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(TARNWICK_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6")
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "libc6, libstdc++6, libgcc-s1, libcurl4, libqt6core6, libqt6gui6, libqt6widgets6, qt6-qpa-plugins, libqt6svg6")
endif()
include(CPack)
