#include "output_writers.h"

#include <gtest/gtest.h>

#include <QDir>

#include "test_support.h"

namespace {

using test_support::PrintTo;

struct WriterCase {
    const char* what;
    bool (*writer)(std::string_view, const QString&);
    std::string text;
    std::string bytes;
};

class Writers : public testing::TestWithParam<WriterCase> {};

TEST_P(Writers, ReplaceALongerFileWithExactlyTheseBytes) {
    ScratchDir dir;
    const QString path = dir.write("out.vcf", std::string(4096, 'X'));
    ASSERT_TRUE(GetParam().writer(GetParam().text, path));
    EXPECT_EQ(ScratchDir::read(path), GetParam().bytes);
}

TEST_P(Writers, CreateTheFile) {
    ScratchDir dir;
    ASSERT_TRUE(GetParam().writer(GetParam().text, dir.path("new.vcf")));
    EXPECT_EQ(ScratchDir::read(dir.path("new.vcf")), GetParam().bytes);
}

const std::string TwoRecords =
    "BEGIN:VCARD\r\nN:张;三;;\r\nEND:VCARD\r\nBEGIN:VCARD\r\nN:a;;;\r\nEND:VCARD\r\n";
const std::string TwoRecordsCp936 =
    "BEGIN:VCARD\r\nN:\xD5\xC5;\xC8\xFD;;\r\nEND:VCARD\r\nBEGIN:VCARD\r\nN:a;;;\r\nEND:VCARD\r\n";

INSTANTIATE_TEST_SUITE_P(
    Encodings, Writers,
    testing::Values(WriterCase{"ansi two records", SaveAnsi, TwoRecords, TwoRecordsCp936 + "\r\n"},
                    WriterCase{"utf8 mark two records", SaveUTF8, TwoRecords,
                               "\xEF\xBB\xBF" + TwoRecords},
                    WriterCase{"utf8 two records", SaveToFile, TwoRecords, TwoRecords},
                    WriterCase{"ansi empty", SaveAnsi, "", "\r\n"},
                    WriterCase{"utf8 mark empty", SaveUTF8, "", "\xEF\xBB\xBF"},
                    WriterCase{"utf8 empty", SaveToFile, "", ""},
                    WriterCase{"ansi cannot hold", SaveAnsi, "😀한€", "??\x80\r\n"}),
    caseName<WriterCase>);

TEST(Writers, FailWithoutLeavingAFileWhenTheFolderIsMissingOrAFolderIsInTheWay) {
    ScratchDir dir;
    QDir(dir.path("")).mkdir("folder");
    for (const QString& path : {dir.path("missing/out.vcf"), dir.path("folder")}) {
        EXPECT_FALSE(SaveToFile("x", path)) << path.toStdString();
        EXPECT_FALSE(SaveAnsi("x", path)) << path.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(dir.path("missing")));
    EXPECT_TRUE(QFileInfo(dir.path("folder")).isDir());
}

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
