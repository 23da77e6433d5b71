// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFile>
#include <QString>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "input_watch.h"

// A CSV file read as UTF-8 text, one piece at a time, whatever it was saved in: a byte-order mark
// says UTF-8 or UTF-16; without one, the whole file is weighed (EncodingWeigher) and read as
// UTF-8 or code page 936. Only one piece of the file is in memory at a time.
class DecodedInput {
public:
    // False when the file cannot be opened or read.
    bool open(const QString& path);

    // Appends the next piece of text to `out`; false once the file is used up or a read failed.
    bool readMore(std::string& out);

    // A read failed, or the file changed while it was read (see InputWatch): the text is not the
    // file's.
    bool failed() const { return failed_; }

    // Bytes read from the file at a time.
    static constexpr qint64 ChunkSize = 1 << 20;

private:
    enum class Encoding { Utf8, Utf16LittleEndian, Utf16BigEndian, Cp936 };

    Encoding weighWithoutMark();
    bool fillRaw();
    void dropRaw(std::size_t count);
    std::string_view raw() const { return {raw_.get(), rawSize_}; }

    QFile file_;
    InputWatch watch_;
    qint64 position_ = 0;  // in the file, behind the bytes read
    Encoding encoding_ = Encoding::Cp936;
    // Bytes read but not decoded yet: a chunk, plus a character cut by the previous chunk's end.
    std::unique_ptr<char[]> raw_ = std::make_unique_for_overwrite<char[]>(ChunkSize + 4);
    std::size_t rawSize_ = 0;
    bool atEnd_ = false;
    bool failed_ = false;
};
