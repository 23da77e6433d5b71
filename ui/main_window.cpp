// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "main_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyleOptionFrame>
#include <QStyleOptionGroupBox>
#include <algorithm>
#include <iterator>
#include <vector>

#include "csv_drop.h"
#include "window_layout.h"

namespace {

using WindowLayout::Kind;
using WindowLayout::Parent;

// Every encoding has its button, in its table's order.
constexpr auto OptionButtons = std::count_if(
    std::begin(WindowLayout::Controls), std::end(WindowLayout::Controls),
    [](const WindowLayout::Entry& entry) { return entry.kind == Kind::OptionButton; });
static_assert(std::size_t(OptionButtons) == OutputEncodings.size());

// What a screen reader calls each box: the caption beside it. The label also becomes the box's
// buddy, which screen readers follow from the box to its label.
const std::pair<const char*, const char*> Captions[] = {
    {"Label1(0)", "csvfile"},
    {"Label1(1)", "vcardfile"},
    {"Label1(4)", "Option1Group"},
};

constexpr QSize ClientSize(601, 314);
constexpr int FontPointSize = 9;
constexpr OutputEncoding StartupEncoding = OutputEncoding::Utf8NoBom;  // Android phones read it
constexpr int StatusLabel = 3;

// A group box that draws nothing itself. Frame1 is one: the window draws its frame (see
// Form1::paintEvent). The encoding buttons' group is one too: it is there for screen readers,
// which announce its name as the focus enters it, inside Frame1's frame.
class UndrawnGroup : public QGroupBox {
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent*) override {}
};

// The controls whose frame the window draws: Frame1 only there, the boxes beneath their own.
bool framedByTheWindow(Kind kind) {
    return kind == Kind::Frame || kind == Kind::TextBox;
}

// Draws the frame of `control` as its style does, from the painter's origin.
void drawFrame(QPainter& painter, QWidget* control) {
    QStyle* style = control->style();
    if (auto* box = qobject_cast<QLineEdit*>(control)) {
        QStyleOptionFrame option;  // as QLineEdit fills it in for itself
        option.initFrom(box);
        option.lineWidth = style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box);
        option.state |= QStyle::State_Sunken;
        style->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, box);
        return;
    }
    QStyleOptionGroupBox option;
    option.initFrom(control);
    option.subControls = QStyle::SC_GroupBoxFrame;
    option.lineWidth = 1;
    style->drawComplexControl(QStyle::CC_GroupBox, &option, &painter, control);
}

QWidget* makeControl(const WindowLayout::Entry& entry, QWidget* parent) {
    const QString text = QString::fromUtf16(entry.text);
    switch (entry.kind) {
        case Kind::Frame:
        case Kind::OptionGroup:
            return new UndrawnGroup(parent);
        case Kind::WrappingLabel: {
            auto* label = new QLabel(text, parent);
            label->setWordWrap(true);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            return label;
        }
        case Kind::Label:
            return new QLabel(text, parent);
        case Kind::TextBox:
            return new QLineEdit(text, parent);
        case Kind::OptionButton:
            return new QRadioButton(text, parent);
        case Kind::PushButton: {
            auto* button = new QPushButton(text, parent);
            button->setAutoDefault(true);  // Enter and Return press it when it has the focus
            return button;
        }
    }
    return nullptr;
}

// The layout was drawn for a font narrower and flatter than most today; where the window's font
// needs more room, captions get it instead of being cut off.
void fitToFont(const WindowLayout::Entry& entry, QWidget* control) {
    if (entry.kind == Kind::Label && !control->property("text").toString().isEmpty())
        control->adjustSize();
    if (entry.kind == Kind::OptionButton)
        control->resize(std::max(control->width(), control->sizeHint().width()), control->height());
    // The instructions grow upwards, into the frame's empty top margin, away from the boxes.
    if (entry.kind == Kind::WrappingLabel) {
        const int shortfall = control->heightForWidth(control->width()) - control->height();
        if (shortfall > 0) control->setGeometry(entry.geometry.adjusted(0, -shortfall, 0, 0));
    }
}

QIcon programIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/zeluvar-%1.png").arg(size), QSize(size, size));
    return icon;
}

}  // namespace

Form1::Form1(Desktop desktop) : desktop_(std::move(desktop)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(Title);
    setWindowIcon(programIcon());
    QFont font = this->font();
    font.setPointSize(FontPointSize);
    setFont(font);
    setFixedSize(ClientSize);
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);

    buildControls();
    csvfile_ = findChild<QLineEdit*>(QStringLiteral("csvfile"));
    vcardfile_ = findChild<QLineEdit*>(QStringLiteral("vcardfile"));
    for (std::size_t i = 0; i < option1_.size(); ++i) {
        option1_[i] = findChild<QRadioButton*>(QStringLiteral("Option1(%1)").arg(i));
        option1_[i]->setChecked(OutputEncodings[i].encoding == StartupEncoding);
    }
    status_ = findChild<QLabel*>(QStringLiteral("Label1(%1)").arg(StatusLabel));

    for (QRadioButton* option : option1_)
        connect(option, &QRadioButton::toggled, this, &Form1::letTabReachTheSelectedOption);
    letTabReachTheSelectedOption();
    vcardfile_->setAcceptDrops(false);
    // The drop handling belongs to the box: csvfile_ owns it.
    new CsvDrop(csvfile_, vcardfile_, [this](const QString& text) { showMessage(text); });
    connect(findChild<QPushButton*>(QStringLiteral("Command1")), &QPushButton::clicked, this,
            &Form1::execute);
    csvfile_->setFocus();

    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

