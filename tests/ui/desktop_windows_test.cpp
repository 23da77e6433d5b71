// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The real desktop on Windows: the system's message box, read back through the Win32 API.
#include <gtest/gtest.h>
#include <windows.h>

#include <future>

#include "main_window.h"
#include "windows_message_box.h"

namespace {

// Waits for the message box, writes down what it shows, and presses its OK button.
SeenBox readAndDismissMessageBox() {
    const SeenBox seen = seenMessageBox();
    if (seen.window) PostMessageW(seen.window, WM_COMMAND, IDOK, 0);
    return seen;
}

TEST(WindowsDesktop, ShowsTheSystemMessageBoxWithItsTextIconAndOneOkButton) {
    const QString message = RunTexts::FileMissing;
    std::future<SeenBox> seen = std::async(std::launch::async, readAndDismissMessageBox);
    Desktop::real().showMessage(nullptr, message);  // returns once OK is pressed
    const SeenBox box = seen.get();

    ASSERT_TRUE(box.window) << "no message box titled Zeluvar appeared";
    EXPECT_EQ(box.text, message.toStdWString());
    EXPECT_TRUE(box.informationIcon);
    EXPECT_EQ(box.visibleButtons, 1);
    EXPECT_TRUE(box.okButton);
}

}  // namespace
