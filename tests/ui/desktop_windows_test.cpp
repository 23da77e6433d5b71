// The real desktop on Windows: the system's message box, read back through the Win32 API.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>

#include "main_window.h"

namespace {

struct SeenBox {
    bool found = false;
    std::wstring text;
    bool informationIcon = false;
    int visibleButtons = 0;
    bool okButton = false;
};

std::wstring classOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// The dialog titled "Zeluvar" once it is shown: it exists before its icon and text are set.
HWND shownMessageBox() {
    const HWND box = FindWindowW(L"#32770", L"Zeluvar");
    return box && IsWindowVisible(box) ? box : nullptr;
}

// Waits for the message box, writes down what it shows, and presses its OK button.
SeenBox readAndDismissMessageBox() {
    SeenBox seen;
    HWND box = nullptr;
    for (int i = 0; i < 200 && !box; ++i) {
        box = shownMessageBox();
        if (!box) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (!box) return seen;
    seen.found = true;
    const HICON information = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_INFORMATION));
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const std::wstring kind = classOf(child);
        const LONG style = GetWindowLongW(child, GWL_STYLE);
        if (kind == L"Static" && (style & SS_TYPEMASK) == SS_ICON)
            seen.informationIcon =
                reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0)) == information;
        else if (kind == L"Static" && seen.text.empty()) {
            wchar_t text[256] = {};
            GetWindowTextW(child, text, 256);
            seen.text = text;
        }
        if (kind == L"Button" && IsWindowVisible(child)) {
            ++seen.visibleButtons;
            seen.okButton = seen.okButton || GetDlgCtrlID(child) == IDOK;
        }
    }
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    return seen;
}

TEST(WindowsDesktop, ShowsTheSystemMessageBoxWithItsTextIconAndOneOkButton) {
    const QString message = RunTexts::FileMissing;
    std::future<SeenBox> seen = std::async(std::launch::async, readAndDismissMessageBox);
    Desktop::real().showMessage(nullptr, message);  // returns once OK is pressed
    const SeenBox box = seen.get();

    ASSERT_TRUE(box.found) << "no message box titled Zeluvar appeared";
    EXPECT_EQ(box.text, message.toStdWString());
    EXPECT_TRUE(box.informationIcon);
    EXPECT_EQ(box.visibleButtons, 1);
    EXPECT_TRUE(box.okButton);
}

}  // namespace
