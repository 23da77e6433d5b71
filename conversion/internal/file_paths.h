// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// A path as the user typed or pasted it, made usable: white space and line ends around it
// removed, and one pair of double quotes around it too (Explorer's 复制为路径 adds them, and no
// file name can hold one).
QString cleanedPath(const QString& typed);
