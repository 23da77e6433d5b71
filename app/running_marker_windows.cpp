// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A named mutex, which the installer looks for; Windows lets it go when the process ends.
#include <windows.h>

#include "identity.h"
#include "running_marker.h"

void markRunning() {
    CreateMutexW(nullptr, FALSE, identity::runningMarker);
}