void Form1::buildControls() {
    QWidget* frame = nullptr;
    QWidget* optionGroup = nullptr;
    std::vector<std::pair<int, QWidget*>> focusable;
    for (const WindowLayout::Entry& entry : WindowLayout::Controls) {
        QWidget* parent = entry.parent == Parent::Form1    ? this
                          : entry.parent == Parent::Frame1 ? frame
                                                           : optionGroup;
        QWidget* control = makeControl(entry, parent);
        control->setObjectName(entry.objectName());
        control->setGeometry(entry.geometry);
        if (entry.parent == Parent::OptionGroup) control->move(control->pos() - optionGroup->pos());
        fitToFont(entry, control);
        if (entry.kind == Kind::Frame) frame = control;
        if (entry.kind == Kind::OptionGroup) optionGroup = control;
        if (framedByTheWindow(entry.kind)) framed_.push_back(control);
        if (entry.kind == Kind::TextBox) control->installEventFilter(this);
        if (control->focusPolicy() != Qt::NoFocus) focusable.emplace_back(entry.tabIndex, control);
    }
    std::sort(focusable.begin(), focusable.end());
    for (std::size_t i = 1; i < focusable.size(); ++i)
        setTabOrder(focusable[i - 1].second, focusable[i].second);

    for (const auto& [labelName, controlName] : Captions) {
        auto* label = findChild<QLabel*>(QString::fromLatin1(labelName));
        auto* control = findChild<QWidget*>(QString::fromLatin1(controlName));
        label->setBuddy(control);
        QString name = label->text();
        if (name.endsWith(u'：')) name.chop(1);
        control->setAccessibleName(name);
    }
}

// As in Windows, Tab enters the encoding buttons at the selected one, from where the arrow keys
// select as they move (Qt selects only when moving from a selected button).
void Form1::letTabReachTheSelectedOption() {
    for (QRadioButton* option : option1_)
        option->setFocusPolicy(option->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
}

void Form1::execute() {
    // A press at the run's one yield would start a run inside the run.
    if (running_) return;
    running_ = true;
    ConversionRun(*this).execute();
    // What the user did while the run kept the window busy is still queued. Handled now, with
    // the run still counted as going on, typing takes effect and presses start nothing, as they
    // were made during the run.
    QCoreApplication::processEvents();
    running_ = false;
    if (closeAfterRun_) close();
}

// At fractional scalings (125 %, 175 %) a control's last row or column of pixels can fall outside
// what Qt lets it paint: Frame1 and the path boxes lost their bottom or right edge. The window
// draws their frames, in the same place and style: the groups' only there, the boxes' beneath
// their own, where it shows wherever a box cannot paint. So every frame is whole at every scaling.
void Form1::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    for (QWidget* control : framed_) {
        painter.save();
        painter.translate(control->mapTo(this, QPoint(0, 0)));  // styles draw from its origin
        drawFrame(painter, control);
        painter.restore();
    }
}

// The window's copy of a box's frame takes on the colours the box's own shows when the box gets
// or loses the focus or the mouse.
bool Form1::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::FocusIn:
        case QEvent::FocusOut:
        case QEvent::HoverEnter:
        case QEvent::HoverLeave: {
            const auto* box = static_cast<QWidget*>(watched);
            update(QRect(box->mapTo(this, QPoint(0, 0)), box->size()));
            break;
        }
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::closeEvent(QCloseEvent* event) {
    // Closed during a run, the window would vanish while the run goes on unseen, and its
    // messages would come after it. It stays up until the run ends, and closes then.
    if (running_) {
        closeAfterRun_ = true;
        event->ignore();
        return;
    }
    closeAfterRun_ = false;
    desktop_.openAddress(this, HomePageAddress);  // whatever it answers, the window closes
    event->accept();
}

QString Form1::readInputPath() {
    return csvfile_->text();
}

QString Form1::readOutputPath() {
    return vcardfile_->text();
}

OutputEncoding Form1::readEncodingChoice() {
    for (std::size_t i = 0; i < option1_.size(); ++i)
        if (option1_[i]->isChecked()) return OutputEncodings[i].encoding;
    return StartupEncoding;  // not reached: one button is always selected
}

void Form1::showCount(std::int64_t lines) {
    latestCount_ = lines;
    latestCountShown_ = false;
    if (sinceCountShown_.isValid() && sinceCountShown_.elapsed() < CountRepaintIntervalMs) return;
    showLatestCount();
}

void Form1::showLatestCount() {
    if (latestCountShown_) return;
    showStatus(QString::number(latestCount_));
    latestCountShown_ = true;
    sinceCountShown_.start();
}

void Form1::showFinished() {
    showLatestCount();
    showStatus(RunTexts::Finished);
}

void Form1::showMessage(const QString& text) {
    showLatestCount();
    desktop_.showMessage(this, text);
}

void Form1::processPendingEvents() {
    QCoreApplication::processEvents();
}

// The run does not yield while it counts, so the label is painted on the spot.
void Form1::showStatus(const QString& text) {
    status_->setText(text);
    status_->adjustSize();
    status_->repaint();
}
