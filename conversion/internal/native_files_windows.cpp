// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Files as Win32 names and keeps them.
#include <io.h>
#include <windows.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <string>

#include "native_files.h"
#include "win32_text.h"

namespace {

// A \\?\ path on a drive or a share, written the plain way: Qt puts the prefix on itself where a
// path needs it, and mangles one it is given. Any other \\?\ path (\\?\Volume{...},
// \\?\GLOBALROOT\...) has no plain form, and with its prefix cut off it would name a place under
// the working folder: it gives nothing.
QString withoutLongPrefix(const QString& path) {
    const QLatin1String longPrefix("\\\\?\\"), sharePrefix("\\\\?\\UNC\\");
    if (path.startsWith(sharePrefix, Qt::CaseInsensitive))
        return QLatin1String("\\\\") + path.mid(sharePrefix.size());
    if (!path.startsWith(longPrefix)) return path;
    const QString rest = path.mid(longPrefix.size());
    const bool onDrive = rest.size() >= 3 && rest[0].isLetter() && rest[0].unicode() < 0x80 &&
                         rest[1] == u':' && rest[2] == u'\\';
    return onDrive ? rest : QString();
}

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
QString win32Name(const QString& path) {
    QString name = QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    if (name.size() >= MAX_PATH - 12 && !name.startsWith(QLatin1String("\\\\?\\"))) {
        name = name.startsWith(QLatin1String("\\\\")) ? QLatin1String("\\\\?\\UNC") + name.mid(1)
                                                      : QLatin1String("\\\\?\\") + name;
    }
    return name;
}

}  // namespace

QString outputFilePath(const QString& path) {
    const QString win32 = withoutLongPrefix(QDir::toNativeSeparators(path));
    if (win32.isEmpty()) return {};
    std::wstring whole(GetFullPathNameW(wide(win32), 0, nullptr, nullptr), L'\0');
    const DWORD size = GetFullPathNameW(wide(win32), DWORD(whole.size()), whole.data(), nullptr);
    if (size == 0 || size >= whole.size()) return {};
    const QString made = QString::fromWCharArray(whole.data(), int(size));
    // Reserved names become devices (\\.\CON), a name of dots and spaces only the folder itself.
    if (made.startsWith(QLatin1String("\\\\.\\")) || made.endsWith(u'\\')) return {};
    // The whole path is X:\... or \\server\share\...: any colon after the drive names a stream,
    // which NTFS would create inside the file before the colon, the user's list maybe.
    if (made.indexOf(u':', 2) >= 0) return {};
    return made;
}

std::uint32_t attributesToKeep(const QString& path) {
    const DWORD found = GetFileAttributesW(wide(win32Name(path)));
    if (found == INVALID_FILE_ATTRIBUTES) return 0;
    return found & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
}

void restoreAttributes(const QString& path, std::uint32_t kept) {
    if (!kept) return;
    const QString name = win32Name(path);
    DWORD now = GetFileAttributesW(wide(name));
    if (now == INVALID_FILE_ATTRIBUTES) now = 0;
    SetFileAttributesW(wide(name), (now & ~DWORD(FILE_ATTRIBUTE_NORMAL)) | kept);
}

std::optional<FileState> stateOfOpenFile(int handle) {
    return stateOfHandle(reinterpret_cast<HANDLE>(_get_osfhandle(handle)));
}

std::optional<FileState> stateOfPath(const QString& path) {
    // Opened for no access, with every sharing allowed, it disturbs no one who has the file open.
    const HANDLE file = CreateFileW(wide(win32Name(path)), 0,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    const std::optional<FileState> state = stateOfHandle(file);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return state;
}

bool openRegularFile(QFile& file, const QString& path) {
    // A pipe or device opens without waiting here; it is refused once open.
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) return false;
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(file.handle()));
    if (GetFileType(handle) == FILE_TYPE_DISK) return true;
    file.close();
    return false;
}
