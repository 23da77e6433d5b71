#include "conversion_run.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <functional>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

using test_support::PrintTo;

// Stands in for the window: hands out paths and the encoding, and writes down what it is shown.
class RecordingSink : public ProgressSink {
public:
    QString inputPath;
    QString outputPath;
    OutputEncoding encoding = OutputEncoding::Utf8NoBom;
    std::function<void()> duringYield;

    std::vector<std::string> shown;  // "1", "2", ..., "finished", or the message text
    int yields = 0;

    QString readInputPath() override { return inputPath; }
    QString readOutputPath() override { return outputPath; }
    OutputEncoding readEncodingChoice() override { return encoding; }
    void showCount(std::int64_t lines) override { shown.push_back(std::to_string(lines)); }
    void showFinished() override { shown.push_back("finished"); }
    void showMessage(const QString& text) override { shown.push_back(text.toStdString()); }
    void processPendingEvents() override {
        ++yields;
        if (duringYield) duringYield();
    }
};

struct RunResult {
    std::vector<std::string> shown;
    std::string output;
    int yields;
};

RunResult convert(std::string_view csv, OutputEncoding encoding = OutputEncoding::Utf8NoBom) {
    ScratchDir dir;
    RecordingSink sink;
    sink.inputPath = dir.write("联系人.csv", csv);
    sink.outputPath = dir.path("联系人.vcf");
    sink.encoding = encoding;
    ConversionRun(sink).execute();
    return {sink.shown, ScratchDir::read(sink.outputPath), sink.yields};
}

const std::string ZhangSan =
    "BEGIN:VCARD\r\nVERSION:2.1\r\nN:张;三;;\r\nFN:张三\r\nORG:某公司\r\nTEL;WORK;VOICE:010-"
    "1234\r\n"
    "TEL;HOME;VOICE:\r\nTEL;CELL;VOICE:138\r\nEND:VCARD\r\n";
const std::string LiSi =
    "BEGIN:VCARD\r\nVERSION:2.1\r\nN:李;四;;\r\nFN:李四\r\nORG:某公司\r\nEND:VCARD\r\n";
const std::string Wang = "BEGIN:VCARD\r\nVERSION:2.1\r\nN:王;;;\r\nFN:王\r\nEND:VCARD\r\n";

struct RunCase {
    const char* what;
    std::string csv;
    std::vector<std::string> shown;
    std::string output;
};

class Runs : public testing::TestWithParam<RunCase> {};

