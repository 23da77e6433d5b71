// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop as Windows offers it: the system's own message box, and the shell's "open" verb,
// which hands a web address to the user's default browser.
#include <windows.h>
// shellapi.h needs the types of windows.h first.
#include <shellapi.h>

#include <QGuiApplication>

#include "desktop.h"
#include "main_window.h"  // Form1::Title
#include "win32_text.h"

namespace {

// Only windows drawn by the Windows platform have a handle to own a message box; the offscreen
// platform of the tests gives ids that are none.
HWND handleOf(QWidget* widget) {
    if (!widget || QGuiApplication::platformName() != QLatin1String("windows")) return nullptr;
    return reinterpret_cast<HWND>(widget->window()->winId());
}

}  // namespace

Desktop Desktop::real() {
    return {
        [](QWidget* owner, const QString& text) {
            MessageBoxW(handleOf(owner), wide(text), wide(Form1::Title),
                        MB_OK | MB_ICONINFORMATION);
        },
        [](QWidget* owner, const QString& address) {
            ShellExecuteW(handleOf(owner), L"open", wide(address), nullptr, nullptr, SW_SHOWNORMAL);
        },
    };
}
