# Desktop integration and the Debian package.
install(FILES ${PROJECT_SOURCE_DIR}/data/zanvo.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/data/zanvo.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zanvo)
set(CPACK_PACKAGE_VENDOR "${ZANVO_MAKER}")
set(CPACK_PACKAGE_CONTACT "${ZANVO_MAKER} <zanvo@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Keep lottery boards and check them against a draw")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# The shared libraries are found by dpkg-shlibdeps; the plugins Qt loads at run
# time (the X11 platform and the SVG icon engine) are not, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6")
include(CPack)
