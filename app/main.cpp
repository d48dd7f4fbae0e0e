// Пёсограф: a desktop reference on dog breeds and dog keeping.
//
// Content is read at run time from beside the program: text\*.ssu (topics and the breed
// catalogue), dog\ (photos) and Graph\ (interface art) under the working directory, and
// Sound\ under the program's own directory.
#include "messagebox.h"
#include "program.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    choosePlatform();
    QApplication app(argc, argv);
    core::useMessageBoxReports();
    Program program;
    if (!program.load()) return 1;
    program.show();
    return app.exec();
}
