#include "csv_drop.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QUrl>

#include "test_support.h"
#include "window_fixture.h"

namespace {

using namespace Qt::StringLiterals;

// Whatever the keys held, a drop is answered as a copy: an answered move makes Explorer delete
// the dropped file. A source that offers no copy is told nothing was done.
struct DropCase {
    const char* what;
    QList<QUrl> urls;  // a plain text drag when empty and `text` is set
    QString text;
    bool canDrop;
    QString csvfile;  // null: unchanged; with '/', shown with the system's own separator
    QString vcardfile;
    std::size_t messages;
    Qt::DropActions offered = Qt::CopyAction | Qt::LinkAction;  // as a file manager does
    Qt::KeyboardModifiers held = {};
};

QUrl file(const QString& path) {
    return QUrl::fromLocalFile(path);
}

// Windows hands over drive paths; elsewhere a drive letter is just a folder name.
#ifdef Q_OS_WIN
const QString DroppedFromDrive = u"D:/通讯录/list"_s;
#else
const QString DroppedFromDrive = u"/D:/通讯录/list"_s;
#endif

// A list dragged in with keys held, from a source that offers every action or only some.
DropCase keysHeld(const char* what, Qt::KeyboardModifiers held,
                  Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction) {
    return {what, {file("/tmp/list.csv")}, {}, true, "/tmp/list.csv", "/tmp/list.vcf", 0, offered,
            held};
}

class Drops : public testing::TestWithParam<DropCase> {};

TEST_P(Drops, FillTheBoxesFromCsvFilesOnly) {
    const DropCase& drop = GetParam();
    ShownWindow shown;
    shown.vcardfile()->setText("unchanged.vcf");
    const QString prompt = shown.csvfile()->text();
    QMimeData data;
    if (drop.text.isEmpty())
        data.setUrls(drop.urls);
    else
        data.setText(drop.text);

    const auto answers = shown.dragAndDrop(shown.csvfile(), data, drop.offered, drop.held);
    const bool copy = drop.canDrop && drop.offered & Qt::CopyAction;
    // Dragging over, a source that offers no copy is answered what it offers, or the drop
    // would never come.
    const auto over = copy ? Qt::CopyAction : drop.canDrop ? Qt::MoveAction : Qt::IgnoreAction;
    EXPECT_EQ(answers.enter, over);
    EXPECT_EQ(answers.move, over);
    EXPECT_EQ(answers.drop, copy ? Qt::CopyAction : Qt::IgnoreAction);
    EXPECT_EQ(shown.csvfile()->text(),
              drop.csvfile.isNull() ? prompt : QDir::toNativeSeparators(drop.csvfile));
    EXPECT_EQ(shown.vcardfile()->text(),
              drop.vcardfile.isNull() ? "unchanged.vcf" : QDir::toNativeSeparators(drop.vcardfile));
    EXPECT_EQ(shown.messages,
              std::vector<std::string>(drop.messages, CsvDrop::UnsupportedFile.toStdString()));
    EXPECT_EQ(shown.messagesInsideDrop, 0u);
    EXPECT_EQ(shown.status()->text(), "");  // a drop never starts a run
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Files, Drops, testing::Values(
    DropCase{"drive path with chinese folder", {file(u"D:/通讯录/list.csv"_s)}, {}, true,
             DroppedFromDrive + ".csv", DroppedFromDrive + ".vcf", 0},
    DropCase{"upper case name", {file("/tmp/LIST.CSV")}, {}, true, "/tmp/LIST.CSV", "/tmp/LIST.vcf", 0},
    DropCase{"name ending in csv without dot", {file("/tmp/datacsv")}, {}, true, "/tmp/datacsv", "/tmp/datavcf", 0},
    DropCase{"text file", {file("/tmp/a.txt")}, {}, true, {}, {}, 1},
    DropCase{"csv txt csv", {file("/tmp/a.csv"), file("/tmp/b.txt"), file("/tmp/c.csv")}, {}, true,
             "/tmp/c.csv", "/tmp/c.vcf", 1},
    DropCase{"plain text", {}, "/tmp/a.csv", false, {}, {}, 0},
    DropCase{"remote address", {QUrl("https://example.com/a.csv")}, {}, false, {}, {}, 0},
    DropCase{"remote address beside a file", {QUrl("https://example.com/a.csv"), file("/tmp/b.csv")}, {}, true,
             "/tmp/b.csv", "/tmp/b.vcf", 0},
    DropCase{"empty list", {}, {}, false, {}, {}, 0},
    keysHeld("shift", Qt::ShiftModifier), keysHeld("ctrl", Qt::ControlModifier),
    keysHeld("alt", Qt::AltModifier), keysHeld("ctrl shift", Qt::ControlModifier | Qt::ShiftModifier),
    keysHeld("move only", {}, Qt::MoveAction)),
    caseName<DropCase>);
// clang-format on

TEST(Drops, AreNotTakenByTheOutputBox) {
    ShownWindow shown;
    QMimeData data;
    data.setUrls({file("/tmp/a.csv")});
    EXPECT_EQ(shown.dragAndDrop(shown.vcardfile(), data).drop, Qt::IgnoreAction);
    EXPECT_EQ(shown.vcardfile()->text(), "");
}

}  // namespace
