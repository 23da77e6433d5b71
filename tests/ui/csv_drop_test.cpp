#include "csv_drop.h"

#include <gtest/gtest.h>

#include <QDragEnterEvent>
#include <QMimeData>
#include <QUrl>

#include "test_support.h"
#include "window_fixture.h"

namespace {

using test_support::PrintTo;

struct DropCase {
    const char* what;
    std::vector<QUrl> urls;  // empty with `text` set: a plain text drag
    QString text;
    bool canDrop;
    QString csvfile;
    QString vcardfile;
    int messages;
};

std::unique_ptr<QMimeData> dataOf(const DropCase& drop) {
    auto data = std::make_unique<QMimeData>();
    if (!drop.text.isEmpty())
        data->setText(drop.text);
    else
        data->setUrls(QList<QUrl>(drop.urls.begin(), drop.urls.end()));
    return data;
}

QUrl file(const QString& path) {
    return QUrl::fromLocalFile(path);
}

// Windows hands over drive paths; elsewhere a drive letter is just a folder name.
#ifdef Q_OS_WIN
const QString DroppedFromDrive = u"D:\\通讯录\\list"_qs;
#else
const QString DroppedFromDrive = u"/D:/通讯录/list"_qs;
#endif

class Drops : public testing::TestWithParam<DropCase> {};

TEST_P(Drops, FillTheBoxesFromCsvFilesOnly) {
    const DropCase& drop = GetParam();
    ShownWindow shown;
    shown.vcardfile()->setText("unchanged.vcf");
    const QString startText = shown.csvfile()->text();
    const auto data = dataOf(drop);
    const QPoint centre = shown.csvfile()->rect().center();

    QDragEnterEvent enter(centre, Qt::CopyAction | Qt::LinkAction, data.get(), Qt::LeftButton, {});
    QApplication::sendEvent(shown.csvfile(), &enter);
    EXPECT_EQ(enter.isAccepted(), drop.canDrop);
    if (drop.canDrop) {
        EXPECT_EQ(enter.dropAction(), Qt::CopyAction);
    }

    QDropEvent dropped(centre, Qt::CopyAction | Qt::LinkAction, data.get(), Qt::LeftButton, {});
    QApplication::sendEvent(shown.csvfile(), &dropped);

    EXPECT_EQ(shown.csvfile()->text(), drop.csvfile.isNull() ? startText : drop.csvfile);
    EXPECT_EQ(shown.vcardfile()->text(),
              drop.vcardfile.isNull() ? "unchanged.vcf" : drop.vcardfile);
    EXPECT_EQ(shown.messages.size(), std::size_t(drop.messages));
    for (const std::string& message : shown.messages)
        EXPECT_EQ(message, CsvDrop::UnsupportedFile.toStdString());
    EXPECT_EQ(shown.status()->text(), "");  // a drop never starts a run
}

INSTANTIATE_TEST_SUITE_P(
    Files, Drops,
    testing::Values(
        DropCase{"windows path with chinese folder",
                 {file(u"D:/通讯录/list.csv"_qs)},
                 {},
                 true,
                 DroppedFromDrive + ".csv",
                 DroppedFromDrive + ".vcf",
                 0},
        DropCase{"unix path with chinese folder",
                 {file(u"/home/李/通讯录/list.csv"_qs)},
                 {},
                 true,
                 u"/home/李/通讯录/list.csv"_qs,
                 u"/home/李/通讯录/list.vcf"_qs,
                 0},
        DropCase{"upper case name",
                 {file("/tmp/LIST.CSV")},
                 {},
                 true,
                 "/tmp/LIST.CSV",
                 "/tmp/LIST.vcf",
                 0},
        DropCase{"name ending in csv without dot",
                 {file("/tmp/datacsv")},
                 {},
                 true,
                 "/tmp/datacsv",
                 "/tmp/datavcf",
                 0},
        DropCase{"text file", {file("/tmp/a.txt")}, {}, true, {}, {}, 1},
        DropCase{"csv txt csv",
                 {file("/tmp/a.csv"), file("/tmp/b.txt"), file("/tmp/c.csv")},
                 {},
                 true,
                 "/tmp/c.csv",
                 "/tmp/c.vcf",
                 1},
        DropCase{"plain text", {}, "/tmp/a.csv", false, {}, {}, 0},
        DropCase{"remote address", {QUrl("https://example.com/a.csv")}, {}, false, {}, {}, 0},
        DropCase{"remote address beside a file",
                 {QUrl("https://example.com/a.csv"), file("/tmp/b.csv")},
                 {},
                 true,
                 "/tmp/b.csv",
                 "/tmp/b.vcf",
                 0},
        DropCase{"empty list", {}, {}, false, {}, {}, 0}),
    caseName<DropCase>);

TEST(Drops, AreNotTakenByTheOutputBox) {
    ShownWindow shown;
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile("/tmp/a.csv")});
    QDragEnterEvent enter({1, 1}, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(shown.vcardfile(), &enter);
    EXPECT_FALSE(enter.isAccepted());
}

TEST(Drops, DroppedFileIsWhatExecuteConverts) {
    ScratchDir dir;
    const QString input = dir.write("名单.csv", "姓名\r\n王五\r\n");
    ShownWindow shown;
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(input)});
    QDragEnterEvent enter({1, 1}, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(shown.csvfile(), &enter);
    QDropEvent drop({1, 1}, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(shown.csvfile(), &drop);
    shown.execute();

    EXPECT_EQ(ScratchDir::read(dir.path("名单.vcf")),
              "BEGIN:VCARD\r\nVERSION:2.1\r\nN:王;五;;\r\nFN:王五\r\nEND:VCARD\r\n");
    EXPECT_EQ(shown.messages, std::vector<std::string>{});
}

}  // namespace
