// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "output_writers.h"

#include "cp936.h"
#include "native_files.h"
#include "utf8.h"

EncodedFileWriter::EncodedFileWriter(const QString& path, OutputEncoding encoding)
    : file_(path), encoding_(encoding) {}

bool EncodedFileWriter::open() {
    // A lone surrogate would be written as a replacement character: a file of another name.
    failed_ = !file_.fileName().isValidUtf16() || !file_.open(QIODevice::WriteOnly);
    if (!failed_ && encoding_ == OutputEncoding::Utf8WithBom) writeBytes(utf8::ByteOrderMark);
    return !failed_;
}

void EncodedFileWriter::write(std::string_view text) {
    if (encoding_ != OutputEncoding::Ansi) {
        writeBytes(text);
        return;
    }
    encoded_.clear();
    cp936::encode(text, encoded_);
    writeBytes(encoded_);
}

bool EncodedFileWriter::commit() {
    // The code-page file ends with a line end of its own, after the last record's.
    if (encoding_ == OutputEncoding::Ansi) writeBytes("\r\n");
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
