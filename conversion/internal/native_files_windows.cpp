// Files as Win32 names and keeps them.
#include <windows.h>

#include <QDir>
#include <string>

#include "native_files.h"

namespace {

const wchar_t* wide(const QString& text) {
    return reinterpret_cast<const wchar_t*>(text.utf16());
}

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
    const DWORD found = GetFileAttributesW(wide(QDir::toNativeSeparators(path)));
    if (found == INVALID_FILE_ATTRIBUTES) return 0;
    return found & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
}

void restoreAttributes(const QString& path, std::uint32_t kept) {
    if (!kept) return;
    const QString name = QDir::toNativeSeparators(path);
    DWORD now = GetFileAttributesW(wide(name));
    if (now == INVALID_FILE_ATTRIBUTES) now = 0;
    SetFileAttributesW(wide(name), (now & ~DWORD(FILE_ATTRIBUTE_NORMAL)) | kept);
}
