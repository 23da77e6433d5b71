// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "output_writers.h"

#include <gtest/gtest.h>

#include <QDir>
#ifdef Q_OS_WIN
#include <windows.h>
#endif

#include "test_support.h"

namespace {

// The bytes that the window's Execute test does not already see (the empty text, characters code
// page 936 lacks), written over a longer file.
struct WriterCase {
    const char* what;
    OutputEncoding encoding;
    std::string text;
    std::string bytes;
};

class Writers : public testing::TestWithParam<WriterCase> {};

TEST_P(Writers, ReplaceALongerFileWithExactlyTheseBytes) {
    ScratchDir dir;
    const QString path = dir.write("old.vcf", std::string(4096, 'X'));
    EncodedFileWriter writer(path, GetParam().encoding);
    ASSERT_TRUE(writer.open());
    writer.write(GetParam().text);
    ASSERT_TRUE(writer.commit());
    EXPECT_EQ(ScratchDir::read(path), GetParam().bytes);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Encodings, Writers, testing::Values(
    WriterCase{"ansi empty", OutputEncoding::Ansi, "", "\r\n"},
    WriterCase{"ansi cannot hold", OutputEncoding::Ansi, "😀한\uFFFD€", "???\x80\r\n"},
    WriterCase{"utf8 mark empty", OutputEncoding::Utf8WithBom, "", "\xEF\xBB\xBF"}),
    caseName<WriterCase>);
// clang-format on

#ifdef Q_OS_WIN
// What the user set on a file, hidden or system, survives the file's replacement.
TEST(Writers, ReplaceAFileKeepingItsHiddenAndSystemAttributes) {
    constexpr DWORD Hidden = FILE_ATTRIBUTE_HIDDEN, System = FILE_ATTRIBUTE_SYSTEM,
                    Archive = FILE_ATTRIBUTE_ARCHIVE;
    for (const DWORD set : {Hidden, Hidden | System, Archive}) {
        ScratchDir dir;
        const QString path = QDir::toNativeSeparators(dir.write("隐藏.vcf", "old"));
        const auto* name = reinterpret_cast<const wchar_t*>(path.utf16());
        ASSERT_TRUE(SetFileAttributesW(name, set));
        EncodedFileWriter writer(path, OutputEncoding::Utf8NoBom);
        ASSERT_TRUE(writer.open());
        writer.write("new");
        ASSERT_TRUE(writer.commit());
        EXPECT_EQ(ScratchDir::read(path), "new");
        EXPECT_EQ(GetFileAttributesW(name) & (Hidden | System | Archive), set | Archive) << set;
    }
}
#endif

TEST(Writers, AbandonedWriteLeavesTheOldFileAndNoTraces) {
    ScratchDir dir;
    const QString path = dir.write("out.vcf", "old content");
    {
        EncodedFileWriter writer(path, OutputEncoding::Utf8NoBom);
        ASSERT_TRUE(writer.open());
        writer.write("new content that never lands");
    }
    EXPECT_EQ(ScratchDir::read(path), "old content");
    EXPECT_EQ(QDir(dir.path("")).entryList(QDir::Files | QDir::Hidden), QStringList{"out.vcf"});
}

}  // namespace
