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

bool CsvDrop::eventFilter(QObject* watched, QEvent* event) {
    if (watched != csvfile_) return false;
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDropEvent*>(event);
            if (carriesLocalFiles(drag->mimeData()))
                drag->acceptProposedAction();
            else
                drag->ignore();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            if (carriesLocalFiles(drop->mimeData())) {
                drop->acceptProposedAction();
                takePaths(*drop->mimeData());
            } else {
                drop->ignore();
            }
            return true;
        }
        default:
            return false;
    }
}

void CsvDrop::takePaths(const QMimeData& data) {
    for (const QUrl& url : data.urls())
        if (url.isLocalFile()) takePath(QDir::toNativeSeparators(url.toLocalFile()));
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
