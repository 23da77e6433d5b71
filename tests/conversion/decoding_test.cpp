// How a CSV file's bytes become text.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <cstdio>
#include <functional>
#include <stdexcept>

#include "cp936.h"
#include "decoded_input.h"
#include "test_support.h"

namespace {

std::string readText(std::string_view bytes) {
    ScratchDir dir;
    DecodedInput input;
    if (!input.open(dir.write("in.csv", bytes))) return "<cannot open>";
    std::string text;
    while (input.readMore(text)) {
    }
    return text;
}

struct DecodeCase {
    const char* what;
    std::string bytes;
    std::string text;
};

class Decoding : public testing::TestWithParam<DecodeCase> {};

TEST_P(Decoding, ChoosesTheFilesEncoding) {
    EXPECT_EQ(readText(GetParam().bytes), GetParam().text);
}

const std::string Ascii(DecodedInput::ChunkSize - 1, 'a');  // what follows it is cut by a read

std::string inCp936(std::string_view text) {
    std::string bytes;
    cp936::encode(text, bytes);
    return bytes;
}

std::string fromCp936(std::string_view bytes) {
    std::string text;
    cp936::decode(bytes, true, text);
    return text;
}

// A contact list as a spreadsheet saves it in code page 936; as UTF-8, some of its byte pairs
// are valid characters (C4 BF, E7 BB BF), most of its bytes are not.
const std::string Contacts =
    repeated("姓名,公司名称,手机\r\n李四,某公司,138\r\n王五,科技,\r\n", 40);

// The first code unit of UTF-16 text after the mark that a read cuts off from the next.
const std::string AsciiUtf16 = repeated(std::string("a\0", 2), DecodedInput::ChunkSize / 2 - 1);

// clang-format off
INSTANTIATE_TEST_SUITE_P(Files, Decoding, testing::Values(
    DecodeCase{"mark then a bad byte", "\xEF\xBB\xBF\xE5\xBC\xA0\xFF", "张\uFFFD"},
    DecodeCase{"0x80 is the euro sign", "a\x80", "a€"},
    DecodeCase{"bad trail byte is read again", "\x81\x30", "\uFFFD0"},
    DecodeCase{"lead byte ending the file", "ab\x81", "ab\uFFFD"},
    DecodeCase{"utf8 but for its last byte is cp936", "\xE5\xBC\xA0\xD5", "寮犝"},
    DecodeCase{"cp936 character cut by a read", Ascii + "\xD5\xC5", Ascii + "张"},
    DecodeCase{"utf8 character cut by a read", Ascii + "张", Ascii + "张"},
    DecodeCase{"marked utf8 character cut by a read", "\xEF\xBB\xBF" + Ascii + "张", Ascii + "张"},
    DecodeCase{"empty", "", ""}),
    caseName<DecodeCase>);

// One stray byte does not make a UTF-8 list code page 936; code page 936 lists stay themselves.
INSTANTIATE_TEST_SUITE_P(Evidence, Decoding, testing::Values(
    DecodeCase{"utf8 with one stray byte per 50 characters",
               repeated("张", 50) + "\xFF" + repeated("三", 50) + "\xC0",
               repeated("张", 50) + "\uFFFD" + repeated("三", 50) + "\uFFFD"},
    DecodeCase{"one stray byte per 49 characters is cp936", repeated("张", 49) + "\xFF",
               fromCp936(repeated("张", 49) + "\xFF")},
    DecodeCase{"cp936 contact list", inCp936(Contacts), Contacts},
    DecodeCase{"cp936 settled early in a file of several reads", inCp936(Contacts) + repeated(Ascii, 3),
               Contacts + repeated(Ascii, 3)}),
    caseName<DecodeCase>);

INSTANTIATE_TEST_SUITE_P(Utf16, Decoding, testing::Values(
    DecodeCase{"little endian", std::string("\xFF\xFE\x20\x5F,\0" "1\0", 8), "张,1"},
    DecodeCase{"big endian", std::string("\xFE\xFF\x5F\x20\0,", 6), "张,"},
    DecodeCase{"surrogate pair, lone surrogate, odd last byte",
               std::string("\xFF\xFE\x3D\xD8\x00\xDE\x00\xDC" "a", 9), "😀\uFFFD\uFFFD"},
    DecodeCase{"surrogate pair cut by a read", "\xFF\xFE" + AsciiUtf16 + std::string("\x3D\xD8\x00\xDE", 4),
               std::string(DecodedInput::ChunkSize / 2 - 1, 'a') + "😀"}),
    caseName<DecodeCase>);
// clang-format on

// A file that changes while it is read is not taken for what was read of it.
struct ChangeCase {
    const char* what;
    std::function<void(const QString& path)> change;
    bool failed;
};

class FileChanges : public testing::TestWithParam<ChangeCase> {};

TEST_P(FileChanges, WhileReadFailTheRead) {
    ScratchDir dir;
    const QString path = dir.write("in.csv", repeated(Ascii + "\n", 3));
    {
        QFile file(path);  // an old time, so that a change now is one the clock can tell
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addDays(-1),
                                     QFileDevice::FileModificationTime));
    }
    DecodedInput input;
    ASSERT_TRUE(input.open(path));
    std::string text;
    ASSERT_TRUE(input.readMore(text));
    GetParam().change(path);
    while (input.readMore(text)) {
    }
    EXPECT_EQ(input.failed(), GetParam().failed);
}

void rewrite(const QString& path, QIODevice::OpenMode mode, std::string_view bytes) {
    QFile file(path);
    if (!file.open(mode) || file.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()))
        throw std::runtime_error("cannot change test file");
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Reading, FileChanges, testing::Values(
    ChangeCase{"unchanged", [](const QString&) {}, false},
    ChangeCase{"cut short", [](const QString& p) { rewrite(p, QIODevice::WriteOnly, "王"); }, true},
    ChangeCase{"grown", [](const QString& p) { rewrite(p, QIODevice::Append, "王"); }, true},
    ChangeCase{"same size written over", [](const QString& p) { rewrite(p, QIODevice::ReadWrite, "b"); }, true}),
    caseName<ChangeCase>);

#ifndef Q_OS_WIN  // Windows does not let a file that is open be renamed over
INSTANTIATE_TEST_SUITE_P(Replacing, FileChanges, testing::Values(
    ChangeCase{"replaced", [](const QString& p) {
        rewrite(p + ".new", QIODevice::WriteOnly, repeated(Ascii + "\n", 3));
        if (std::rename(qPrintable(p + ".new"), qPrintable(p)) != 0) throw std::runtime_error("rename");
    }, true}),
    caseName<ChangeCase>);
#endif
// clang-format on

}  // namespace
