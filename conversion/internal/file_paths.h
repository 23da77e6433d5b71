#pragma once

#include <QString>

// A path as the user typed or pasted it, made usable: white space and line ends around it
// removed, and one pair of double quotes around it too (Explorer's 复制为路径 adds them, and no
// file name can hold one).
QString cleanedPath(const QString& typed);

// The name the output file is given. On Windows, the whole path as Win32 makes it
// (GetFullPathNameW): no name may end in a dot or a space, which Explorer and most programs
// cannot open, and a \\?\ path becomes a plain one, which Qt lengthens itself where need be.
// Empty when that gives no file name. Elsewhere the path as it is.
QString outputFilePath(const QString& path);
