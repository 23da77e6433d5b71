#pragma once

#include <QApplication>
#include <QDragEnterEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "main_window.h"

// A shown window whose desktop only writes down the messages and addresses it is asked for.
struct ShownWindow {
    std::vector<std::string> messages;
    std::size_t messagesInsideDrop = 0;  // shown while the drag source was still waiting
    bool dropping = false;
    std::vector<QString> openedAddresses;
    std::unique_ptr<Form1> window;

    ShownWindow() {
        window = std::make_unique<Form1>(Desktop{
            [this](QWidget*, const QString& text) {
                messages.push_back(text.toStdString());
                messagesInsideDrop += dropping;
            },
            [this](QWidget*, const QString& address) { openedAddresses.push_back(address); }});
        window->show();
    }

    // Makes the window the active one, which keys and the focus go to.
    void activate() const {
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get()))
            throw std::runtime_error("the window did not become active");
    }

    template <class Control>
    Control* find(const char* name) const {
        auto* control = window->findChild<Control*>(QString::fromLatin1(name));
        if (!control) throw std::runtime_error(std::string("no control ") + name);
        return control;
    }

    QLineEdit* csvfile() const { return find<QLineEdit>("csvfile"); }
    QLineEdit* vcardfile() const { return find<QLineEdit>("vcardfile"); }
    QLabel* status() const { return find<QLabel>("Label1(3)"); }

    // Types `text` key by key; QTest::keyClicks takes only ASCII.
    void typeInto(QLineEdit* box, const QString& text) const {
        box->clear();
        for (const QChar c : text) QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, c, {});
    }

    void execute() const { QTest::mouseClick(find<QPushButton>("Command1"), Qt::LeftButton); }

    // Drags `data` onto `target` and drops it there, as a file manager does, and lets the window
    // finish what the drop left for later; returns whether the target showed that it takes it.
    bool dragAndDrop(QWidget* target, const QMimeData& data) {
        const QPoint centre = target->rect().center();
        const Qt::DropActions offered = Qt::CopyAction | Qt::LinkAction;
        QDragEnterEvent enter(centre, offered, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &enter);
        const bool takesIt = enter.isAccepted() && enter.dropAction() == Qt::CopyAction;
        QDropEvent drop(centre, offered, &data, Qt::LeftButton, {});
        dropping = true;
        QApplication::sendEvent(target, &drop);
        dropping = false;
        QCoreApplication::sendPostedEvents();
        return takesIt;
    }
};
