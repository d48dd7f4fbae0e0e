// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QStringEncoder>

#include <exception>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

const QStringList StartupPictures = {"dog\\sob133.jpg",   "dog\\sob141.jpg",  "dog\\sob148.jpg",
                                     "dog\\sob167.jpg",   "dog\\sob191.jpg",  "Graph\\fon.jpg",
                                     "Graph\\CLNO.jpg",   "Graph\\qesno.jpg", "Graph\\lis.jpg",
                                     "Graph\\ARAK.jpg",   "Graph\\fonno.jpg", "Graph\\CLAK.jpg",
                                     "Graph\\qesakt.jpg", "Graph\\lir.jpg",   "Graph\\ARNOAK.jpg"};

QByteArray toCp1251(const QString& text) {
    QStringEncoder encoder("windows-1251");
    return encoder.encode(text);
}

void asPlainUser(const std::function<void()>& body) {
    std::exception_ptr thrown;
    // Capabilities belong to a thread: dropping them here leaves the test's own thread as
    // it was.
    std::thread([&] {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[2] = {};
        if (syscall(SYS_capget, &header, data) == 0) {
            data[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
            [[maybe_unused]] const long dropped = syscall(SYS_capset, &header, data);
            Q_ASSERT(dropped == 0);
        }
        try {
            body();
        } catch (...) {
            thrown = std::current_exception();
        }
    }).join();
    if (thrown) std::rethrow_exception(thrown);
}

ContentFiles::ContentFiles()
    : m_oldCwd(QDir::currentPath()), m_oldConfig(qgetenv("XDG_CONFIG_HOME")) {
    Q_ASSERT(m_dir.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path() + "/config"));
    const QSize photo(120, 90);
    const QColor colors[] = {Qt::red, Qt::green, Qt::blue, Qt::yellow, Qt::magenta};
    int i = 0;
    for (const QString& p : StartupPictures) {
        if (p.startsWith("dog"))
            writePicture(p, photo, colors[i++ % 5]);
        else if (p.contains("fon"))
            writePicture(p, {640, 512}, p.contains("fonno") ? Qt::gray : Qt::white);
        else if (p.contains("AR"))
            writePicture(p, {50, 23}, p.contains("ARAK") ? Qt::yellow : Qt::darkYellow);
        else
            writePicture(p, {41, 36}, Qt::darkGray);
    }
    writeText("text\\FOLDOG.ssu", "\"Лайка\",\"Северная собака.\",\"sob001.jpg\"\r\n");
    writePicture("dog\\sob001.jpg", {150, 200});
    QDir::setCurrent(m_dir.path());

    base::setFailureReporter([this](const base::RuntimeFailure& f) { failures << f; });
    base::setProgramEnder([this](int status) { endings << status; });
}

ContentFiles::~ContentFiles() {
    QDir::setCurrent(m_oldCwd);
    qputenv("XDG_CONFIG_HOME", m_oldConfig);
    base::setFailureReporter([](const base::RuntimeFailure&) {});
    base::setProgramEnder([](int) {});
}

static QString fullPath(const QString& root, const QString& relative) {
    QString r = relative;
    r.replace('\\', '/');
    return root + '/' + r;
}

void ContentFiles::writeBytes(const QString& relative, const QByteArray& bytes) {
    const QString path = fullPath(root(), relative);
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    f.write(bytes);
}

void ContentFiles::writeText(const QString& relative, const QString& text) {
    writeBytes(relative, toCp1251(text));
}

void ContentFiles::writePicture(const QString& relative, QSize size, QColor color) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    const QString path = fullPath(root(), relative);
    QDir().mkpath(QFileInfo(path).path());
    image.save(path, "JPG");
}

void ContentFiles::remove(const QString& relative) {
    QFile::remove(fullPath(root(), relative));
}
