// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

class QFile;

// How the platform names and keeps files: native_files_windows.cpp on Windows,
// native_files_posix.cpp elsewhere.

// The name the output file is given. On Windows, the whole path as Win32 makes it
// (GetFullPathNameW): no name may end in a dot or a space, which Explorer and most programs cannot
// open, and a \\?\ path on a drive or a share becomes a plain one, which Qt lengthens itself where
// need be. Empty when that names no file to write: a device (CON), a folder, a stream of a file
// (NTFS takes a colon after the drive for one), or a \\?\ path of another kind (a volume by its
// GUID, GLOBALROOT), which has no plain form. Elsewhere the path as it is.
QString outputFilePath(const QString& path);

// The attributes of the file at `path` that a new file put in its place takes over: on Windows
// hidden and system, which the user set. None elsewhere, where QSaveFile keeps the mode itself.
std::uint32_t attributesToKeep(const QString& path);

// Gives the file at `path` the attributes `kept` again, beside those it has.
void restoreAttributes(const QString& path, std::uint32_t kept);

// Which file a handle or a path names, and how it stands.
struct FileState {
    std::uint64_t volume = 0;  // the device, or the volume's serial number
    std::uint64_t index = 0;   // the inode, or the file index on that volume
    std::int64_t size = 0;
    std::int64_t modified = 0;  // the last write, in the platform's own ticks

    bool isSameFile(const FileState& other) const {
        return volume == other.volume && index == other.index;
    }
    bool operator==(const FileState&) const = default;
};

// The file open as C library descriptor `handle` (QFile::handle()), asked through that handle.
std::optional<FileState> stateOfOpenFile(int handle);

// The file `path` names now; nothing when it names none.
std::optional<FileState> stateOfPath(const QString& path);

// Opens the file at `path` as `file`, to read, unbuffered. False unless it is a regular file: a
// FIFO or device put under the name is refused without waiting for a writer or for data.
bool openRegularFile(QFile& file, const QString& path);
