// Prints the title and the text of the program's shown message box (or of the one with the title
// given), one per line in UTF-8, for the scripts that drive the real window and the installer:
// Wine's message boxes cannot copy themselves with Ctrl+C as Windows' do. Exits 1 when no message
// box is shown.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>

#include "windows_message_box.h"

namespace {

std::string utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string bytes(std::size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), bytes.data(), size, nullptr,
                        nullptr);
    return bytes;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const SeenBox box = argc > 1 ? seenMessageBox(argv[1]) : seenMessageBox();
    if (!box.window) return 1;
    const std::string shown = utf8(box.title) + "\n" + utf8(box.text) + "\n";
    _setmode(_fileno(stdout), _O_BINARY);  // "\n" as it stands, not "\r\n"
    std::fwrite(shown.data(), 1, shown.size(), stdout);
    return 0;
}
