// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Prints where the real window places each control of its layout table, for the scripts that
// click it and check its frames: one line per control, "name kind left top width height", in
// pixels of the window's client area at 100 % scaling. Built offscreen, the window shows nothing.
#include <fcntl.h>
#include <io.h>

#include <QApplication>
#include <QWidget>
#include <cstdio>

#include "main_window.h"
#include "window_layout.h"

namespace {

const char* nameOf(WindowLayout::Kind kind) {
    using WindowLayout::Kind;
    switch (kind) {
        case Kind::Frame:
            return "Frame";
        case Kind::OptionGroup:
            return "OptionGroup";
        case Kind::WrappingLabel:
            return "WrappingLabel";
        case Kind::Label:
            return "Label";
        case Kind::TextBox:
            return "TextBox";
        case Kind::OptionButton:
            return "OptionButton";
        case Kind::PushButton:
            return "PushButton";
    }
    return "?";
}

}  // namespace

int main(int argc, char** argv) {
    _setmode(_fileno(stdout), _O_BINARY);  // lines end in LF alone, for the scripts' tools
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const Form1 window(Desktop{[](QWidget*, const QString&) {}, [](QWidget*, const QString&) {}});
    for (const WindowLayout::Entry& entry : WindowLayout::Controls) {
        const auto* control = window.findChild<QWidget*>(entry.objectName());
        if (!control) {
            std::fprintf(stderr, "window_layout: no control %s\n", qPrintable(entry.objectName()));
            return 1;
        }
        const QPoint at = control->mapTo(&window, QPoint(0, 0));
        std::printf("%s %s %d %d %d %d\n", qPrintable(entry.objectName()), nameOf(entry.kind),
                    at.x(), at.y(), control->width(), control->height());
    }
    return 0;
}
