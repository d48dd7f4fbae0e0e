// SPDX-License-Identifier: GPL-3.0-or-later
// Пёсограф: a desktop reference on dog breeds and dog keeping.
//
// Content is read at run time from beside the program: text\*.ssu (topics and the breed
// catalogue), dog\ (photos) and Graph\ (interface art) under the working directory, and
// Sound\ under the program's own directory.
#include "app/commandline.h"
#include "app/program.h"
#include "base/contentfiles.h"
#include "core/look.h"
#include "core/messagebox.h"
#include "core/night.h"
#include "core/pictures.h"
#include "core/sound.h"
#include "core/startuptrace.h"
#include "core/zoom.h"
#include "main_window/form2.h"

#include <QApplication>
#include <algorithm>
#include <future>
#include <thread>

int main(int argc, char* argv[]) {
    using core::startup::Phase;
    core::startup::mark(Phase::Main);
    const app::CommandLine command = app::readCommandLine(argc, argv);
    if (command.exitStatus) return *command.exitStatus;
    // Before the worker reads a picture: they are found under the working directory.
    const auto contentFailure = app::enterContentFolder(command.contentFolder);
    // The other cores read the font configuration while Qt starts, then decode the start-up
    // pictures while the windows are built; a picture that fails is left for the load,
    // which reports the first failing one in its order.
    std::promise<void> fontsRead;
    core::PictureDecoding pictures(int(std::max(2u, std::thread::hardware_concurrency())) - 1,
                                   [&fontsRead] {
                                       core::readFontConfiguration();
                                       fontsRead.set_value();
                                   });
    const std::shared_future<void> fontsReady = fontsRead.get_future().share();
    app::choosePlatform();
    QApplication application(argc, argv);
    core::startup::mark(Phase::Application);
    core::zoom::startAtRemembered();
    core::night::startAtRemembered();
    pictures.start(base::content::startupPictures(), core::pictureRatio(),
                   main_window::Form2::startupPhotoBoxes(),
                   main_window::Form2::picturesShownLater());
    app::installQtTranslations();
    core::useMessageBoxReports();
    if (contentFailure) {
        base::reportFailure(*contentFailure);
        return 1;
    }
    // Qt's first font would start reading the configuration a second time: until the
    // worker has read it, this thread decodes small pictures.
    pictures.helpUntil(fontsReady);
    fontsReady.wait();
    app::Program program;
    core::startup::mark(Phase::Construct);
    pictures.finishInto(program.values().pictures);
    if (!program.load()) return 1;
    core::startup::mark(Phase::Load);
    // No sound can be asked for before the first click, and no window but the main one
    // before the first paint.
    core::startup::afterFirstPaint(program.Form2(), [&program] {
        core::AudioChannel::loadPlayerInBackground();
        program.finishStartup();
        core::night::followDesktop(program.values().pictures);
    });
    program.show();
    return application.exec();
}
