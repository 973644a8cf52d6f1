# The installation (cmake --install, any prefix and DESTDIR): the folder the
# utility runs from (appFolder) below <prefix>/lib/orvik-qx, the two programs
# reachable from <prefix>/bin through relative links (so /proc/self/exe still
# names the real folder), and what the desktop reads beside them: the udev
# rule, the menu entry and its icons, the AppStream metadata, the manual
# pages, the shell completion and the package's documents.
include(GNUInstallDirs)

set(QX_INSTALL_APPDIR "lib/orvik-qx" CACHE STRING
    "The installation folder the utility runs from, below the prefix")
set(QX_INSTALL_UDEVRULESDIR "lib/udev/rules.d" CACHE STRING "udev rules, below the prefix")
set(QX_PROJECT_URL "https://orvik-qx.example.org" CACHE STRING
    "The project's public home: AppStream homepage and screenshot base, package homepage")
set(QX_MAINTAINER "Orvik QX utility developers <maintainers@orvik-qx.example.org>" CACHE STRING
    "The package's maintainer, name and address")
# The day of the version in project(): AppStream release, manual pages.
set(QX_RELEASE_DATE "2026-12-11")
# The mouse as software centres match it (base/MouseIdentity.h; a test compares).
set(QX_MOUSE_VID "7D3A")
set(QX_MOUSE_PID "6E41")

set(QX_SHARE_BUILD_DIR ${CMAKE_BINARY_DIR}/share)

# The installation folder.
set(QX_APP_PROGRAMS qxctl qx-virtual-mouse)
if(QX_BUILD_UI)
  list(PREPEND QX_APP_PROGRAMS qx-driver)
endif()
install(TARGETS ${QX_APP_PROGRAMS} RUNTIME DESTINATION ${QX_INSTALL_APPDIR})
set(QX_APP_PLUGINS HidParse)
if(QX_BUILD_UI)
  list(APPEND QX_APP_PLUGINS MenuEx)
endif()
# Loaded with dlopen, never run: no execute bit.
install(TARGETS ${QX_APP_PLUGINS} LIBRARY DESTINATION ${QX_INSTALL_APPDIR}
        PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
install(DIRECTORY ${QX_APP_DIR}/Language DESTINATION ${QX_INSTALL_APPDIR}
        FILES_MATCHING PATTERN "*.xml")
if(QX_BUILD_UI)
  # All of it: the art generator paints nothing else there, and names such
  # as Menu/*.BMP differ in case from the rest.
  install(DIRECTORY ${QX_APP_DIR}/skins DESTINATION ${QX_INSTALL_APPDIR})
endif()
# The update server setting only: downloads go to FWUpdate/new_version, which
# the update check creates where it may (see the manual page's notes).
install(FILES ${CMAKE_SOURCE_DIR}/res/FWUpdate/update.ini DESTINATION ${QX_INSTALL_APPDIR}/FWUpdate)

# <prefix>/bin: relative links into the installation folder.
file(RELATIVE_PATH QX_BIN_TO_APPDIR /${CMAKE_INSTALL_BINDIR} /${QX_INSTALL_APPDIR})
set(QX_LINK_DIR ${CMAKE_BINARY_DIR}/install-links)
file(MAKE_DIRECTORY ${QX_LINK_DIR})
set(QX_BIN_PROGRAMS qxctl)
if(QX_BUILD_UI)
  list(PREPEND QX_BIN_PROGRAMS qx-driver)
endif()
foreach(program ${QX_BIN_PROGRAMS})
  file(CREATE_LINK ${QX_BIN_TO_APPDIR}/${program} ${QX_LINK_DIR}/${program} SYMBOLIC)
  install(FILES ${QX_LINK_DIR}/${program} DESTINATION ${CMAKE_INSTALL_BINDIR})
endforeach()

install(FILES ${CMAKE_SOURCE_DIR}/res/udev/70-orvik-qx.rules DESTINATION ${QX_INSTALL_UDEVRULESDIR})

# The desktop: menu entry, icons (painted by the art generator), metadata.
if(QX_BUILD_UI)
  install(FILES ${CMAKE_SOURCE_DIR}/res/desktop/qx-driver.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(DIRECTORY ${QX_ICON_DIR}/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
  configure_file(${CMAKE_SOURCE_DIR}/res/desktop/com.orvik.qxdriver.metainfo.xml.in
                 ${QX_SHARE_BUILD_DIR}/metainfo/com.orvik.qxdriver.metainfo.xml @ONLY)
  install(FILES ${QX_SHARE_BUILD_DIR}/metainfo/com.orvik.qxdriver.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

# Manual pages and the changelog, compressed the way Debian wants them
# (gzip -9n: no name or time inside, so the same input gives the same bytes).
find_program(QX_GZIP gzip REQUIRED)
set(QX_MAN_PAGES qxctl)
if(QX_BUILD_UI)
  list(PREPEND QX_MAN_PAGES qx-driver)
endif()
set(QX_COMPRESSED_DOCS)
foreach(page ${QX_MAN_PAGES})
  configure_file(${CMAKE_SOURCE_DIR}/res/man/${page}.1.in ${QX_SHARE_BUILD_DIR}/man/man1/${page}.1
                 @ONLY)
  list(APPEND QX_COMPRESSED_DOCS ${QX_SHARE_BUILD_DIR}/man/man1/${page}.1)
endforeach()
configure_file(${CMAKE_SOURCE_DIR}/res/debian/changelog.in
               ${QX_SHARE_BUILD_DIR}/doc/orvik-qx/changelog @ONLY)
list(APPEND QX_COMPRESSED_DOCS ${QX_SHARE_BUILD_DIR}/doc/orvik-qx/changelog)
set(QX_COMPRESSED_OUTPUTS)
foreach(doc ${QX_COMPRESSED_DOCS})
  add_custom_command(OUTPUT ${doc}.gz
    COMMAND ${QX_GZIP} -9n -c ${doc} > ${doc}.gz
    DEPENDS ${doc})
  list(APPEND QX_COMPRESSED_OUTPUTS ${doc}.gz)
endforeach()
add_custom_target(qx_compressed_docs ALL DEPENDS ${QX_COMPRESSED_OUTPUTS})
foreach(page ${QX_MAN_PAGES})
  install(FILES ${QX_SHARE_BUILD_DIR}/man/man1/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
install(FILES ${QX_SHARE_BUILD_DIR}/doc/orvik-qx/changelog.gz
              ${CMAKE_SOURCE_DIR}/res/debian/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

install(FILES ${CMAKE_SOURCE_DIR}/res/completion/qxctl.bash
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME qxctl)
