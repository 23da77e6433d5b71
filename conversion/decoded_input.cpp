#include "decoded_input.h"

#include <cstring>

#include "cp936.h"
#include "utf8.h"

bool DecodedInput::open(const QString& path) {
    file_.setFileName(path);
    if (!file_.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) return false;

    char head[3];
    const qint64 headSize = file_.read(head, sizeof head);
    if (headSize == qint64(sizeof head) &&
        std::string_view(head, sizeof head) == utf8::ByteOrderMark) {
        encoding_ = Encoding::Utf8;  // the mark is not part of the first line
        return true;
    }
    if (headSize < 0 || !file_.seek(0)) return false;
    encoding_ = isUtf8Throughout() ? Encoding::Utf8 : Encoding::Cp936;
    rawSize_ = 0;
    atEnd_ = false;
    return !failed_ && file_.seek(0);
}

// Reads ahead until the first byte that cannot be UTF-8; a code page 936 file of Chinese names
// fails within its first line, so only UTF-8 files are read through twice.
bool DecodedInput::isUtf8Throughout() {
    while (fillRaw()) {
        const std::size_t valid = utf8::validPrefixLength(raw());
        const std::string_view tail = raw().substr(valid);
        if (!tail.empty() && !utf8::isTruncatedChar(tail)) return false;
        dropRaw(valid);
    }
    return rawSize_ == 0;
}

// Reads the next chunk of the file behind the bytes still unread; false at the end of the file
// or on a read error.
bool DecodedInput::fillRaw() {
    if (atEnd_ || failed_) return false;
    const qint64 n = file_.read(raw_.get() + rawSize_, ChunkSize);
    if (n < 0) failed_ = true;
    if (n == 0) atEnd_ = true;
    if (n <= 0) return false;
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
    const std::size_t consumed = encoding_ == Encoding::Utf8 ? utf8::sanitize(raw(), atEnd_, out)
                                                             : cp936::decode(raw(), atEnd_, out);
    dropRaw(consumed);
    return true;
}
