// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
// How a CSV file's bytes become text.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <functional>
#include <optional>
#include <stdexcept>

#include "contact_lists.h"
#include "cp936.h"
#include "decoded_input.h"
#include "encoding_weigher.h"
#include "input_watch.h"
#include "test_support.h"
#include "utf8.h"

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

// Contact lists as a spreadsheet saves them in code page 936; as UTF-8, some of their byte pairs
// are valid characters (C4 BF, E7 BB BF), most of their bytes are not.
const std::string Contacts =
    repeated("姓名,公司名称,手机\r\n李四,某公司,138\r\n王五,科技,\r\n", 40);
const std::string Heading = "姓名,公司名称,业务电话,住宅电话,手机\r\n";
const std::string Cp936Lists[] = {
    Contacts,
    Heading + "张三,某公司,010-1234,,13800000001\r\n李四,,,,\r\n欧阳娜娜,北京华为,,,\r\n",
    "王伟,ACME,010-1234,,13800000001\r\n刘,\"上海, 浦东\",021,,\r\n锟斤拷,,,,\r\n",
};

// A short UTF-8 list: the heading and `contacts` rows.
std::string shortList(int contacts) {
    return Heading + repeated("王伟,ACME,010-1234,,13800000001\r\n", contacts);
}

// The first code unit of UTF-16 text after the mark that a read cuts off from the next.
const std::string AsciiUtf16 = repeated(std::string("a\0", 2), DecodedInput::ChunkSize / 2 - 1);

// clang-format off
INSTANTIATE_TEST_SUITE_P(Files, Decoding, testing::Values(
    DecodeCase{"mark then a bad byte", "\xEF\xBB\xBF\xE5\xBC\xA0\xFF", "张\uFFFD"},
    DecodeCase{"0x80 is the euro sign", "a\x80", "a€"},
    DecodeCase{"bad trail byte is read again", "\x81\x30", "\uFFFD0"},
    DecodeCase{"lead byte ending the file", "ab\x81", "ab\uFFFD"},
    DecodeCase{"utf8 cut inside its last character", "\xE5\xBC\xA0\xD5", "张\uFFFD"},
    DecodeCase{"cp936 character cut by a read", Ascii + "\xD5\xC5", Ascii + "张"},
    DecodeCase{"utf8 character cut by a read", Ascii + "张", Ascii + "张"},
    DecodeCase{"marked utf8 character cut by a read", "\xEF\xBB\xBF" + Ascii + "张", Ascii + "张"},
    DecodeCase{"empty", "", ""}),
    caseName<DecodeCase>);

// One stray byte does not make a UTF-8 list code page 936; code page 936 lists stay themselves.
// Invalid sequences past what damage leaves make a file code page 936 whatever its characters.
INSTANTIATE_TEST_SUITE_P(Evidence, Decoding, testing::Values(
    DecodeCase{"utf8 with one invalid sequence per 8 characters",
               repeated("张", 8) + "\xFF" + repeated("三", 8) + "\xC0",
               repeated("张", 8) + "\uFFFD" + repeated("三", 8) + "\uFFFD"},
    DecodeCase{"many invalid sequences one per 8 characters", repeated(repeated("张", 8) + "\xFF", 100),
               repeated(repeated("张", 8) + "\uFFFD", 100)},
    DecodeCase{"many invalid sequences one per 7 characters are cp936",
               repeated(repeated("张", 7) + "\xFF", 100), fromCp936(repeated(repeated("张", 7) + "\xFF", 100))},
    DecodeCase{"short utf8 list with one stray byte", shortList(4) + "\xA0", shortList(4) + "\uFFFD"},
    DecodeCase{"heading alone with a stray byte", "\xA0" + Heading, "\uFFFD" + Heading},
    DecodeCase{"cp936 contact list", inCp936(Contacts), Contacts},
    DecodeCase{"cp936 contact list followed by reads of ascii", inCp936(Contacts) + repeated(Ascii, 3),
               Contacts + repeated(Ascii, 3)}),
    caseName<DecodeCase>);
// clang-format on

// Without a mark, the more plausible text wins: code page 936 read as UTF-8 shows Cyrillic, Greek
// and invalid bytes, UTF-8 read as code page 936 rare hanzi (王伟 becomes 鐜嬩紵). A damaged list
// keeps its encoding; lists in other scripts stay UTF-8.
std::string asUtf8(std::string_view bytes) {
    std::string text;
    utf8::sanitize(bytes, true, text);
    return text;
}

const std::string TwoNames = "王伟\r\n李娜\r\n";
const std::string ThreeNames = TwoNames + "张敏\r\n";

