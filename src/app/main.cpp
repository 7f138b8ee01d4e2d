#include "app/Program.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    quorvane::PrepareApplication();
    quorvane::Program program;
    return program.run(app);
}
