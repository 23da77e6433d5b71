#pragma once

#include <QDateTime>
#include <QFile>
#include <QString>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace utf8 {
struct Evidence;
}

// A CSV file read as UTF-8 text, one piece at a time, whatever it was saved in: a byte-order mark
// says UTF-8 or UTF-16; without one, the whole file is weighed, and it is UTF-8 unless it has
// more invalid sequences than a damaged UTF-8 file would (see Utf8CharsPerStrayByte), code page
// 936 otherwise. Only one piece of the file is in memory at a time.
class DecodedInput {
public:
    // False when the file cannot be opened or read.
    bool open(const QString& path);

    // Appends the next piece of text to `out`; false once the file is used up or a read failed.
    bool readMore(std::string& out);

    // A read failed, or the file changed while it was read (other size, other time, or another
    // file under its name): the text is not the file's.
    bool failed() const { return failed_; }

    // Bytes read from the file at a time.
    static constexpr qint64 ChunkSize = 1 << 20;

    // A UTF-8 file damaged here and there keeps more than this many valid characters of two or
    // more bytes for each invalid sequence; code page 936 text, read as UTF-8, has fewer valid
    // ones than invalid ones.
    static constexpr std::uint64_t Utf8CharsPerStrayByte = 50;

private:
    enum class Encoding { Utf8, Utf16LittleEndian, Utf16BigEndian, Cp936 };

    Encoding weighWithoutMark();
    bool mayStillBeUtf8(const utf8::Evidence& evidence) const;
    bool fillRaw();
    bool changedSinceOpen() const;
    void dropRaw(std::size_t count);
    std::string_view raw() const { return {raw_.get(), rawSize_}; }

    QFile file_;
    qint64 sizeAtOpen_ = 0;
    QDateTime modifiedAtOpen_;
    qint64 position_ = 0;  // in the file, behind the bytes read
    Encoding encoding_ = Encoding::Cp936;
    // Bytes read but not decoded yet: a chunk, plus a character cut by the previous chunk's end.
    std::unique_ptr<char[]> raw_ = std::make_unique_for_overwrite<char[]>(ChunkSize + 4);
    std::size_t rawSize_ = 0;
    bool atEnd_ = false;
    bool failed_ = false;
};
