#include "file_paths.h"

#ifdef Q_OS_WIN
#include <windows.h>

#include <QDir>
#include <string>
#endif

QString cleanedPath(const QString& typed) {
    QString path = typed.trimmed();
    if (path.size() >= 2 && path.startsWith(u'"') && path.endsWith(u'"'))
        path = path.mid(1, path.size() - 2).trimmed();
    return path;
}

#ifdef Q_OS_WIN

QString outputFilePath(const QString& path) {
    QString win32 = QDir::toNativeSeparators(path);
    if (win32.startsWith(QLatin1String("\\\\?\\UNC\\"), Qt::CaseInsensitive))
        win32.replace(0, 8, QLatin1String("\\\\"));
    else if (win32.startsWith(QLatin1String("\\\\?\\")))
        win32.remove(0, 4);
    if (win32.isEmpty()) return {};
    const auto* name = reinterpret_cast<const wchar_t*>(win32.utf16());
    std::wstring whole(GetFullPathNameW(name, 0, nullptr, nullptr), L'\0');
    const DWORD size = GetFullPathNameW(name, DWORD(whole.size()), whole.data(), nullptr);
    if (size == 0 || size >= whole.size()) return {};
    const QString made = QString::fromWCharArray(whole.data(), int(size));
    // Reserved names (CON, NUL, COM1) become devices, and a name of dots and spaces only the
    // folder itself: neither is a file to write.
    if (made.startsWith(QLatin1String("\\\\.\\")) || made.endsWith(u'\\')) return {};
    return made;
}

#else

QString outputFilePath(const QString& path) {
    return path;
}

#endif
