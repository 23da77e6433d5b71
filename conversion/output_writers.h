// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSaveFile>
#include <QString>
#include <array>
#include <string>
#include <string_view>

// The byte encodings a vCard file can be written in.
enum class OutputEncoding { Ansi, Utf8WithBom, Utf8NoBom };

struct OutputEncodingChoice {
    OutputEncoding encoding;
    const char16_t* caption;  // the window's button for it
    std::string_view name;    // in reports such as the benchmark's
};

// The encodings as the window offers them: each one's place is the index of its Option1 button.
// What each one's file holds is EncodedFileWriter's to say (output_writers.cpp).
inline constexpr std::array<OutputEncodingChoice, 3> OutputEncodings = {{
    {OutputEncoding::Ansi, u"ANSI", "Ansi"},
    {OutputEncoding::Utf8WithBom, u"UTF-8 (带BOM)", "Utf8WithBom"},
    {OutputEncoding::Utf8NoBom, u"UTF-8 (不带BOM)", "Utf8NoBom"},
}};

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
