# SPDX-License-Identifier: GPL-3.0-or-later
# Desktop integration, manual pages, bash completion and the Debian package.
set(ZANVO_MAINTAINER "${ZANVO_MAKER} <zanvo@zanvo.invalid>" CACHE STRING
    "Who answers for the package, as \"Name <address>\": the package's Maintainer and changelog signer")

set(data ${PROJECT_SOURCE_DIR}/data)
set(docs_out ${PROJECT_BINARY_DIR}/docs)

install(FILES ${data}/${ZANVO_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${data}/${ZANVO_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${data}/zanvo.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${data}/zanvo-tool.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME zanvo-tool)

# The changelog and the copyright file carry the maintainer's address.
configure_file(${data}/changelog.in ${docs_out}/changelog @ONLY)
configure_file(${data}/copyright.in ${docs_out}/copyright @ONLY)
install(FILES ${docs_out}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

# Debian wants manual pages and the changelog gzipped at full strength and
# without a time stamp, so the same sources give the same package.
find_program(ZANVO_GZIP gzip REQUIRED)
set(compressed)
foreach(source IN ITEMS ${PROJECT_SOURCE_DIR}/docs/man/zanvo.1
                        ${PROJECT_SOURCE_DIR}/docs/man/zanvo-tool.1
                        ${docs_out}/changelog)
    get_filename_component(name ${source} NAME)
    add_custom_command(OUTPUT ${docs_out}/${name}.gz
        COMMAND sh -c "\"$0\" -9nc \"$1\" > \"$2\"" ${ZANVO_GZIP} ${source} ${docs_out}/${name}.gz
        DEPENDS ${source}
        COMMENT "Compressing ${name}"
        VERBATIM)
    list(APPEND compressed ${docs_out}/${name}.gz)
endforeach()
add_custom_target(zanvo_docs ALL DEPENDS ${compressed})
install(FILES ${docs_out}/zanvo.1.gz ${docs_out}/zanvo-tool.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${docs_out}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zanvo)
set(CPACK_PACKAGE_VENDOR "${ZANVO_MAKER}")
set(CPACK_PACKAGE_CONTACT "${ZANVO_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Keep lottery boards and check them against a draw")
set(CPACK_PACKAGE_DESCRIPTION [=[
Zanvo keeps a list of lottery boards, each a row of 25 numbers shown as a
5 x 5 grid of cells to type into, and checks them against a draw: every cell
whose number was drawn turns green. Boards can be added empty or filled with
25 distinct random numbers from 0 to 99. The boards are saved with their
colours to a board file and opened again; a damaged file is refused with a
message and the boards on screen stay.

The package also holds zanvo-tool, which shows, checks, fills and converts
board files to and from CSV on the command line, without a display, and
writes a PDF report of the checked boards for a lottery pool.]=])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# Debian ships programs without their symbol tables.
set(CPACK_STRIP_FILES ON)
# The shared libraries are found by dpkg-shlibdeps; the plugins Qt loads at run
# time (the X11 platform and the SVG icon engine) are not, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6")
include(CPack)
