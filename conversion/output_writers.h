// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSaveFile>
#include <QString>
#include <string>
#include <string_view>

// The byte encodings a vCard file can be written in, as the window offers them.
enum class OutputEncoding { Ansi, Utf8WithBom, Utf8NoBom };

// Writes UTF-8 text into a file in one of the output encodings, piece by piece. The file is
// written beside its final name and only replaces it on commit(), so a failed or abandoned write
// leaves an existing file exactly as it was.
class EncodedFileWriter {
public:
    EncodedFileWriter(const QString& path, OutputEncoding encoding);

    // False when the file cannot be created (missing folder, no permission, not a file).
    bool open();
    void write(std::string_view text);
    // Finishes the file and puts it in place; false when any write failed.
    bool commit();

    bool failed() const { return failed_; }

private:
    void writeBytes(std::string_view bytes);

    QSaveFile file_;
    OutputEncoding encoding_;
    std::string encoded_;
    bool failed_ = false;
};
