# What an installation holds beside the programs (desktop entry, file type, icons,
# AppStream metadata, Debian documentation), and `make package`: a Debian package
# of all of it built by CPack, its dependencies found by dpkg-shlibdeps.
include(GNUInstallDirs)

set(PEXLORA_DIST ${PROJECT_SOURCE_DIR}/dist)
set(PEXLORA_GENERATED ${PROJECT_BINARY_DIR}/dist)

install(FILES ${PEXLORA_DIST}/org.pexlora.Pexlora.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PEXLORA_DIST}/org.pexlora.Pexlora.mime.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME org.pexlora.Pexlora.xml)
install(FILES ${PEXLORA_DIST}/org.pexlora.Pexlora.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PEXLORA_DIST}/org.pexlora.Pexlora.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/mimetypes RENAME application-x-pexlora.svg)

configure_file(${PEXLORA_DIST}/org.pexlora.Pexlora.metainfo.xml.in
  ${PEXLORA_GENERATED}/org.pexlora.Pexlora.metainfo.xml @ONLY)
install(FILES ${PEXLORA_GENERATED}/org.pexlora.Pexlora.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Debian wants the changelog compressed without a time stamp, and the copyright beside it.
execute_process(COMMAND date -R -u -d "${PEXLORA_RELEASE_DATE} 12:00"
  OUTPUT_VARIABLE PEXLORA_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE)
configure_file(${PEXLORA_DIST}/debian/changelog.in ${PEXLORA_GENERATED}/changelog @ONLY)
execute_process(COMMAND gzip -9nc ${PEXLORA_GENERATED}/changelog OUTPUT_FILE ${PEXLORA_GENERATED}/changelog.gz)
install(FILES ${PEXLORA_GENERATED}/changelog.gz ${PEXLORA_DIST}/debian/copyright
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/pexlora)

foreach(page pexlora.1 pexlora-console-sim.1)
  execute_process(COMMAND gzip -9nc ${PEXLORA_DIST}/${page} OUTPUT_FILE ${PEXLORA_GENERATED}/${page}.gz)
  install(FILES ${PEXLORA_GENERATED}/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
# Compressed again when a page changes.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${PEXLORA_DIST}/pexlora.1 ${PEXLORA_DIST}/pexlora-console-sim.1 ${PEXLORA_DIST}/debian/changelog.in)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pexlora)
set(CPACK_PACKAGE_VENDOR "The Pexlora developers")
set(CPACK_PACKAGE_CONTACT "The Pexlora developers <developers@pexlora.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "channel layouts and group recording for ETC Eos consoles")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Pexlora lays out the channels of an ETC Eos lighting console on a grid of\n"
  "cells. A marquee dragged over the cells orders them row by row, column by\n"
  "column, or in groups per column, row or diagonal. The selection is played\n"
  "back on the grid and recorded on the console as a group over OSC.\n"
  "The package also holds pexlora-console-sim, a stand-in for the console.")
string(JOIN "" CPACK_DEBIAN_PACKAGE_DESCRIPTION ${CPACK_DEBIAN_PACKAGE_DESCRIPTION})
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://pexlora.org/")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded as plugins, so dpkg-shlibdeps cannot see them: the SVG icons.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
# Native Wayland windows, and a browser for the help page.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, xdg-utils")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_OUTPUT_FILE_PREFIX ${PROJECT_BINARY_DIR}/package)
include(CPack)
