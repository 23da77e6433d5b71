// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>

#include "identity.h"
#include "main_window.h"
#include "running_marker.h"

int main(int argc, char* argv[]) {
    markRunning();
    QApplication application(argc, argv);
    // Ties the window to its menu entry, so the desktop shows the entry's name and icon for it.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(identity::appId));
    Form1 window;
    window.show();
    return application.exec();
}
