#include <QApplication>

#include "main_window.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    Form1 window;
    window.show();
    return application.exec();
}
