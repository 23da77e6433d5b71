// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "output_writers.h"

#include "cp936.h"
#include "native_files.h"
#include "utf8.h"

namespace {

// What a file in `encoding` starts with, before the text.
std::string_view startOf(OutputEncoding encoding) {
    switch (encoding) {
        case OutputEncoding::Ansi:
        case OutputEncoding::Utf8NoBom:
            return {};
        case OutputEncoding::Utf8WithBom:
            return utf8::ByteOrderMark;
    }
    return {};
}

// What a file in `encoding` ends with, after the text.
std::string_view endOf(OutputEncoding encoding) {
    switch (encoding) {
        case OutputEncoding::Ansi:
            return "\r\n";  // the code-page file's own line end, after the last record's
        case OutputEncoding::Utf8WithBom:
        case OutputEncoding::Utf8NoBom:
            return {};
    }
    return {};
}

}  // namespace

EncodedFileWriter::EncodedFileWriter(const QString& path, OutputEncoding encoding)
    : file_(path), encoding_(encoding) {}

bool EncodedFileWriter::open() {
    failed_ = !file_.open(QIODevice::WriteOnly);
    writeBytes(startOf(encoding_));
    return !failed_;
}

void EncodedFileWriter::write(std::string_view text) {
    switch (encoding_) {
        case OutputEncoding::Ansi:
            encoded_.clear();
            cp936::encode(text, encoded_);
            writeBytes(encoded_);
            return;
        case OutputEncoding::Utf8WithBom:
        case OutputEncoding::Utf8NoBom:
            writeBytes(text);
            return;
    }
}

bool EncodedFileWriter::commit() {
    writeBytes(endOf(encoding_));
    if (failed_) {
        file_.cancelWriting();
        return false;
    }
    // A replaced file is a new file, with a new file's attributes: the user's come back.
    const std::uint32_t kept = attributesToKeep(file_.fileName());
    failed_ = !file_.commit();
    if (!failed_) restoreAttributes(file_.fileName(), kept);
    return !failed_;
}

void EncodedFileWriter::writeBytes(std::string_view bytes) {
    if (failed_ || bytes.empty()) return;
    failed_ = file_.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
              static_cast<qint64>(bytes.size());
}
