#include "output_writers.h"

#include <gtest/gtest.h>

#include <QDir>
#ifdef Q_OS_WIN
#include <windows.h>
#endif

#include "test_support.h"

namespace {

struct WriterCase {
    const char* what;
    bool (*writer)(std::string_view, const QString&);
    std::string text;
    std::string bytes;
};

class Writers : public testing::TestWithParam<WriterCase> {};

TEST_P(Writers, CreateOrReplaceALongerFileWithExactlyTheseBytes) {
    ScratchDir dir;
    const QString path = dir.write("old.vcf", std::string(4096, 'X'));
    ASSERT_TRUE(GetParam().writer(GetParam().text, path));
    ASSERT_TRUE(GetParam().writer(GetParam().text, dir.path("new.vcf")));
    EXPECT_EQ(ScratchDir::read(path), GetParam().bytes);
    EXPECT_EQ(ScratchDir::read(dir.path("new.vcf")), GetParam().bytes);
}

const std::string Text = "N:张;三;;\r\nN:a;;;\r\n";
const std::string TextCp936 = "N:\xD5\xC5;\xC8\xFD;;\r\nN:a;;;\r\n";

INSTANTIATE_TEST_SUITE_P(
    Encodings, Writers,
    testing::Values(WriterCase{"ansi", SaveAnsi, Text, TextCp936 + "\r\n"},
                    WriterCase{"utf8 mark", SaveUTF8, Text, "\xEF\xBB\xBF" + Text},
                    WriterCase{"utf8", SaveToFile, Text, Text},
                    WriterCase{"ansi empty", SaveAnsi, "", "\r\n"},
                    WriterCase{"utf8 mark empty", SaveUTF8, "", "\xEF\xBB\xBF"},
                    WriterCase{"utf8 empty", SaveToFile, "", ""},
                    WriterCase{"ansi cannot hold", SaveAnsi, "😀한\uFFFD€", "???\x80\r\n"}),
    caseName<WriterCase>);

TEST(Writers, FailWithoutLeavingAFileWhenTheFolderIsMissingOrAFolderIsInTheWay) {
    ScratchDir dir;
    QDir(dir.path("")).mkdir("folder");
    for (const QString& path : {dir.path("missing/out.vcf"), dir.path("folder")})
        EXPECT_FALSE(SaveToFile("x", path)) << path.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.path("missing")));
    EXPECT_TRUE(QFileInfo(dir.path("folder")).isDir());
}

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
        ASSERT_TRUE(SaveToFile("new", path));
        EXPECT_EQ(ScratchDir::read(path), "new");
        EXPECT_EQ(GetFileAttributesW(name) & (Hidden | System | Archive), set | Archive) << set;
    }
}
#endif

TEST(EncodedFileWriter, AbandonedWriteLeavesTheOldFileAndNoTraces) {
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
