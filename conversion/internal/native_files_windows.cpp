#include <io.h>
#include <windows.h>

#include <QDir>
#include <QFileInfo>

#include "native_files.h"

namespace {

FileState stateOf(const BY_HANDLE_FILE_INFORMATION& info) {
    const auto join = [](DWORD high, DWORD low) { return std::uint64_t(high) << 32 | low; };
    return {info.dwVolumeSerialNumber, join(info.nFileIndexHigh, info.nFileIndexLow),
            std::int64_t(join(info.nFileSizeHigh, info.nFileSizeLow)),
            std::int64_t(
                join(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime))};
}

std::optional<FileState> stateOfHandle(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION info;
    if (handle == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(handle, &info))
        return std::nullopt;
    return stateOf(info);
}

// The name Win32 opens `path` by, written the long way past the old 260-character limit, as Qt
// does for its own file calls.
std::wstring win32Name(const QString& path) {
    QString name = QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    if (name.size() >= MAX_PATH - 12 && !name.startsWith(QLatin1String("\\\\?\\"))) {
        name = name.startsWith(QLatin1String("\\\\")) ? QLatin1String("\\\\?\\UNC") + name.mid(1)
                                                      : QLatin1String("\\\\?\\") + name;
    }
    return name.toStdWString();
}

}  // namespace

std::optional<FileState> stateOfOpenFile(int handle) {
    return stateOfHandle(reinterpret_cast<HANDLE>(_get_osfhandle(handle)));
}

std::optional<FileState> stateOfPath(const QString& path) {
    // Opened for no access, with every sharing allowed, it disturbs no one who has the file open.
    const HANDLE file = CreateFileW(win32Name(path).c_str(), 0,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    const std::optional<FileState> state = stateOfHandle(file);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return state;
}
