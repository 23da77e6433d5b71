// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QWidget>
#include <array>
#include <vector>

#include "conversion_run.h"
#include "desktop.h"
#include "identity.h"

class QLabel;
class QLineEdit;
class QRadioButton;

// The web address the desktop is asked to open when the window closes.
inline const QString HomePageAddress = QString::fromLatin1(identity::homePage);

// The program's one window: the two paths, the encoding choice, Execute and the progress label.
class Form1 : public QWidget, private ProgressSink {
    Q_OBJECT

public:
    static inline const QString Title = QString::fromUtf8(identity::name);

    explicit Form1(Desktop desktop = Desktop::real());

    // Counting a million lines must not cost a million repaints of the label.
    static constexpr qint64 CountRepaintIntervalMs = 100;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void letTabReachTheSelectedOption();
    void execute();

    QString readInputPath() override;
    QString readOutputPath() override;
    OutputEncoding readEncodingChoice() override;
    void showCount(std::int64_t lines) override;
    void showFinished() override;
    void showMessage(const QString& text) override;
    void processPendingEvents() override;

    void showStatus(const QString& text);
    void showLatestCount();

    Desktop desktop_;
    std::vector<QWidget*> framed_;  // whose frames the window draws, see paintEvent
    QLineEdit* csvfile_ = nullptr;
    QLineEdit* vcardfile_ = nullptr;
    std::array<QRadioButton*, OutputEncodings.size()> option1_{};  // in the encodings' order
    QLabel* status_ = nullptr;                                     // Label1 index 3

    bool running_ = false;
    bool closeAfterRun_ = false;  // the user closed the window during a run
    std::int64_t latestCount_ = 0;
    bool latestCountShown_ = true;
    QElapsedTimer sinceCountShown_;
};
