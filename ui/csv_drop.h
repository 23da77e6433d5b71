// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class QLineEdit;

// Makes `csvfile` take CSV files dropped from a file manager: the box gets the file's path and
// `vcardfile` the same path ending in "vcf". Other drops (text, links) are refused, and the
// line edit's own text drop is switched off. The paths are taken just after the drop event has
// returned, so that the drag source is never kept waiting on a message box.
class CsvDrop : public QObject {
    Q_OBJECT

public:
    CsvDrop(QLineEdit* csvfile, QLineEdit* vcardfile,
            std::function<void(const QString&)> showMessage);

    static inline const QString UnsupportedFile =
        QStringLiteral(u"    不支持的文件，请重新拖入CSV文件! ");

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void takePaths(const QStringList& paths);
    void takePath(const QString& path);

    QLineEdit* csvfile_;
    QLineEdit* vcardfile_;
    std::function<void(const QString&)> showMessage_;
};
