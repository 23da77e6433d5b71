// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Starts the command line given as its one argument exactly as it stands (CreateProcessW), waits
// for the program and exits with its exit code. Wine quotes each argument of `wine program ...`
// when it builds the command line, and NSIS installers take /D= only unquoted.
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) return 100;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, argv[1], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return 101;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 102;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return int(status);
}
