// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Files as POSIX systems name and keep them: a path is what it says, a colon included.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>

#include "native_files.h"

QString outputFilePath(const QString& path) {
    return path;
}

std::uint32_t attributesToKeep(const QString&) {
    return 0;
}

void restoreAttributes(const QString&, std::uint32_t) {}

namespace {

FileState stateOf(const struct stat& info) {
    return {std::uint64_t(info.st_dev), std::uint64_t(info.st_ino), std::int64_t(info.st_size),
            std::int64_t(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec};
}

}  // namespace

std::optional<FileState> stateOfOpenFile(int handle) {
    struct stat info;
    if (fstat(handle, &info) != 0) return std::nullopt;
    return stateOf(info);
}

std::optional<FileState> stateOfPath(const QString& path) {
    struct stat info;
    if (stat(QFile::encodeName(path).constData(), &info) != 0) return std::nullopt;
    return stateOf(info);
}

bool openRegularFile(QFile& file, const QString& path) {
    // Without O_NONBLOCK, opening a FIFO waits for a writer; a regular file reads the same either
    // way.
    const int handle = open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (handle < 0) return false;
    struct stat info;
    const bool regular = fstat(handle, &info) == 0 && S_ISREG(info.st_mode) &&
                         fcntl(handle, F_SETFL, fcntl(handle, F_GETFL) & ~O_NONBLOCK) == 0;
    if (regular && file.open(handle, QIODevice::ReadOnly | QIODevice::Unbuffered,
                             QFileDevice::AutoCloseHandle))
        return true;
    close(handle);
    return false;
}
