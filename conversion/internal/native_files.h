#pragma once

#include <QString>
#include <cstdint>
#include <optional>

// File calls that each platform answers its own way: native_files_posix.cpp and
// native_files_windows.cpp.

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
