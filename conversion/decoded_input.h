#pragma once

#include <QFile>
#include <QString>
#include <memory>
#include <string>
#include <string_view>

// A CSV file read as UTF-8 text, one piece at a time, whatever it was saved in: a file that starts
// with the UTF-8 byte-order mark, or is valid UTF-8 throughout, is UTF-8; anything else is code
// page 936. Only one piece of the file is in memory at a time.
class DecodedInput {
public:
    // False when the file cannot be opened or read.
    bool open(const QString& path);

    // Appends the next piece of text to `out`; false once the file is used up or a read failed.
    bool readMore(std::string& out);

    bool failed() const { return failed_; }

    // Bytes read from the file at a time.
    static constexpr qint64 ChunkSize = 1 << 20;

private:
    enum class Encoding { Utf8, Cp936 };

    bool isUtf8Throughout();
    bool fillRaw();
    void dropRaw(std::size_t count);
    std::string_view raw() const { return {raw_.get(), rawSize_}; }

    QFile file_;
    Encoding encoding_ = Encoding::Cp936;
    // Bytes read but not decoded yet: a chunk, plus a character cut by the previous chunk's end.
    std::unique_ptr<char[]> raw_ = std::make_unique_for_overwrite<char[]>(ChunkSize + 4);
    std::size_t rawSize_ = 0;
    bool atEnd_ = false;
    bool failed_ = false;
};
