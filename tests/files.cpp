// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
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
    : m_oldCwd(QDir::currentPath()), m_oldConfig(qgetenv("XDG_CONFIG_HOME")),
      m_oldData(qgetenv("XDG_DATA_HOME")) {
    Q_ASSERT(m_dir.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path() + "/config"));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.path() + "/data"));
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
    qputenv("XDG_DATA_HOME", m_oldData);
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

const QString BreedFactsHeader = QStringLiteral(
    "\"порода\",\"рост кобелей\",\"рост сук\",\"вес кобелей\",\"вес сук\",\"размер\",\"шерсть\","
    "\"линька\",\"уход\",\"активность\",\"обучаемость\",\"дети\",\"собаки\",\"кошки\","
    "\"квартира\",\"новичку\",\"одна дома\",\"холод\",\"жара\",\"охрана\",\"лай\",\"жизнь\","
    "\"признание\",\"перечень 974\"\r\n");

const QString BreedFactsFixture =
    BreedFactsHeader +
    QStringLiteral(
        "\"Овчарка\",\"60–65\",\"55–60\",\"30–40\",\"22–32\",\"крупная\",\"короткая\",\"3\",\"2\","
        "\"4\",\"3\",\"с оговорками\",\"с оговорками\",\"с оговорками\",\"с оговорками\",\"нет\","
        "\"умеренно\",\"хорошо\",\"умеренно\",\"3\",\"2\",\"9–13\",\"FCI I\",\"нет\"\r\n"
        "\"Пудель\",\"45–60\",\"45–60\",\"\",\"\",\"средняя\",\"длинная\",\"0\",\"4\",\"3\",\"3\","
        "\"да\",\"да\",\"да\",\"да\",\"да\",\"умеренно\",\"умеренно\",\"умеренно\",\"1\",\"2\","
        "\"12–15\",\"FCI IX\",\"нет\"\r\n"
        "\"Мопс\",\"около 30\",\"\",\"6–8\",\"\",\"малая\",\"короткая\",\"2\",\"1\",\"1\",\"2\","
        "\"да\",\"да\",\"да\",\"да\",\"да\",\"умеренно\",\"плохо\",\"плохо\",\"1\",\"1\","
        "\"12–15\",\"FCI IX\",\"нет\"\r\n"
        "\"Хаски\",\"53,5–60\",\"50,5–56\",\"20,5–28\",\"15,5–23\",\"средняя\",\"средняя\",\"3\","
        "\"2\",\"5\",\"1\",\"да\",\"да\",\"нет\",\"с оговорками\",\"нет\",\"плохо\",\"хорошо\","
        "\"плохо\",\"0\",\"3\",\"12–14\",\"FCI V\",\"нет\"\r\n"
        "\"Бульдог\",\"\",\"\",\"от 40\",\"от "
        "35\",\"крупная\",\"короткая\",\"2\",\"1\",\"3\",\"2\","
        "\"с оговорками\",\"нет\",\"нет\",\"нет\",\"нет\",\"плохо\",\"хорошо\",\"умеренно\","
        "\"3\",\"2\",\"10–12\",\"не признана\",\"да\"\r\n"
        "\"Бишон\",\"до 30\",\"до "
        "30\",\"3–5\",\"3–5\",\"мини\",\"длинная\",\"0\",\"4\",\"2\",\"3\","
        "\"да\",\"да\",\"да\",\"да\",\"да\",\"плохо\",\"умеренно\",\"умеренно\",\"1\",\"1\","
        "\"12–15\",\"FCI IX\",\"нет\"\r\n"
        // Extinct: would fit nearly every answer, and is never offered.
        "\"Водолаз\",\"\",\"\",\"\",\"\",\"мини\",\"короткая\",\"0\",\"1\",\"2\",\"3\","
        "\"да\",\"да\",\"да\",\"да\",\"да\",\"хорошо\",\"хорошо\",\"хорошо\",\"1\",\"1\","
        "\"\",\"вымерла\",\"нет\"\r\n");

namespace {
QString runPoppler(const char* tool, const QStringList& arguments) {
    if (!*tool) qFatal("poppler-utils is missing (tools/test.sh installs it)");
    QProcess process;
    process.start(QString::fromUtf8(tool), arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}
} // namespace

QStringList pdfPageTexts(const QString& pdf) {
    QStringList pages =
        runPoppler(PSOGRAF_PDFTOTEXT, {QStringLiteral("-layout"), pdf, QStringLiteral("-")})
            .split(u'\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) pages.removeLast();
    for (QString& page : pages)
        page = page.simplified();
    return pages;
}

int pdfPageCount(const QString& pdf) {
    const QString info = runPoppler(PSOGRAF_PDFINFO, {pdf});
    const qsizetype at = info.indexOf(QStringLiteral("Pages:"));
    return at < 0 ? -1 : info.mid(at + 6).section(u'\n', 0, 0).trimmed().toInt();
}

QStringList pdfImageList(const QString& pdf) {
    return runPoppler(PSOGRAF_PDFIMAGES, {QStringLiteral("-list"), pdf})
        .split(u'\n', Qt::SkipEmptyParts);
}
