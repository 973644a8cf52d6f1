# The Debian package, made by CPack from the installation of QxInstall.cmake:
#   cpack --config build/CPackConfig.cmake -G DEB
# scripts/package.sh does this, checks the result with lintian and leaves the
# package in dist/.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvik-qx)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${QX_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration utility for Orvik QX gaming mice")
set(CPACK_PACKAGE_DESCRIPTION
    "The utility configures the Orvik QX family of wired USB gaming mice, models
QX100 to QX600: the functions of seven buttons, DPI levels, report rate,
lighting and macros, kept in five profiles and written into the mouse.
It stays in the tray for software button functions and usage counters.

The package holds the windowed utility qx-driver, its command-line client
qxctl, and the udev rule that gives the user at the seat access to the
mouse without root.")
set(CPACK_STRIP_FILES TRUE)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${QX_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${QX_PROJECT_URL})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# Runtime dependencies as dpkg-shlibdeps computes them from the programs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Opening files and folders (software functions, the web site button).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${CMAKE_SOURCE_DIR}/res/debian/postinst ${CMAKE_SOURCE_DIR}/res/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)

include(CPack)
