// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// A text as Win32's wide-character calls take it: QString holds the same UTF-16, so no copy is
// made. Valid while `text` lives unchanged.
inline const wchar_t* wide(const QString& text) {
    static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows only: wchar_t is UTF-16 there");
    return reinterpret_cast<const wchar_t*>(text.utf16());
}
