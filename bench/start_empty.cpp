// Starts an empty Qt Widgets window and ends as soon as it is shown: the reference against
// which the program's start to its login screen is measured.

#include <QApplication>
#include <QTimer>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.show();
    QTimer::singleShot(0, &app, &QApplication::quit);
    return app.exec();
}
