// Files as POSIX systems name and keep them: a path is what it says, a colon included.
#include "native_files.h"

QString outputFilePath(const QString& path) {
    return path;
}

std::uint32_t attributesToKeep(const QString&) {
    return 0;
}

void restoreAttributes(const QString&, std::uint32_t) {}
