// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QDragEnterEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "main_window.h"

// A shown window whose desktop only writes down the messages and addresses it is asked for.
struct ShownWindow {
    std::vector<std::string> messages;
    std::size_t messagesInsideDrop = 0;  // shown while the drag source was still waiting
    bool dropping = false;
    std::vector<QString> openedAddresses;
    std::function<void()> duringFirstMessage;  // what the user does while the box is up
    std::unique_ptr<Form1> window;

    ShownWindow() {
        window = std::make_unique<Form1>(Desktop{
            [this](QWidget*, const QString& text) {
                messages.push_back(text.toStdString());
                messagesInsideDrop += dropping;
                if (duringFirstMessage) std::exchange(duringFirstMessage, nullptr)();
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

    void execute() const { QTest::mouseClick(find<QPushButton>("Command1"), Qt::LeftButton); }

    // What the target answered to each event of a drag: the action it reported, or
    // Qt::IgnoreAction where it refused.
    struct DragAnswers {
        Qt::DropAction enter, move, drop;
    };

    // Drags `data` onto `target` and drops it there, as a file manager does offering `offered`
    // with `held` keys down, and lets the window finish what the drop left for later.
    DragAnswers dragAndDrop(QWidget* target, const QMimeData& data,
                            Qt::DropActions offered = Qt::CopyAction | Qt::LinkAction,
                            Qt::KeyboardModifiers held = {}) {
        const QPoint centre = target->rect().center();
        const auto answer = [](const QDropEvent& event) {
            return event.isAccepted() ? event.dropAction() : Qt::IgnoreAction;
        };
        QDragEnterEvent enter(centre, offered, &data, Qt::LeftButton, held);
        QApplication::sendEvent(target, &enter);
        QDragMoveEvent move(centre, offered, &data, Qt::LeftButton, held);
        QApplication::sendEvent(target, &move);
        QDropEvent drop(centre, offered, &data, Qt::LeftButton, held);
        dropping = true;
        QApplication::sendEvent(target, &drop);
        dropping = false;
        QCoreApplication::sendPostedEvents();
        return {answer(enter), answer(move), answer(drop)};
    }
};
