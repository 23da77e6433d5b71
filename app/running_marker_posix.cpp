// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Linux packages replace files of a running program safely: nothing to say.
#include "running_marker.h"

void markRunning() {}
