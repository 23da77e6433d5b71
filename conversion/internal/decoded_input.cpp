// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "decoded_input.h"

#include <cstring>

#include "cp936.h"
#include "encoding_weigher.h"
#include "native_files.h"
#include "utf16.h"
#include "utf8.h"

namespace {

constexpr std::string_view Utf16LittleEndianMark = "\xFF\xFE";
constexpr std::string_view Utf16BigEndianMark = "\xFE\xFF";

}  // namespace

bool DecodedInput::open(const QString& path) {
    if (!openRegularFile(file_, path) || !watch_.start(file_, path)) return false;

    char head[3];
    const qint64 headSize = file_.read(head, sizeof head);
    if (headSize < 0) return false;
    const std::string_view start(head, static_cast<std::size_t>(headSize));
    qint64 textStart = 0;  // a mark is not part of the first line
    if (start.starts_with(utf8::ByteOrderMark)) {
        encoding_ = Encoding::Utf8;
        textStart = qint64(utf8::ByteOrderMark.size());
    } else if (start.starts_with(Utf16LittleEndianMark) || start.starts_with(Utf16BigEndianMark)) {
        encoding_ = start.starts_with(Utf16LittleEndianMark) ? Encoding::Utf16LittleEndian
                                                             : Encoding::Utf16BigEndian;
        textStart = qint64(Utf16LittleEndianMark.size());
    } else {
        if (!file_.seek(0)) return false;
        encoding_ = weighWithoutMark();
        rawSize_ = 0;
        atEnd_ = false;
    }
    position_ = textStart;
    return !failed_ && file_.seek(textStart);
}

// Reads on until the file is used up or its encoding is settled: code page 936 text is settled
// early, UTF-8 is read twice.
DecodedInput::Encoding DecodedInput::weighWithoutMark() {
    EncodingWeigher weigher(std::uint64_t(watch_.sizeAtStart()));
    while (fillRaw()) {
        dropRaw(weigher.weigh(raw(), false));
        if (weigher.certainlyCp936()) return Encoding::Cp936;
    }
    weigher.weigh(raw(), true);
    return weigher.isUtf8() ? Encoding::Utf8 : Encoding::Cp936;
}

// Reads the next chunk of the file behind the bytes still unread; false at the end of the file
// or on a read error, and a failure too when the file was not the same throughout.
bool DecodedInput::fillRaw() {
    if (atEnd_ || failed_) return false;
    const qint64 n = file_.read(raw_.get() + rawSize_, ChunkSize);
    if (n < 0) failed_ = true;
    if (n == 0) {
        atEnd_ = true;
        failed_ = position_ != watch_.sizeAtStart() || !watch_.unchanged(file_);
    }
    if (n <= 0) return false;
    position_ += n;
    rawSize_ += static_cast<std::size_t>(n);
    return true;
}

// Forgets the first `count` bytes; what is left (a cut character at most) moves to the front.
void DecodedInput::dropRaw(std::size_t count) {
    rawSize_ -= count;
    std::memmove(raw_.get(), raw_.get() + count, rawSize_);
}

bool DecodedInput::readMore(std::string& out) {
    const bool gotBytes = fillRaw();
    if (!gotBytes && (failed_ || rawSize_ == 0)) return false;
    std::size_t consumed = 0;
    switch (encoding_) {
        case Encoding::Utf8:
            consumed = utf8::sanitize(raw(), atEnd_, out);
            break;
        case Encoding::Utf16LittleEndian:
        case Encoding::Utf16BigEndian:
            consumed = utf16::decode(raw(),
                                     encoding_ == Encoding::Utf16LittleEndian
                                         ? utf16::ByteOrder::LittleEndian
                                         : utf16::ByteOrder::BigEndian,
                                     atEnd_, out);
            break;
        case Encoding::Cp936:
            consumed = cp936::decode(raw(), atEnd_, out);
            break;
    }
    dropRaw(consumed);
    return true;
}
