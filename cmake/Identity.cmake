# SPDX-FileCopyrightText: 2026 Zeluvar developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Who the program is, said once: its name, version and home page in the project() line, the rest
# here. The code, the Windows resources and installer, the desktop entry, the metainfo, the
# Debian package and the test scripts all read these values, through the files made below.

# The reverse-DNS id that names the desktop entry, the metainfo and the icons.
set(ZELUVAR_APP_ID example.zeluvar.Zeluvar)
# Who ships the program, as Windows shows it in the file properties and the installed programs.
set(ZELUVAR_PUBLISHER Zeluvar)
# The named mutex Zeluvar holds while it runs; the Windows installer waits until it is gone.
set(ZELUVAR_RUNNING_MARKER "Global\\Zeluvar-running")

# For the C++ code: identity.h, in the include path of the `identity` target.
string(REPLACE "\\" "\\\\" ZELUVAR_RUNNING_MARKER_C "${ZELUVAR_RUNNING_MARKER}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/identity.h.in ${PROJECT_BINARY_DIR}/identity/identity.h @ONLY)
add_library(identity INTERFACE)
target_include_directories(identity INTERFACE ${PROJECT_BINARY_DIR}/identity)

# For the scripts, which source identity.sh from the build folder.
configure_file(${CMAKE_CURRENT_LIST_DIR}/identity.sh.in ${PROJECT_BINARY_DIR}/identity.sh @ONLY)
