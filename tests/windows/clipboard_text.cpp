// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Puts the UTF-8 text read from standard input on the Windows clipboard, as a Windows program
// that copied it would, for the scripts that type into the real window: they paste what the
// keyboard map cannot type. An X program's clipboard does not serve under Wine 10, which now and
// then pastes the X clipboard's previous text instead of its new one.
// Exits 1 when the clipboard cannot be set.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>

int wmain() {
    _setmode(_fileno(stdin), _O_BINARY);
    std::string bytes;
    char chunk[4096];
    for (std::size_t read; (read = std::fread(chunk, 1, sizeof chunk, stdin)) > 0;)
        bytes.append(chunk, read);
    const int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                                         int(bytes.size()), nullptr, 0);
    if (size <= 0 && !bytes.empty()) return 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (std::size_t(size) + 1) * sizeof(wchar_t));
    if (!memory) return 1;
    auto* text = static_cast<wchar_t*>(GlobalLock(memory));
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), int(bytes.size()), text, size);
    text[size] = L'\0';
    GlobalUnlock(memory);
    // The clipboard needs an owner window for SetClipboardData to keep the text.
    HWND owner =
        CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    // Another program may hold the clipboard open for a moment.
    for (int attempt = 0; !OpenClipboard(owner); ++attempt) {
        if (attempt == 50) return 1;
        Sleep(100);
    }
    EmptyClipboard();
    const bool set = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    CloseClipboard();
    return set ? 0 : 1;
}
