// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "csv_drop.h"

#include <QDir>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>
#include <algorithm>

namespace {

bool carriesLocalFiles(const QMimeData* data) {
    if (!data || !data->hasUrls()) return false;
    const QList<QUrl> urls = data->urls();
    return std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); });
}

QStringList localPaths(const QMimeData& data) {
    QStringList paths;
    for (const QUrl& url : data.urls())
        if (url.isLocalFile()) paths.append(QDir::toNativeSeparators(url.toLocalFile()));
    return paths;
}

void answerCopy(QDropEvent* event) {
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

}  // namespace

CsvDrop::CsvDrop(QLineEdit* csvfile, QLineEdit* vcardfile,
                 std::function<void(const QString&)> showMessage)
    : QObject(csvfile),
      csvfile_(csvfile),
      vcardfile_(vcardfile),
      showMessage_(std::move(showMessage)) {
    csvfile_->setAcceptDrops(true);
    csvfile_->installEventFilter(this);
}

// The paths are only read, so the source is told the files were copied. Accepting what it
// proposes would answer a move when Shift is held, and Explorer then deletes the user's file.
// A source that allows no copy still gets its files read, and is told nothing was done.
bool CsvDrop::eventFilter(QObject* watched, QEvent* event) {
    if (watched != csvfile_) return false;
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDropEvent*>(event);
            if (!carriesLocalFiles(drag->mimeData()))
                drag->ignore();
            else if (drag->possibleActions() & Qt::CopyAction)
                answerCopy(drag);
            else
                drag->acceptProposedAction();  // or the drop never comes
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            if (!carriesLocalFiles(drop->mimeData())) {
                drop->ignore();
                return true;
            }
            // The drag source waits until this event returns (on Windows, Explorer stops
            // responding), so a message box must not be shown from inside it.
            QMetaObject::invokeMethod(
                this, [this, paths = localPaths(*drop->mimeData())] { takePaths(paths); },
                Qt::QueuedConnection);
            if (drop->possibleActions() & Qt::CopyAction)
                answerCopy(drop);
            else
                drop->ignore();
            return true;
        }
        default:
            return false;
    }
}

void CsvDrop::takePaths(const QStringList& paths) {
    for (const QString& path : paths) takePath(path);
}

// Only the name's last three letters count: "datacsv" is taken, and "vcf" replaces them as they
// stand, dot or no dot.
void CsvDrop::takePath(const QString& path) {
    if (path.right(3).toLower() != QLatin1String("csv")) {
        showMessage_(UnsupportedFile);
        return;
    }
    csvfile_->setText(path);
    vcardfile_->setText(csvfile_->text().chopped(3) + QLatin1String("vcf"));
}