TEST_P(Runs, CountEveryLineAndWriteTheRecords) {
    const RunResult run = convert(GetParam().csv);
    EXPECT_EQ(run.shown, GetParam().shown);
    EXPECT_EQ(run.output, GetParam().output);
    EXPECT_EQ(run.yields, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Files, Runs,
    testing::Values(
        RunCase{"heading three rows and a blank line",
                "姓名,公司名称,业务电话,住宅电话,手机\r\n张三,某公司,010-1234,,138\r\n\r\n"
                "李四,某公司\r\n王\r\n",
                {"1", "2", "3", "4", "5", "finished"},
                ZhangSan + LiSi + Wang},
        RunCase{"heading only", "姓名,手机", {"1", "finished"}, ""},
        RunCase{"blank lines of spaces",
                "  \r\n\u3000 \u3000\r\n王",
                {"1", "2", "3", "finished"},
                Wang},
        RunCase{"a tab is not blank",
                "\t",
                {"1", "finished"},
                "BEGIN:VCARD\r\nVERSION:2.1\r\nN:\t;;;\r\nFN:\t\r\nEND:VCARD\r\n"},
        RunCase{"heading word inside a data line",
                "王\r\n赵,姓名研究所\r\n",
                {"1", "2", "finished"},
                Wang},
        RunCase{"heading word split by a comma is data",
                "姓,名\r\n",
                {"1", "finished"},
                "BEGIN:VCARD\r\nVERSION:2.1\r\nN:姓;;;\r\nFN:姓\r\nORG:名\r\nEND:VCARD\r\n"},
        RunCase{"lf line ends", "姓名\n王\n", {"1", "2", "finished"}, Wang},
        RunCase{
            "quoted cell over three lines counts three",
            "\"王\r\n\r\n\",x\r\n王",
            {"1", "2", "3", "4", "finished"},
            "BEGIN:VCARD\r\nVERSION:2.1\r\nN:王;  ;;\r\nFN:王  \r\nORG:x\r\nEND:VCARD\r\n" + Wang},
        RunCase{"cp936 file", "\xD0\xD5\xC3\xFB\r\n\xCD\xF5", {"1", "2", "finished"}, Wang}),
    caseName<RunCase>);

TEST(Runs, WriteTheChosenEncoding) {
    const std::string csv = "姓名\r\n王\r\n";
    const std::string wangCp936 =
        "BEGIN:VCARD\r\nVERSION:2.1\r\nN:\xCD\xF5;;;\r\nFN:\xCD\xF5\r\nEND:VCARD\r\n";
    EXPECT_EQ(convert(csv, OutputEncoding::Ansi).output, wangCp936 + "\r\n");
    EXPECT_EQ(convert(csv, OutputEncoding::Utf8WithBom).output, "\xEF\xBB\xBF" + Wang);
    EXPECT_EQ(convert(csv, OutputEncoding::Utf8NoBom).output, Wang);
    EXPECT_EQ(convert("姓名", OutputEncoding::Ansi).output, "\r\n");
    EXPECT_EQ(convert("姓名", OutputEncoding::Utf8WithBom).output, "\xEF\xBB\xBF");
}

TEST(Runs, LargeFileStreamsThroughWhole) {
    std::string csv = "姓名,公司名称,业务电话,住宅电话,手机\r\n";
    std::string expected;
    for (int i = 0; i < 20000; ++i) {
        const std::string phone = std::to_string(13800000000LL + i);
        csv += "王" + std::to_string(i) + ",公司," + phone + ",,\r\n";
        expected += "BEGIN:VCARD\r\nVERSION:2.1\r\nN:王;" + std::to_string(i) + ";;\r\nFN:王" +
                    std::to_string(i) + "\r\nORG:公司\r\nTEL;WORK;VOICE:" + phone +
                    "\r\nTEL;HOME;VOICE:\r\nTEL;CELL;VOICE:\r\nEND:VCARD\r\n";
    }
    const RunResult run = convert(csv);
    EXPECT_EQ(run.output, expected);
    ASSERT_EQ(run.shown.size(), 20002u);
    EXPECT_EQ(run.shown[20000], "20001");
}

// Failures: each shows its message, and the file already at the output path keeps every byte.
struct FailureCase {
    const char* what;
    std::function<void(RecordingSink&, const ScratchDir&)> arrange;
    std::vector<std::string> shown;
    int yields;
};

class Failures : public testing::TestWithParam<FailureCase> {};

TEST_P(Failures, ShowTheirMessageAndLeaveTheUsersFilesAlone) {
    ScratchDir dir;
    RecordingSink sink;
    const std::string csv = "姓名\r\n王\r\n";
    sink.inputPath = dir.write("in.csv", csv);
    sink.outputPath = dir.write("out.vcf", "the old vCard file");
    GetParam().arrange(sink, dir);

    ConversionRun(sink).execute();

    EXPECT_EQ(sink.shown, GetParam().shown);
    EXPECT_EQ(sink.yields, GetParam().yields);
    EXPECT_EQ(ScratchDir::read(dir.path("in.csv")), csv);
    EXPECT_EQ(ScratchDir::read(dir.path("out.vcf")), "the old vCard file");
    const QStringList left = QDir(dir.path("")).entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(left, (QStringList{"in.csv", "out.vcf"}));
}

const std::string FileMissing = RunTexts::FileMissing.toStdString();
const std::string OutputPathMissing = RunTexts::OutputPathMissing.toStdString();
const std::string OutputIsInput = RunTexts::OutputIsInput.toStdString();
const std::string CannotRead = RunTexts::CannotReadInput.toStdString();
const std::string CannotWrite = RunTexts::CannotWriteOutput.toStdString();

INSTANTIATE_TEST_SUITE_P(
    Messages, Failures,
    testing::Values(
        FailureCase{"prompt text as input",
                    [](RecordingSink& s, const ScratchDir&) { s.inputPath = "请直接将文件拖入"; },
                    {FileMissing},
                    0},
        FailureCase{"empty input path",
                    [](RecordingSink& s, const ScratchDir&) { s.inputPath = ""; },
                    {FileMissing},
                    0},
        FailureCase{"folder as input",
                    [](RecordingSink& s, const ScratchDir& d) { s.inputPath = d.path(""); },
                    {FileMissing},
                    0},
        FailureCase{"empty output path",
                    [](RecordingSink& s, const ScratchDir&) { s.outputPath = ""; },
                    {OutputPathMissing},
                    1},
        FailureCase{"spaces as output path",
                    [](RecordingSink& s, const ScratchDir&) { s.outputPath = "   "; },
                    {OutputPathMissing},
                    1},
        FailureCase{"output is the input",
                    [](RecordingSink& s, const ScratchDir&) { s.outputPath = s.inputPath; },
                    {OutputIsInput},
                    1},
        FailureCase{"output names the input another way",
                    [](RecordingSink& s, const ScratchDir& d) {
                        s.outputPath = d.path("./sub/../in.csv");
                        QDir(d.path("")).mkdir("sub");
                    },
                    {OutputIsInput},
                    1},
        FailureCase{"input gone during the yield",
                    [](RecordingSink& s, const ScratchDir& d) {
                        s.duringYield = [&s, &d] { s.inputPath = d.path("gone.csv"); };
                    },
                    {CannotRead},
                    1},
        FailureCase{
            "output folder missing",
            [](RecordingSink& s, const ScratchDir& d) { s.outputPath = d.path("missing/out.vcf"); },
            {CannotWrite},
            1}),
    caseName<FailureCase>);

TEST(Runs, ConvertTheFileDroppedDuringTheYield) {
    ScratchDir dir;
    RecordingSink sink;
    sink.inputPath = dir.write("first.csv", "张三,某公司,010-1234,,138");
    const QString dropped = dir.write("dropped.csv", "王");
    sink.outputPath = dir.path("out.vcf");
    sink.duringYield = [&] { sink.inputPath = dropped; };
    ConversionRun(sink).execute();
    EXPECT_EQ(ScratchDir::read(sink.outputPath), Wang);
}

TEST(Runs, AcceptHiddenAndLinkedInputs) {
    ScratchDir dir;
    RecordingSink sink;
    sink.inputPath = dir.write(".hidden.csv", "王");
    sink.outputPath = dir.path("out.vcf");
    ConversionRun(sink).execute();
    EXPECT_EQ(ScratchDir::read(sink.outputPath), Wang);

    ASSERT_TRUE(QFile::link(sink.inputPath, dir.path("link.csv")));
    sink.inputPath = dir.path("link.csv");
    sink.outputPath = dir.path("out2.vcf");
    ConversionRun(sink).execute();
    EXPECT_EQ(ScratchDir::read(sink.outputPath), Wang);
}

}  // namespace
