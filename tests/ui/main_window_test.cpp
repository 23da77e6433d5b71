// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "main_window.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

#include "conversion_run.h"
#include "test_support.h"
#include "window_fixture.h"
#include "window_layout.h"

// A failing layout case names its control.
namespace WindowLayout {
void PrintTo(const Entry& entry, std::ostream* out) {
    *out << entry.objectName().toStdString();
}
}  // namespace WindowLayout

namespace {

using WindowLayout::Kind;

// How the window fits a control to its font: where the font needs more room than drawn, captions
// widen and the instructions grow upwards, in place and nothing cut off; the rest stay as drawn.
enum class Fit { Exact, WidensToText, GrowsUpwardsToText };

Fit fitOf(const WindowLayout::Entry& entry) {
    switch (entry.kind) {
        case Kind::Frame:
        case Kind::OptionGroup:
        case Kind::TextBox:
        case Kind::PushButton:
            return Fit::Exact;
        case Kind::Label:
            return *entry.text ? Fit::WidensToText : Fit::Exact;
        case Kind::OptionButton:
            return Fit::WidensToText;
        case Kind::WrappingLabel:
            return Fit::GrowsUpwardsToText;
    }
    throw std::logic_error("a kind of control without its fit");
}

// Where the window placed `control`, as the layout table gives places: relative to Frame1 for
// the controls inside it.
QRect placed(const ShownWindow& shown, const QWidget* control) {
    const auto* frame = shown.find<QWidget>("Frame1");
    if (control == frame || control->parentWidget() == shown.window.get())
        return control->geometry();
    return {control->mapTo(frame, QPoint(0, 0)), control->size()};
}

class Layout : public testing::TestWithParam<WindowLayout::Entry> {};

TEST_P(Layout, PlacesTheControlAsTheSheetDrawsIt) {
    const ShownWindow shown;
    const WindowLayout::Entry& entry = GetParam();
    const auto* control = shown.window->findChild<QWidget*>(entry.objectName());
    ASSERT_NE(control, nullptr);
    const QString text = control->property("text").toString();
    const QRect drawn = entry.geometry, is = placed(shown, control);
    EXPECT_EQ(is.x(), drawn.x());
    switch (fitOf(entry)) {
        case Fit::Exact:
            EXPECT_EQ(is, drawn);
            break;
        case Fit::WidensToText:
            EXPECT_EQ(is.y(), drawn.y());
            EXPECT_GE(is.width(), std::max(QFontMetrics(control->font()).horizontalAdvance(text),
                                           control->sizeHint().width()));
            EXPECT_LE(is.width(), std::max(drawn.width(), control->sizeHint().width()));
            break;
        case Fit::GrowsUpwardsToText:
            EXPECT_FALSE(text.isEmpty());
            EXPECT_EQ(is.bottom(), drawn.bottom());
            EXPECT_EQ(is.height(),
                      std::max(drawn.height(), control->heightForWidth(drawn.width())));
            break;
    }
}

INSTANTIATE_TEST_SUITE_P(Controls, Layout, testing::ValuesIn(WindowLayout::Controls),
                         [](const testing::TestParamInfo<WindowLayout::Entry>& info) {
                             return testName(info.param.objectName().toStdString());
                         });

TEST(Window, StartsAsTheUserFirstSeesIt) {
    const ShownWindow shown;
    const Form1& window = *shown.window;
    EXPECT_EQ(window.windowTitle(), "Zeluvar");
    EXPECT_EQ(window.size(), QSize(601, 314));
    const QPoint screenCentre = window.screen()->availableGeometry().center();
    // Centred before the window manager adds its frame, so only within the frame's width.
    EXPECT_LE((window.geometry().center() - screenCentre).manhattanLength(), 8);
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_EQ(window.font().pointSize(), 9);
    for (const char* option : {"Option1(0)", "Option1(1)", "Option1(2)"})
        EXPECT_EQ(shown.find<QRadioButton>(option)->isChecked(), option[8] == '2') << option;
    EXPECT_EQ(shown.status()->text(), "");
    EXPECT_EQ(window.focusWidget(), shown.csvfile());
    EXPECT_FALSE(shown.vcardfile()->isReadOnly());
    EXPECT_TRUE(shown.find<QLabel>("Label2")->wordWrap());
}

// Keys as in Windows: Tab follows the tab indexes and enters the encoding buttons at the selected
// one, the arrow keys select as they move, and Enter or Return presses the focused 执行.
TEST(Window, TabEntersTheEncodingsAtTheSelectedOne) {
    for (const char* selected : {"Option1(0)", "Option1(1)", "Option1(2)"}) {
        ShownWindow shown;
        shown.activate();
        shown.find<QRadioButton>(selected)->setChecked(true);
        std::vector<QString> order;
        for (int i = 0; i < 4; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order.push_back(QApplication::focusWidget()->objectName());
        }
        EXPECT_EQ(order, (std::vector<QString>{"vcardfile", "Command1", selected, "csvfile"}));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), selected);
    }
}

