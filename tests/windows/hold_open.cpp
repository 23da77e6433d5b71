// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Keeps a file open for the given number of seconds, as a program using it would, so that it
// cannot be deleted meanwhile; prints "held" once it holds it. Usage: hold_open FILE SECONDS
#include <windows.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return 100;
    const HANDLE file = CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    std::puts("held");
    std::fflush(stdout);
    Sleep(DWORD(std::wcstoul(argv[2], nullptr, 10)) * 1000);
    CloseHandle(file);
    return 0;
}
