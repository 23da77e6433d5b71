#include "output_writers.h"

#ifdef Q_OS_WIN
#include <windows.h>

#include <QDir>
#endif

#include "cp936.h"
#include "utf8.h"

namespace {

#ifdef Q_OS_WIN
// A replaced file is a new file with a new file's attributes; the ones the user set on the old
// one come back. (Elsewhere QSaveFile keeps the mode itself.)
class KeptAttributes {
public:
    explicit KeptAttributes(const QString& path)
        : path_(QDir::toNativeSeparators(path)), kept_(attributes() & Kept) {}

    void restore() const {
        if (kept_) SetFileAttributesW(name(), (attributes() & ~FILE_ATTRIBUTE_NORMAL) | kept_);
    }

private:
    static constexpr DWORD Kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

    const wchar_t* name() const { return reinterpret_cast<const wchar_t*>(path_.utf16()); }
    DWORD attributes() const {
        const DWORD found = GetFileAttributesW(name());
        return found == INVALID_FILE_ATTRIBUTES ? 0 : found;
    }

    QString path_;
    DWORD kept_;
};
#else
struct KeptAttributes {
    explicit KeptAttributes(const QString&) {}
    void restore() const {}
};
#endif

}  // namespace

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
    const KeptAttributes kept(file_.fileName());
    failed_ = !file_.commit();
    if (!failed_) kept.restore();
    return !failed_;
}

void EncodedFileWriter::writeBytes(std::string_view bytes) {
    if (failed_ || bytes.empty()) return;
    failed_ = file_.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
              static_cast<qint64>(bytes.size());
}