// `bytes` with `dropped` bytes at `at` replaced by `put`.
std::string spliced(std::string_view bytes, std::size_t at, std::size_t dropped,
                    std::string_view put) {
    return std::string(bytes.substr(0, at)).append(put).append(bytes.substr(at + dropped));
}

const std::string Russian = "Иванов Иван,ООО Ромашка,+7 495 123-45-67\r\nСидорова Анна,,\r\n";
const std::string English = "John Smith,Acme Ltd,555-0100\r\nJosé Núñez,Café Zoë,\r\n";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Plausibility, Decoding, testing::Values(
    DecodeCase{"cp936 name that reads as Cyrillic and Greek", inCp936("谢伟\r\n"), "谢伟\r\n"},
    DecodeCase{"cp936 surname alone that reads as Cyrillic", inCp936("叶"), "叶"},
    DecodeCase{"utf8 name that reads as rare hanzi", "王伟\r\n", "王伟\r\n"},
    DecodeCase{"utf8 names with a byte overwritten", spliced(TwoNames, 9, 1, "x"),
               asUtf8(spliced(TwoNames, 9, 1, "x"))},
    DecodeCase{"utf8 names with a byte inserted", spliced(TwoNames, 1, 0, "\xC1"),
               asUtf8(spliced(TwoNames, 1, 0, "\xC1"))},
    DecodeCase{"utf8 names with a byte dropped", spliced(ThreeNames, 4, 1, ""),
               asUtf8(spliced(ThreeNames, 4, 1, ""))},
    DecodeCase{"utf8 names cut inside a character", ThreeNames.substr(0, ThreeNames.size() - 4),
               asUtf8(ThreeNames.substr(0, ThreeNames.size() - 4))},
    DecodeCase{"russian utf8 list", Russian, Russian},
    DecodeCase{"english utf8 list with accents", English, English}),
    caseName<DecodeCase>);
// clang-format on

// Lists as people keep them, damaged once anywhere, are read in their own encoding: from three
// contacts on, or with a heading. (A list of one name has too little text to tell every time.)
TEST(Decoding, GeneratedListsKeepTheirEncoding) {
    using namespace contact_lists;
    Random random(2026);
    ContactGenerator generator(random);
    for (const bool utf8 : {false, true}) {
        for (const Shape shape : {Shape{3, false, false}, Shape{5, false, true},
                                  Shape{2, true, false}, Shape{1, true, true}}) {
            for (const Damage kind : Damages) {
                for (int i = 0; i < 20; ++i) {
                    const std::string text = makeList(generator, shape);
                    std::string bytes = utf8 ? text : inCp936(text);
                    damage(bytes, kind, random);
                    if (asUtf8(bytes) == fromCp936(bytes)) continue;  // cut down to one reading
                    EncodingWeigher weigher(bytes.size());
                    weigher.weigh(bytes, true);
                    EXPECT_EQ(weigher.isUtf8(), utf8) << nameOf(kind) << ": " << asUtf8(bytes);
                }
            }
        }
    }
}

// Short lists are where chance matters most: each list, and each of its first rows taken alone,
// stays code page 936.
TEST(Decoding, ShortCodePageListsStayCodePage) {
    for (const std::string& list : Cp936Lists) {
        for (std::size_t end = list.find('\n'); end != std::string::npos;
             end = list.find('\n', end + 1)) {
            const std::string rows = list.substr(0, end + 1);
            EXPECT_EQ(readText(inCp936(rows)), rows);
        }
    }
}

// A short UTF-8 list with one stray byte, wherever it lies, stays UTF-8.
TEST(Decoding, ShortUtf8ListsWithAStrayByteStayUtf8) {
    for (int contacts = 4; contacts <= 8; ++contacts) {
        const std::string list = shortList(contacts);
        // At the start, after the heading, after the first contact's 王, at the end.
        for (const std::size_t at :
             {std::size_t(0), Heading.size(), Heading.size() + 3, list.size()}) {
            const std::string before = list.substr(0, at), after = list.substr(at);
            EXPECT_EQ(readText(before + "\xA0" + after), before + "\uFFFD" + after)
                << contacts << " contacts, stray byte at " << at;
        }
    }
}

// The weighing ends as soon as the bytes still to come could no longer make the file UTF-8.
struct SettleCase {
    const char* what;
    std::string bytes;   // weighed, and known to be the first piece of the file
    std::size_t toCome;  // bytes of the file behind them
    bool settled;
};

class Settling : public testing::TestWithParam<SettleCase> {};

