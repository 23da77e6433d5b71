// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "input_watch.h"

#include <QFile>

bool InputWatch::start(const QFile& file, const QString& path) {
    path_ = path;
    const std::optional<FileState> state = stateOfOpenFile(file.handle());
    if (state) atStart_ = *state;
    return state.has_value();
}

bool InputWatch::unchanged(const QFile& file) const {
    return unchanged(atStart_, stateOfOpenFile(file.handle()), stateOfPath(path_));
}

bool InputWatch::unchanged(const FileState& atStart, const std::optional<FileState>& handleNow,
                           const std::optional<FileState>& pathNow) {
    return handleNow == atStart && pathNow && pathNow->isSameFile(atStart);
}
