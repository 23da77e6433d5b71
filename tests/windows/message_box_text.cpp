// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Prints the title and the text of the program's shown message box (or of the one with the title
// given), one per line in UTF-8, for the scripts that drive the real window and the installer:
// Wine's message boxes cannot copy themselves with Ctrl+C as Windows' do. Exits 1 when no message
// box is shown.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>

#include "windows_message_box.h"

int wmain(int argc, wchar_t** argv) {
    const SeenBox box = argc > 1 ? seenMessageBox(argv[1]) : seenMessageBox();
    if (!box.window) return 1;
    const std::wstring shown = box.title + L"\n" + box.text + L"\n";
    std::string bytes(shown.size() * 3, '\0');  // UTF-8 takes at most 3 bytes a UTF-16 unit
    bytes.resize(
        std::size_t(WideCharToMultiByte(CP_UTF8, 0, shown.data(), int(shown.size()), bytes.data(),
                                        int(bytes.size()), nullptr, nullptr)));
    _setmode(_fileno(stdout), _O_BINARY);  // "\n" as it stands, not "\r\n"
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    return 0;
}
