// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion_run.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <cctype>
#include <functional>
#include <utility>
#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>
#endif

#include "test_support.h"

namespace {

using namespace Qt::StringLiterals;

// Stands in for the window: hands out paths and the encoding, and writes down what it is shown.
struct RecordingSink : ProgressSink {
    QString input, output;
    OutputEncoding encoding = OutputEncoding::Utf8NoBom;
    std::function<void()> duringYield;
    std::function<void()> duringFirstCount;
    std::vector<std::string> shown;  // "1", "2", ..., "finished", or a message
    int yields = 0;

    QString readInputPath() override { return input; }
    QString readOutputPath() override { return output; }
    OutputEncoding readEncodingChoice() override { return encoding; }
    void showCount(std::int64_t lines) override {
        shown.push_back(std::to_string(lines));
        if (duringFirstCount) std::exchange(duringFirstCount, nullptr)();
    }
    void showFinished() override { shown.push_back("finished"); }
    void showMessage(const QString& text) override { shown.push_back(text.toStdString()); }
    void processPendingEvents() override {
        ++yields;
        if (duringYield) duringYield();
    }
};

struct Converted {
    std::vector<std::string> shown;
    std::string output;
};

Converted convert(std::string_view csv) {
    ScratchDir dir;
    RecordingSink sink;
    sink.input = dir.write("联系人.csv", csv);
    sink.output = dir.path("联系人.vcf");
    ConversionRun(sink).execute();
    EXPECT_EQ(sink.yields, 1);
    return {sink.shown, ScratchDir::read(sink.output)};
}

const std::string Wang = vcard({"N:王;;;", "FN:王"}) + "\r\n";

struct RunCase {
    const char* what;
    std::string csv;
    std::vector<std::string> shown;
    std::string output;
};

class Runs : public testing::TestWithParam<RunCase> {};

TEST_P(Runs, CountEveryLineAndWriteTheRecords) {
    const Converted run = convert(GetParam().csv);
    EXPECT_EQ(run.shown, GetParam().shown);
    EXPECT_EQ(run.output, GetParam().output);
}

const std::string Worked = vcard({"N:张;三;;", "FN:张三", "ORG:某公司", "TEL;WORK;VOICE:010-1234",
                                  "TEL;HOME;VOICE:", "TEL;CELL;VOICE:138"});

// clang-format off
INSTANTIATE_TEST_SUITE_P(Files, Runs, testing::Values(
    RunCase{"heading three rows and a blank line",
            "姓名,公司名称,业务电话,住宅电话,手机\r\n张三,某公司,010-1234,,138\r\n\r\n李四,某公司\r\n王\r\n",
            {"1", "2", "3", "4", "5", "finished"},
            Worked + "\r\n" + vcard({"N:李;四;;", "FN:李四", "ORG:某公司"}) + "\r\n" + Wang},
    RunCase{"heading only", "姓名,手机", {"1", "finished"}, ""},
    RunCase{"blank lines of spaces", "  \r\n\u3000 \u3000\r\n王", {"1", "2", "3", "finished"}, Wang},
    RunCase{"a tab is not blank", "\t", {"1", "finished"}, vcard({"N:\t;;;", "FN:\t"}) + "\r\n"},
    RunCase{"heading word inside a data line", "王\r\n赵,姓名研究所", {"1", "2", "finished"}, Wang},
    RunCase{"heading word split by a comma is data", "姓,名", {"1", "finished"},
            vcard({"N:姓;;;", "FN:姓", "ORG:名"}) + "\r\n"},
    RunCase{"quoted cell over three lines counts three", "\"王\r\n\r\n\",x\r\n王",
            {"1", "2", "3", "4", "finished"}, vcard({"N:王;  ;;", "FN:王  ", "ORG:x"}) + "\r\n" + Wang},
    RunCase{"heading word in a cell's first line skips the whole row",
            "王\n张三,\"原姓名李\n某公司\",138\n王", {"1", "2", "3", "4", "finished"}, Wang + Wang},
    RunCase{"heading word in a cell's first crlf line skips the whole row", "张三,\"上姓名\r\n下\",1",
            {"1", "2", "finished"}, ""}),
    caseName<RunCase>);
// clang-format on

// Every file under `dir`, in its subfolders too, by its path there.
QStringList filesUnder(const ScratchDir& dir) {
    const QDir root(dir.path(""));
    QStringList files;
    for (QDirIterator it(root.path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        files.append(root.relativeFilePath(it.next()));
    files.sort();
    return files;
}

// The scratch folder as the working folder for as long as it lives, so that a path taken for a
// relative one by mistake lands where the test looks.
class InsideFolder {
public:
    explicit InsideFolder(const ScratchDir& dir) : previous_(QDir::currentPath()) {
        QDir::setCurrent(dir.path(""));
    }
    ~InsideFolder() { QDir::setCurrent(previous_); }

private:
    QString previous_;
};

// Failures: each shows its message, and the user's files keep every byte; nothing is created,
// in the folder or under the working folder.
using Sink = RecordingSink;
using Dir = ScratchDir;
using namespace RunTexts;

struct FailureCase {
    const char* what;
    std::function<void(Sink&, const Dir&)> arrange;
    QString message;
};

class Failures : public testing::TestWithParam<FailureCase> {};

TEST_P(Failures, ShowTheirMessageAndLeaveTheUsersFilesAlone) {
    ScratchDir dir;
    const InsideFolder working(dir);
    RecordingSink sink;
    sink.input = dir.write("in.csv", "王");
    sink.output = dir.write("out.vcf", "the old vCard file");
    QDir(dir.path("")).mkdir("sub");
    GetParam().arrange(sink, dir);

    ConversionRun(sink).execute();

    std::erase_if(sink.shown, [](const std::string& s) { return std::isdigit(uchar(s[0])); });
    EXPECT_EQ(sink.shown, std::vector<std::string>{GetParam().message.toStdString()});
    EXPECT_EQ(sink.yields, GetParam().message == FileMissing ? 0 : 1);
    EXPECT_EQ(ScratchDir::read(dir.path("in.csv")), "王");
    EXPECT_EQ(ScratchDir::read(dir.path("out.vcf")), "the old vCard file");
    EXPECT_EQ(filesUnder(dir), (QStringList{"in.csv", "out.vcf"}));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Messages, Failures, testing::Values(
    FailureCase{"prompt as input", [](Sink& s, const Dir&) { s.input = "请直接将文件拖入"; }, FileMissing},
    FailureCase{"folder as input", [](Sink& s, const Dir& d) { s.input = d.path("sub"); }, FileMissing},
    FailureCase{"empty output", [](Sink& s, const Dir&) { s.output = ""; }, OutputPathMissing},
    FailureCase{"output is the input", [](Sink& s, const Dir&) { s.output = s.input; }, OutputIsInput},
    FailureCase{"output is the input with a space after it",
                [](Sink& s, const Dir&) { s.output = s.input + " "; }, OutputIsInput},
    FailureCase{"output names the input another way",
                [](Sink& s, const Dir& d) { s.output = d.path("sub/../in.csv"); }, OutputIsInput},
    FailureCase{"input gone during the yield",
                [](Sink& s, const Dir& d) {
                    s.duringYield = [&s, &d] { s.input = d.path("gone.csv"); };
                },
                CannotReadInput},
    FailureCase{"input cut short while it is read",
                [](Sink& s, const Dir& d) {
                    s.input = d.write("in.csv", repeated("王,某公司,010-1234\r\n", 100000));
                    s.duringFirstCount = [&d] { d.write("in.csv", "王"); };
                },
                CannotReadInput},
    FailureCase{"unpaired surrogate in the input path after the yield",
                [](Sink& s, const Dir& d) {
                    s.duringYield = [&s, &d] { s.input = d.path("in") + QChar(0xDC00) + ".csv"; };
                },
                CannotReadInput},
    FailureCase{"unpaired surrogate in the output path",
                [](Sink& s, const Dir& d) { s.output = d.path("out") + QChar(0xDC00) + ".vcf"; },
                CannotWriteOutput},
    FailureCase{"output folder missing",
                [](Sink& s, const Dir& d) { s.output = d.path("missing/out.vcf"); }, CannotWriteOutput},
    FailureCase{"folder as output",
                [](Sink& s, const Dir& d) { s.output = d.path("sub"); }, CannotWriteOutput}),
    caseName<FailureCase>);

#ifdef Q_OS_WIN
QString native(const QString& path) { return QDir::toNativeSeparators(path); }

// A folder under the working folder, named as a \\?\ path's first part: where such a path would
// land with its prefix cut off.
QString prefixAsFolder(const Dir& d, const QString& folder, const QString& file) {
    QDir(d.path("")).mkpath(folder);
    return "\\\\?\\" + native(folder) + '\\' + file;
}

// Windows spells one file many ways, and refuses to replace a read-only one. A colon after the
// drive names a stream of a file: NTFS would create the output inside the input.
INSTANTIATE_TEST_SUITE_P(WindowsRules, Failures, testing::Values(
    FailureCase{"output is the input in other letter case and slashes",
                [](Sink& s, const Dir&) { s.output = s.input.toUpper(); }, OutputIsInput},
    FailureCase{"output is the input through a dot folder",
                [](Sink& s, const Dir& d) {
                    s.output = QDir::toNativeSeparators(d.path("sub")) + "\\..\\.\\IN.csv";
                },
                OutputIsInput},
    FailureCase{"read-only output",
                [](Sink&, const Dir& d) { QFile::setPermissions(d.path("out.vcf"), QFile::ReadOwner); },
                CannotWriteOutput},
    FailureCase{"output named by dots and spaces only",
                [](Sink& s, const Dir& d) { s.output = d.path("sub/. ."); }, CannotWriteOutput},
    FailureCase{"output as a stream of the input",
                [](Sink& s, const Dir&) { s.output = native(s.input) + u":备注"_s; }, CannotWriteOutput},
    FailureCase{"output as a stream of the input the long way",
                [](Sink& s, const Dir&) { s.output = "\\\\?\\" + native(s.input) + ":x"; },
                CannotWriteOutput},
    FailureCase{"output as a stream refused before the input is opened",
                [](Sink& s, const Dir& d) {
                    s.output = native(d.path("new.vcf")) + ":x";
                    s.duringYield = [&s, &d] { s.input = d.path("gone.csv"); };
                },
                CannotWriteOutput},
    FailureCase{"output on a volume named by its guid",
                [](Sink& s, const Dir& d) {
                    s.output = prefixAsFolder(d, "Volume{0b1e2d3c-4a5b-6c7d-8e9f-0a1b2c3d4e5f}", "x.vcf");
                },
                CannotWriteOutput},
    FailureCase{"output through globalroot",
                [](Sink& s, const Dir& d) {
                    s.output = prefixAsFolder(d, "GLOBALROOT/Device/HarddiskVolume1", "x.vcf");
                },
                CannotWriteOutput}),
    caseName<FailureCase>);
// clang-format on

// Windows 11 takes CON.vcf for a file and only CON for the console, Windows 10 and Wine both for
// the console: what the run does follows what this system's GetFullPathNameW makes of the name.
TEST(Runs, WriteAFileNamedAfterADeviceOnlyWhereWindowsTakesItForAFile) {
    for (const QString& name : {u"CON.vcf"_s, u"CON"_s}) {
        SCOPED_TRACE(name.toStdString());
        ScratchDir dir;
        RecordingSink sink;
        sink.input = dir.write("in.csv", "王");
        sink.output = native(dir.path(name));
        wchar_t made[MAX_PATH];
        const DWORD size = GetFullPathNameW(reinterpret_cast<LPCWSTR>(sink.output.utf16()),
                                            MAX_PATH, made, nullptr);
        ASSERT_TRUE(size > 0 && size < MAX_PATH);
        const bool device = std::wstring_view(made, size).starts_with(L"\\\\.\\");
        ConversionRun(sink).execute();
        if (device) {
            EXPECT_EQ(sink.shown, std::vector<std::string>{CannotWriteOutput.toStdString()});
            EXPECT_EQ(filesUnder(dir), QStringList{"in.csv"});
        } else {
            EXPECT_EQ(sink.shown, (std::vector<std::string>{"1", "finished"}));
            EXPECT_EQ(ScratchDir::read(dir.path(name)), Wang);
        }
    }
}
#else
// Elsewhere a colon is a character like any other.
TEST(Runs, WriteANameWithAColonAsItIs) {
    ScratchDir dir;
    RecordingSink sink;
    sink.input = dir.write("in.csv", "王");
    sink.output = dir.path(u"in.csv:备注"_s);
    ConversionRun(sink).execute();
    EXPECT_EQ(ScratchDir::read(sink.output), Wang);
}
#endif

// Paths as users paste them: Explorer's 复制为路径 puts them in quotes, a copied line brings its
// line end. Each is written to the file the user means, and to no other.
struct PastedCase {
    const char* what;
    QString (*input)(const QString& path);
    QString (*output)(const QString& path);
};

class Pasted : public testing::TestWithParam<PastedCase> {};

TEST_P(Pasted, PathsNameTheFilesTheUserMeans) {
    ScratchDir dir;
    RecordingSink sink;
    sink.input = GetParam().input(QDir::toNativeSeparators(dir.write("in.csv", "王")));
    sink.output = GetParam().output(QDir::toNativeSeparators(dir.path("out.vcf")));
    ConversionRun(sink).execute();
    EXPECT_EQ(sink.shown, (std::vector<std::string>{"1", "finished"}));
    EXPECT_EQ(ScratchDir::read(dir.path("out.vcf")), Wang);
    EXPECT_EQ(QDir(dir.path("")).entryList(QDir::Files), (QStringList{"in.csv", "out.vcf"}));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Boxes, Pasted, testing::Values(
    PastedCase{"line ends and spaces around both", [](const QString& p) { return " \t" + p + "\r\n"; },
               [](const QString& p) { return p + "  \n"; }},
    PastedCase{"quotes and line ends around both", [](const QString& p) { return '"' + p + "\"\r\n"; },
               [](const QString& p) { return " \"" + p + "\" "; }}),
    caseName<PastedCase>);

#ifdef Q_OS_WIN
QString asIs(const QString& path) { return path; }

// Names Win32 shortens, and paths past its old length limit written the long way.
INSTANTIATE_TEST_SUITE_P(WindowsNames, Pasted, testing::Values(
    PastedCase{"output ending in dots", asIs, [](const QString& p) { return p + ".."; }},
    PastedCase{"output ending in dots and spaces", asIs, [](const QString& p) { return p + ". ."; }},
    PastedCase{"output as a long path", asIs, [](const QString& p) { return "\\\\?\\" + p; }},
    PastedCase{"both as long paths in quotes", [](const QString& p) { return "\"\\\\?\\" + p + '"'; },
               [](const QString& p) { return "\"\\\\?\\" + p + '"'; }}),
    caseName<PastedCase>);
#endif
// clang-format on

// The input is read again after the yield, as a drop may have changed it: to a file hidden from
// listings, or (where links are files to the system) one reached through a link, whose times and
// size are the linked file's.
TEST(Runs, ConvertWhatTheBoxesNameAfterTheYieldHiddenOrLinked) {
    ScratchDir dir;
    RecordingSink sink;
    sink.input = dir.write("first.csv", "张三");
    sink.output = dir.path("out.vcf");
    const QString hidden = dir.write(".hidden.csv", "王");
#ifdef Q_OS_WIN
    const auto* name = reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(hidden).utf16());
    ASSERT_TRUE(SetFileAttributesW(name, FILE_ATTRIBUTE_HIDDEN));
    const QString dropped = hidden;
#else
    const QString dropped = dir.path("link.csv");
    ASSERT_TRUE(QFile::link(hidden, dropped));
#endif
    sink.duringYield = [&] { sink.input = dropped; };
    ConversionRun(sink).execute();
    EXPECT_EQ(ScratchDir::read(sink.output), Wang);
}

// Deep folder trees pass Windows' old limit of 260 characters; nothing of ours may stop there,
// the check that the output is not the input included. Names with characters that code page 936
// lacks survive only if no path passes through it.
TEST(Runs, ConvertFilesDeeperThanTheOldPathLimitAndNamedOutsideTheCodePage) {
    ScratchDir dir;
    QString deep = u"客户资料"_s;
    while (deep.size() < 300) deep += u"/二〇二六年 第四季度 华东区 销售部 通讯录"_s;
    const QString folder = dir.path(deep);
    ASSERT_TRUE(QDir().mkpath(folder + "/sub"));
    RecordingSink sink;
    sink.input = QDir::toNativeSeparators(dir.write(deep + u"/한글 😀 通讯录.csv"_s, "王"));
    sink.output = QDir::toNativeSeparators(folder + u"/sub/../한글 😀 通讯录.csv"_s);
    ConversionRun(sink).execute();
    EXPECT_EQ(sink.shown, std::vector<std::string>{OutputIsInput.toStdString()});

    sink.shown.clear();
    sink.output = QDir::toNativeSeparators(folder + u"/한글 😀 通讯录.vcf"_s);
    ConversionRun(sink).execute();
    EXPECT_EQ(sink.shown, (std::vector<std::string>{"1", "finished"}));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files),
              (QStringList{u"한글 😀 通讯录.csv"_s, u"한글 😀 通讯录.vcf"_s}));
    EXPECT_EQ(ScratchDir::read(sink.output), Wang);
    EXPECT_GT(sink.output.size(), 300);
}

#ifndef Q_OS_WIN
// A FIFO put under the list's name during the yield has no writer: the run refuses it rather than
// wait for one, which would freeze the window.
TEST(Runs, RefuseAFifoPutUnderTheInputsNameWithoutWaiting) {
    ScratchDir dir;
    RecordingSink sink;
    sink.input = dir.write("in.csv", "王");
    sink.output = dir.path("out.vcf");
    const QByteArray fifo = QFile::encodeName(sink.input);
    sink.duringYield = [&] {
        ASSERT_TRUE(QFile::remove(sink.input));
        ASSERT_EQ(mkfifo(fifo.constData(), 0600), 0);
    };
    std::future<void> run = std::async(std::launch::async, [&] { ConversionRun(sink).execute(); });
    const bool ended = run.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    if (!ended) {  // a writer lets the waiting open go, so that the test fails rather than hangs
        const int writer = open(fifo.constData(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0) close(writer);
    }
    run.wait();
    EXPECT_TRUE(ended) << "the run waited for a writer";
    EXPECT_EQ(sink.shown, std::vector<std::string>{CannotReadInput.toStdString()});
    EXPECT_EQ(ScratchDir::read(sink.output), "<missing>");
}
#endif

}  // namespace
