#include <QApplication>
#ifdef Q_OS_WIN
#include <windows.h>
#endif

#include "main_window.h"

int main(int argc, char* argv[]) {
#ifdef Q_OS_WIN
    // Says that Zeluvar runs, to its installer and uninstaller, which must not replace or remove
    // files in use (resources/windows/zeluvar.nsi). Windows lets it go when the process ends.
    CreateMutexW(nullptr, FALSE, L"Global\\Zeluvar-running");
#endif
    QApplication application(argc, argv);
    // Ties the window to its menu entry, so the desktop shows the entry's name and icon for it.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.zeluvar.Zeluvar"));
    Form1 window;
    window.show();
    return application.exec();
}