TEST(Window, ArrowKeysSelectTheEncodingTheyMoveTo) {
    ShownWindow shown;
    shown.activate();
    shown.find<QPushButton>("Command1")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    std::vector<QString> selected;
    for (const Qt::Key key : {Qt::Key_Left, Qt::Key_Left, Qt::Key_Right, Qt::Key_Right}) {
        QTest::keyClick(QApplication::focusWidget(), key);
        const auto* focused = qobject_cast<QRadioButton*>(QApplication::focusWidget());
        ASSERT_NE(focused, nullptr);
        EXPECT_TRUE(focused->isChecked()) << focused->objectName().toStdString();
        selected.push_back(focused->objectName());
    }
    EXPECT_EQ(selected,
              (std::vector<QString>{"Option1(1)", "Option1(0)", "Option1(1)", "Option1(2)"}));
}

TEST(Window, EnterAndReturnPressTheFocusedButton) {
    ShownWindow shown;
    shown.activate();
    auto* execute = shown.find<QPushButton>("Command1");
    execute->setFocus();
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space})
        QTest::keyClick(execute, key);
    EXPECT_EQ(shown.messages, std::vector<std::string>(3, "文件不存在!   "));
}

// What a screen reader says for each control the user works with, and the group it is in.
struct SpokenCase {
    const char* what;
    QAccessible::Role role;
    const char16_t* name;
    const char16_t* groupName;  // the accessible parent's name
};

class Spoken : public testing::TestWithParam<SpokenCase> {};

TEST_P(Spoken, ControlsAreNamedByTheirCaptions) {
    const ShownWindow shown;
    const SpokenCase& expected = GetParam();
    QAccessibleInterface* spoken =
        QAccessible::queryAccessibleInterface(shown.find<QWidget>(expected.what));
    ASSERT_NE(spoken, nullptr);
    EXPECT_EQ(spoken->role(), expected.role);
    EXPECT_EQ(spoken->text(QAccessible::Name), QString::fromUtf16(expected.name));
    EXPECT_EQ(spoken->parent()->text(QAccessible::Name), QString::fromUtf16(expected.groupName));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Controls, Spoken, testing::Values(
    SpokenCase{"csvfile",      QAccessible::EditableText, u"CSV文件地址",     u""},
    SpokenCase{"vcardfile",    QAccessible::EditableText, u"生成文件地址",    u""},
    SpokenCase{"Option1Group", QAccessible::Grouping,     u"生成编码格式",    u""},
    SpokenCase{"Option1(0)",   QAccessible::RadioButton,  u"ANSI",            u"生成编码格式"},
    SpokenCase{"Option1(1)",   QAccessible::RadioButton,  u"UTF-8 (带BOM)",   u"生成编码格式"},
    SpokenCase{"Option1(2)",   QAccessible::RadioButton,  u"UTF-8 (不带BOM)", u"生成编码格式"},
    SpokenCase{"Command1",     QAccessible::Button,       u"执行",            u"Zeluvar"}),
    caseName<SpokenCase>);
// clang-format on

// Execute through the window: the bytes written for each option the user can pick.
struct ExecuteCase {
    const char* what;
    const char* option;
    std::string bytes;
};

class Execute : public testing::TestWithParam<ExecuteCase> {};

const std::string Wang = vcard({"N:王;五;;", "FN:王五", "ORG:某公司"}) + "\r\n";
const std::string WangCp936 =
    vcard({"N:\xCD\xF5;\xCE\xE5;;", "FN:\xCD\xF5\xCE\xE5", "ORG:\xC4\xB3\xB9\xAB\xCB\xBE"}) +
    "\r\n";

TEST_P(Execute, WritesTheChosenEncoding) {
    ScratchDir dir;
    const QString input = dir.write("通讯录.csv", "姓名,公司名称\r\n王五,某公司\r\n");
    ShownWindow shown;
    shown.csvfile()->setText(input);
    shown.vcardfile()->setText(dir.path("通讯录.vcf"));
    QTest::mouseClick(shown.find<QRadioButton>(GetParam().option), Qt::LeftButton);
    shown.execute();

    EXPECT_EQ(ScratchDir::read(dir.path("通讯录.vcf")), GetParam().bytes);
    EXPECT_EQ(shown.status()->text(), "处理结束");
    EXPECT_TRUE(shown.messages.empty());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Options, Execute, testing::Values(
    ExecuteCase{"ansi", "Option1(0)", WangCp936 + "\r\n"},
    ExecuteCase{"utf8 mark", "Option1(1)", "\xEF\xBB\xBF" + Wang},
    ExecuteCase{"utf8", "Option1(2)", Wang}),
    caseName<ExecuteCase>);
// clang-format on

// The run's messages reach a message box; the prompt the input box starts with names no file, and
// a drop handled during the run's one yield changes the input path under it.
TEST(Window, FailuresReachAMessageBox) {
    ScratchDir dir;
    ShownWindow shown;
    shown.execute();
    EXPECT_EQ(shown.status()->text(), "");
    shown.csvfile()->setText(dir.write("in.csv", "王五\r\n"));
    shown.vcardfile()->setText(dir.path("out.vcf"));
    QTimer::singleShot(0, shown.window.get(),
                       [&] { shown.csvfile()->setText(dir.path("gone.csv")); });
    shown.execute();

    EXPECT_EQ(shown.messages, (std::vector<std::string>{"文件不存在!   ",
                                                        RunTexts::CannotReadInput.toStdString()}));
    EXPECT_FALSE(QFileInfo::exists(dir.path("out.vcf")));
}

