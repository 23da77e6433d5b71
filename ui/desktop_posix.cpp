// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop as Qt offers it, for Linux and other freedesktop systems.
#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

#include "desktop.h"
#include "main_window.h"  // Form1::Title

Desktop Desktop::real() {
    return {
        [](QWidget* owner, const QString& text) {
            QMessageBox box(QMessageBox::Information, Form1::Title, text, QMessageBox::Ok, owner);
            box.exec();
        },
        [](QWidget*, const QString& address) { QDesktopServices::openUrl(QUrl(address)); },
    };
}
