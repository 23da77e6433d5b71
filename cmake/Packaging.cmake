# SPDX-FileCopyrightText: 2026 Zeluvar developers
# SPDX-License-Identifier: GPL-3.0-or-later
# `cpack` in a build directory writes zeluvar_<version>_<arch>.deb from what `cmake --install` puts.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zeluvar)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR ${ZELUVAR_PUBLISHER})
set(CPACK_PACKAGE_CONTACT "Zeluvar maintainers <maintainers@zeluvar.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY ${PROJECT_DESCRIPTION})
set(CPACK_PACKAGE_DESCRIPTION [[
Zeluvar reads a contact list saved as CSV, for example from a spreadsheet,
and writes all of its contacts into one vCard 2.1 file that a phone can
import in a single step. Its window is in Simplified Chinese.]])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Debug information stays out of the package, whatever the build type.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PROJECT_HOMEPAGE_URL})
# Depends comes from the libraries the executable links (dpkg-shlibdeps, from dpkg-dev).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's text is Chinese; without a CJK font it shows as boxes.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk | fonts-wqy-microhei")

# What Debian asks of every package besides the program: its copyright in the machine-readable
# format, its changelog (made from the metainfo's releases) and a manual page for each program,
# the last two compressed without the name or time that would make two builds differ.
include(GNUInstallDirs)
include(${CMAKE_CURRENT_LIST_DIR}/DebianChangelog.cmake)
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/${CPACK_PACKAGE_NAME})
configure_file(${CMAKE_CURRENT_LIST_DIR}/debian-copyright.in ${PROJECT_BINARY_DIR}/copyright @ONLY)
write_debian_changelog(${PROJECT_SOURCE_DIR}/resources/zeluvar.metainfo.xml.in ${CPACK_PACKAGE_NAME}
                       "${CPACK_PACKAGE_CONTACT}" ${PROJECT_BINARY_DIR}/changelog ZELUVAR_RELEASE_DATE)
configure_file(${PROJECT_SOURCE_DIR}/resources/zeluvar.1.in ${PROJECT_BINARY_DIR}/zeluvar.1 @ONLY)
foreach(file changelog zeluvar.1)
    add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/${file}.gz
                       COMMAND gzip -9nkf ${PROJECT_BINARY_DIR}/${file}
                       DEPENDS ${PROJECT_BINARY_DIR}/${file} VERBATIM)
endforeach()
add_custom_target(debian_documents ALL DEPENDS ${PROJECT_BINARY_DIR}/changelog.gz ${PROJECT_BINARY_DIR}/zeluvar.1.gz)
install(FILES ${PROJECT_BINARY_DIR}/copyright ${PROJECT_BINARY_DIR}/changelog.gz DESTINATION ${doc_dir})
install(FILES ${PROJECT_BINARY_DIR}/zeluvar.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

include(CPack)
