// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

#include "native_files.h"

class QFile;

// Tells whether a file stayed the same while it was read: size and last write time as its open
// handle gives them, at open and at the end, and its name still naming that same file. The
// path's own size and time are never compared: network folders and some file systems cache them
// apart from the handle's, so an unchanged file would seem changed.
class InputWatch {
public:
    // Notes how the open `file`, opened by the name `path`, stands; false when that cannot be told.
    bool start(const QFile& file, const QString& path);

    // The size the file had at start.
    std::int64_t sizeAtStart() const { return atStart_.size; }

    // True when the file stands as it did at start and its name still names it.
    bool unchanged(const QFile& file) const;

    // The rule itself: how the file stood at start, how its handle and its path say it stands now.
    static bool unchanged(const FileState& atStart, const std::optional<FileState>& handleNow,
                          const std::optional<FileState>& pathNow);

private:
    FileState atStart_;
    QString path_;
};
