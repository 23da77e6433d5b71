// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
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
constexpr Qt::DropAction Copy = Qt::CopyAction, Move = Qt::MoveAction, Refused = Qt::IgnoreAction;

struct DropCase {
    const char* what;
    QList<QUrl> urls;  // a plain text drag when empty and `text` is set
    QString text;
    Qt::DropAction over;     // the answer to the drag entering and moving over the box
    Qt::DropAction dropped;  // the answer to the drop
    QString csvfile;         // null: unchanged; with '/', shown with the system's own separator
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
                  Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction,
                  Qt::DropAction over = Copy, Qt::DropAction dropped = Copy) {
    return {what,
            {file("/tmp/list.csv")},
            {},
            over,
            dropped,
            "/tmp/list.csv",
            "/tmp/list.vcf",
            0,
            offered,
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
    EXPECT_EQ(answers.enter, drop.over);
    EXPECT_EQ(answers.move, drop.over);
    EXPECT_EQ(answers.drop, drop.dropped);
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
    DropCase{"drive path with chinese folder", {file(u"D:/通讯录/list.csv"_s)}, {}, Copy, Copy,
             DroppedFromDrive + ".csv", DroppedFromDrive + ".vcf", 0},
    DropCase{"upper case name", {file("/tmp/LIST.CSV")}, {}, Copy, Copy, "/tmp/LIST.CSV", "/tmp/LIST.vcf", 0},
    DropCase{"name ending in csv without dot", {file("/tmp/datacsv")}, {}, Copy, Copy, "/tmp/datacsv",
             "/tmp/datavcf", 0},
    DropCase{"text file", {file("/tmp/a.txt")}, {}, Copy, Copy, {}, {}, 1},
    DropCase{"csv txt csv", {file("/tmp/a.csv"), file("/tmp/b.txt"), file("/tmp/c.csv")}, {}, Copy, Copy,
             "/tmp/c.csv", "/tmp/c.vcf", 1},
    DropCase{"plain text", {}, "/tmp/a.csv", Refused, Refused, {}, {}, 0},
    DropCase{"remote address", {QUrl("https://example.com/a.csv")}, {}, Refused, Refused, {}, {}, 0},
    DropCase{"remote address beside a file", {QUrl("https://example.com/a.csv"), file("/tmp/b.csv")}, {},
             Copy, Copy, "/tmp/b.csv", "/tmp/b.vcf", 0},
    DropCase{"empty list", {}, {}, Refused, Refused, {}, {}, 0},
    keysHeld("shift", Qt::ShiftModifier), keysHeld("ctrl", Qt::ControlModifier),
    keysHeld("alt", Qt::AltModifier), keysHeld("ctrl shift", Qt::ControlModifier | Qt::ShiftModifier),
    // Dragging over, a source that offers no copy is answered what it offers, or the drop would
    // never come; the drop itself is refused, never answered as a move.
    keysHeld("move only", {}, Qt::MoveAction, Move, Refused)),
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
