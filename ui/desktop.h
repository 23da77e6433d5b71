// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

class QWidget;

// What the window asks of the desktop. Tests put their own in, so that no test waits on a modal
// message box or starts a browser. The real one is the platform's own: desktop_windows.cpp on
// Windows, desktop_posix.cpp elsewhere.
struct Desktop {
    // A modal message box owned by `owner`: information icon, one OK button, titled Form1::Title.
    std::function<void(QWidget* owner, const QString& text)> showMessage;
    std::function<void(QWidget* owner, const QString& address)> openAddress;

    static Desktop real();
};
