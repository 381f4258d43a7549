# SPDX-License-Identifier: GPL-3.0-or-later
# Desktop integration, manual pages and bash completion. The Debian package is
# built from debian/ with dpkg-buildpackage, which also installs the changelog
# and the copyright file and compresses the manual pages.
set(data ${PROJECT_SOURCE_DIR}/data)

install(FILES ${data}/${ZANVO_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${data}/${ZANVO_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${data}/zanvo.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${data}/zanvo-tool.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME zanvo-tool)
install(FILES ${PROJECT_SOURCE_DIR}/docs/man/zanvo.1 ${PROJECT_SOURCE_DIR}/docs/man/zanvo-tool.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
