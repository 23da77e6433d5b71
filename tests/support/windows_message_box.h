// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a shown Windows message box says, read back through the Win32 API.
#include <windows.h>

#include <string>

struct SeenBox {
    HWND window = nullptr;
    std::wstring title;
    std::wstring text;
    bool informationIcon = false;
    int visibleButtons = 0;
    bool okButton = false;
};

inline std::wstring textOf(HWND window) {
    std::wstring text(std::size_t(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(std::size_t(GetWindowTextW(window, text.data(), int(text.size()))));
    return text;
}

// Waits up to ten seconds for a shown dialog with this title (it exists before its icon and text
// are set, so only a visible one counts) and writes down what it shows.
inline SeenBox seenMessageBox(const wchar_t* title = L"Zeluvar") {
    SeenBox seen;
    for (int i = 0; i < 200 && !seen.window; ++i) {
        const HWND box = FindWindowW(L"#32770", title);
        if (box && IsWindowVisible(box)) seen.window = box;
        if (!seen.window) Sleep(50);
    }
    if (!seen.window) return seen;
    seen.title = textOf(seen.window);
    const HICON information = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_INFORMATION));
    for (HWND child = GetWindow(seen.window, GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[16] = {};
        const std::wstring kind(name, std::size_t(GetClassNameW(child, name, 16)));
        if (kind == L"Static" && (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            seen.informationIcon =
                reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0)) == information;
        else if (kind == L"Static" && seen.text.empty())
            seen.text = textOf(child);
        if (kind == L"Button" && IsWindowVisible(child)) {
            ++seen.visibleButtons;
            seen.okButton = seen.okButton || GetDlgCtrlID(child) == IDOK;
        }
    }
    return seen;
}
