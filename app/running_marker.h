// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Says, for as long as the process runs, that Zeluvar runs: on Windows to its installer and
// uninstaller, which must not replace or remove files in use (resources/windows/zeluvar.nsi).
// running_marker_windows.cpp on Windows; elsewhere no package asks, and it does nothing.
void markRunning();