// Presses made while a run keeps the window busy, queued until its one yield or until it ends,
// start no run of their own; keys typed meanwhile still arrive.
TEST(Window, OnePressIsOneRun) {
    ScratchDir dir;
    ShownWindow shown;
    shown.csvfile()->setText(dir.write("in.csv", "王五\r\n"));
    shown.vcardfile()->setText(dir.path("missing/out.vcf"));
    auto* button = shown.find<QPushButton>("Command1");
    const auto queueClick = [button] {
        const QPointF centre = button->rect().center();
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
            QCoreApplication::postEvent(
                button, new QMouseEvent(type, centre, button->mapToGlobal(centre), Qt::LeftButton,
                                        Qt::LeftButton, {}));
    };
    queueClick();
    shown.duringFirstMessage = [&] {
        queueClick();
        QCoreApplication::postEvent(
            shown.vcardfile(), new QKeyEvent(QEvent::KeyPress, Qt::Key_X, {}, QStringLiteral("x")));
    };
    shown.execute();
    QCoreApplication::processEvents();

    EXPECT_EQ(shown.messages, std::vector<std::string>{RunTexts::CannotWriteOutput.toStdString()});
    EXPECT_EQ(shown.vcardfile()->text(), dir.path("missing/out.vcf") + "x");
}

// Closing opens the home page once. Closed during a run, the window waits for the run's end, so
// that the run's messages still show over it.
TEST(Window, ClosingOpensTheHomePageOnce) {
    enum class When { WithoutRun, AfterARun, DuringARun };
    for (const When when : {When::WithoutRun, When::AfterARun, When::DuringARun}) {
        ScratchDir dir;
        ShownWindow shown;
        shown.csvfile()->setText(dir.write("in.csv", "王五\r\n"));
        shown.vcardfile()->setText(dir.path("missing/out.vcf"));
        bool messageOverTheWindow = false;
        shown.duringFirstMessage = [&] {
            messageOverTheWindow = shown.window->isVisible() && shown.openedAddresses.empty();
        };
        if (when == When::DuringARun)
            QTimer::singleShot(0, shown.window.get(), [&] { shown.window->close(); });
        if (when != When::WithoutRun) shown.execute();
        if (when != When::DuringARun) {
            EXPECT_TRUE(shown.window->close());
        }

        EXPECT_FALSE(shown.window->isVisible());
        EXPECT_EQ(shown.openedAddresses, std::vector<QString>{HomePageAddress});
        if (when == When::WithoutRun) continue;
        EXPECT_EQ(shown.messages,
                  std::vector<std::string>{RunTexts::CannotWriteOutput.toStdString()});
        EXPECT_TRUE(messageOverTheWindow);
    }
}

// Writes down the status label's text each time it is painted.
class PaintLog : public QObject {
public:
    std::vector<QString> painted;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted.push_back(static_cast<QLabel*>(watched)->text());
        return false;
    }
};

// A list of many reads and many writes: every row arrives, in order, and the count stays visible.
TEST(Window, ConvertsALongListCountingVisiblyWithABoundedNumberOfRepaints) {
    constexpr int Lines = 400000;
    std::string csv = "姓名,公司名称,业务电话,住宅电话,手机\r\n", expected;
    for (int i = 1; i < Lines; ++i) {
        const std::string n = std::to_string(i);
        csv += "王" + n + ",某公司," + n + ",,138\r\n";
        expected += vcard({"N:王;" + n + ";;", "FN:王" + n, "ORG:某公司", "TEL;WORK;VOICE:" + n,
                           "TEL;HOME;VOICE:", "TEL;CELL;VOICE:138"}) +
                    "\r\n";
    }
    ScratchDir dir;
    ShownWindow shown;
    shown.csvfile()->setText(dir.write("big.csv", csv));
    shown.vcardfile()->setText(dir.path("big.vcf"));
    PaintLog log;
    shown.status()->installEventFilter(&log);

    QElapsedTimer clock;
    clock.start();
    shown.execute();
    const qint64 elapsedMs = clock.elapsed();

    // The first count, one per interval, and the last one.
    const auto counts = std::count_if(
        log.painted.begin(), log.painted.end(),
        [](const QString& text) { return !text.isEmpty() && text.front().isDigit(); });
    EXPECT_LE(counts, 2 + elapsedMs / Form1::CountRepaintIntervalMs);
    ASSERT_GE(log.painted.size(), 2u);
    EXPECT_EQ(log.painted.back(), "处理结束");
    EXPECT_EQ(log.painted[log.painted.size() - 2], QString::number(Lines));
    EXPECT_TRUE(ScratchDir::read(dir.path("big.vcf")) == expected) << "the vCard file differs";
}

}  // namespace