TEST_P(Settling, EndsTheWeighingOnlyWhenTheRestCannotChangeIt) {
    EncodingWeigher weigher(GetParam().bytes.size() + GetParam().toCome);
    EXPECT_EQ(weigher.weigh(GetParam().bytes, false), GetParam().bytes.size());
    EXPECT_EQ(weigher.certainlyCp936(), GetParam().settled);
}

const std::string Cp936Contacts = inCp936(Contacts);

// clang-format off
INSTANTIATE_TEST_SUITE_P(Pieces, Settling, testing::Values(
    SettleCase{"cp936 list alone", Cp936Contacts, 0, true},
    SettleCase{"cp936 list and as much again to come", Cp936Contacts, Cp936Contacts.size(), true},
    SettleCase{"cp936 list and enough to come to outweigh it", Cp936Contacts, 10 * Cp936Contacts.size(), false},
    SettleCase{"utf8 list with all the file to come", Contacts, DecodedInput::ChunkSize, false},
    SettleCase{"many invalid sequences one per 7 characters", repeated(repeated("张", 7) + "\xFF", 100), 0, true},
    SettleCase{"a few invalid sequences one per 7 characters", repeated(repeated("张", 7) + "\xFF", 8), 0, false}),
    caseName<SettleCase>);
// clang-format on
INSTANTIATE_TEST_SUITE_P(
    Utf16, Decoding,
    testing::Values(DecodeCase{"little endian",
                               std::string("\xFF\xFE\x20\x5F,\0"
                                           "1\0",
                                           8),
                               "张,1"},
                    DecodeCase{"big endian", std::string("\xFE\xFF\x5F\x20\0,", 6), "张,"},
                    DecodeCase{"surrogate pair, lone surrogate, odd last byte",
                               std::string("\xFF\xFE\x3D\xD8\x00\xDE\x00\xDC"
                                           "a",
                                           9),
                               "😀\uFFFD\uFFFD"},
                    DecodeCase{"surrogate pair cut by a read",
                               "\xFF\xFE" + AsciiUtf16 + std::string("\x3D\xD8\x00\xDE", 4),
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
// Puts a file of the same bytes under the list's name; with `sameTime`, with its time too.
void replace(const QString& path, bool sameTime) {
    const QDateTime time = QFileInfo(path).lastModified();
    rewrite(path + ".new", QIODevice::WriteOnly, repeated(Ascii + "\n", 3));
    QFile copy(path + ".new");
    if (sameTime && !(copy.open(QIODevice::ReadWrite) &&
                      copy.setFileTime(time, QFileDevice::FileModificationTime)))
        throw std::runtime_error("cannot set the copy's time");
    copy.close();
    if (std::rename(qPrintable(path + ".new"), qPrintable(path)) != 0) throw std::runtime_error("rename");
}

INSTANTIATE_TEST_SUITE_P(Replacing, FileChanges, testing::Values(
    ChangeCase{"replaced", [](const QString& p) { replace(p, false); }, true},
    ChangeCase{"replaced by a copy of the same size and time", [](const QString& p) { replace(p, true); }, true}),
    caseName<ChangeCase>);
#endif
// clang-format on

// What is compared: the handle's size and time, and the file the path names. A path's own size
// and time, which network folders cache apart from the handle's, are not.
struct WatchCase {
    const char* what;
    std::optional<FileState> handleNow, pathNow;
    bool unchanged;
};

class Watching : public testing::TestWithParam<WatchCase> {};

constexpr FileState AtStart{7, 42, 1000, 5000};

constexpr FileState with(FileState state, void (*change)(FileState&)) {
    change(state);
    return state;
}

TEST_P(Watching, ComparesTheHandleAndWhichFileThePathNames) {
    EXPECT_EQ(InputWatch::unchanged(AtStart, GetParam().handleNow, GetParam().pathNow),
              GetParam().unchanged);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(States, Watching, testing::Values(
    WatchCase{"unchanged", AtStart, AtStart, true},
    WatchCase{"path shows a cached older size and time", AtStart,
              with(AtStart, [](FileState& s) { s.size = 900; s.modified = 4000; }), true},
    WatchCase{"handle shows another size", with(AtStart, [](FileState& s) { s.size = 1001; }), AtStart, false},
    WatchCase{"handle shows another time", with(AtStart, [](FileState& s) { s.modified = 5001; }), AtStart, false},
    WatchCase{"handle cannot tell", std::nullopt, AtStart, false},
    WatchCase{"path names another file", AtStart, with(AtStart, [](FileState& s) { s.index = 43; }), false},
    WatchCase{"path names a file on another volume", AtStart, with(AtStart, [](FileState& s) { s.volume = 8; }), false},
    WatchCase{"path names no file", AtStart, std::nullopt, false}),
    caseName<WatchCase>);
// clang-format on

}  // namespace
