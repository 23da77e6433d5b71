# SPDX-FileCopyrightText: 2026 Zeluvar developers
# SPDX-License-Identifier: GPL-3.0-or-later
# `cpack` in a build directory writes zeluvar_<version>_<arch>.deb from what `cmake --install` puts.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zeluvar)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Zeluvar)
set(CPACK_PACKAGE_CONTACT "Zeluvar maintainers <maintainers@zeluvar.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "convert a CSV contact list into a vCard file for phones")
set(CPACK_PACKAGE_DESCRIPTION [[
Zeluvar reads a contact list saved as CSV, for example from a spreadsheet,
and writes all of its contacts into one vCard 2.1 file that a phone can
import in a single step. Its window is in Simplified Chinese.]])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Debug information stays out of the package, whatever the build type.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://zeluvar.example/)
# Depends comes from the libraries the executable links (dpkg-shlibdeps, from dpkg-dev).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's text is Chinese; without a CJK font it shows as boxes.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk | fonts-wqy-microhei")

include(CPack)
