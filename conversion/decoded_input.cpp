#include "decoded_input.h"

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
    raw_.clear();
    atEnd_ = false;
    return !failed_ && file_.seek(0);
}

// Reads ahead until the first byte that cannot be UTF-8; a code page 936 file of Chinese names
// fails within its first line, so only UTF-8 files are read through twice.
bool DecodedInput::isUtf8Throughout() {
    while (fillRaw()) {
        const std::size_t valid = utf8::validPrefixLength(raw_);
        const std::string_view tail = std::string_view(raw_).substr(valid);
        if (!tail.empty() && !utf8::isTruncatedChar(tail)) return false;
        raw_.erase(0, valid);
    }
    return raw_.empty();
}

// Appends the next chunk of the file to raw_; false at the end of the file or on a read error.
bool DecodedInput::fillRaw() {
    if (atEnd_ || failed_) return false;
    const std::size_t kept = raw_.size();
    raw_.resize(kept + ChunkSize);
    const qint64 n = file_.read(raw_.data() + kept, ChunkSize);
    if (n < 0) {
        failed_ = true;
        raw_.resize(kept);
        return false;
    }
    raw_.resize(kept + static_cast<std::size_t>(n));
    if (n == 0) atEnd_ = true;
    return n > 0;
}

bool DecodedInput::readMore(std::string& out) {
    const bool gotBytes = fillRaw();
    if (!gotBytes && (failed_ || raw_.empty())) return false;
    const std::size_t consumed = encoding_ == Encoding::Utf8 ? utf8::sanitize(raw_, atEnd_, out)
                                                             : cp936::decode(raw_, atEnd_, out);
    raw_.erase(0, consumed);
    return true;
}
