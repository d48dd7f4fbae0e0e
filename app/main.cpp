// SPDX-License-Identifier: GPL-3.0-or-later
// Пёсограф: a desktop reference on dog breeds and dog keeping.
//
// Content is read at run time from beside the program: text\*.ssu (topics and the breed
// catalogue), dog\ (photos) and Graph\ (interface art) under the working directory, and
// Sound\ under the program's own directory.
#include "app/program.h"
#include "core/messagebox.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    app::choosePlatform();
    QApplication application(argc, argv);
    app::installQtTranslations();
    core::useMessageBoxReports();
    app::Program program;
    if (!program.load()) return 1;
    program.show();
    return application.exec();
}
