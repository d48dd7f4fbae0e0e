// SPDX-License-Identifier: GPL-3.0-or-later
// The platform layer: units, Windows-1251, content paths, pictures (and their decoding
// ahead at start-up), sound.
#include "base/contentpath.h"
#include "base/failure.h"
#include "base/settingsfile.h"
#include "base/text.h"
#include "base/units.h"
#include "base/userfiles.h"
#include "core/controls.h"
#include "core/look.h"
#include "core/night.h"
#include "core/pictures.h"
#include "core/sound.h"
#include "tests/content.h"

#include <QBuffer>
#include <QDBusVariant>
#include <QDir>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QFontInfo>
#include <QSoundEffect>
#include <QTest>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include <sys/stat.h>
#include <unistd.h>

class TestCore : public QObject {
    Q_OBJECT
private slots:
    void pointsBecomeWholePixels_data();
    void pointsBecomeWholePixels();
    void twipsBecomePixels();
    void cp1251DecodesEveryByte();
    void contentPathsMatchCaseInsensitively();
    void unreadableFilesSayWhy_data();
    void unreadableFilesSayWhy();
    void picturesFailWithTheirName();
    void pictureCacheReadsOnce();
    void doubledPictureOnDenseScreens_data();
    void doubledPictureOnDenseScreens();
    void doubledPictureFollowsTheScreen();
    void soundPathFollowsProgramDirectory();
    void aNewSoundReplacesTheOneStillPlaying();
    void soundModuleNotLoadedSaysWhy_data();
    void soundModuleNotLoadedSaysWhy();
    void colors_data();
    void colors();
    // Night mode: interface pictures re-coloured from their files, photos as they are; the
    // desktop's preference followed until the reader chooses.
    void picturesAtNight_data();
    void picturesAtNight();
    void startsDark_data();
    void startsDark();
    void portalAnswer_data();
    void portalAnswer();
    void facesWithCyrillic_data();
    void facesWithCyrillic();
    void lineAndFrameLetMovesThrough();
    // The start-up pictures decoded ahead on worker threads (app/main.cpp): a picture that
    // is missing or does not decode is left out, so the load, asking for the pictures in
    // its order, still reports the first bad one with its usual message. A carousel photo
    // resampled ahead for its first box is drawn exactly as the label would draw it.
    void firstBadPictureInOrderIsReported_data();
    void firstBadPictureInOrderIsReported();
    void fittedPhotoDrawsAsTheLabelWould_data();
    void fittedPhotoDrawsAsTheLabelWould();
    // Where the user's files go, and the settings file: edited line by line, never waiting,
    // never over a file that could not be read or written.
    void userFolders_data();
    void userFolders();
    void settingsFile_data();
    void settingsFile();
    void settingsFromTwoCopies();
};

void TestCore::pointsBecomeWholePixels_data() {
    QTest::addColumn<double>("points");
    QTest::addColumn<int>("pixels");
    QTest::newRow("8") << 8.0 << 11;
    QTest::newRow("8.25") << 8.25 << 11;
    QTest::newRow("9.75") << 9.75 << 13;
    QTest::newRow("12") << 12.0 << 16;
    QTest::newRow("13.5") << 13.5 << 18;
    QTest::newRow("16") << 16.0 << 21;
}

void TestCore::pointsBecomeWholePixels() {
    QFETCH(double, points);
    QFETCH(int, pixels);
    QCOMPARE(base::pointsToPx(points), pixels);
    QCOMPARE(core::designFont("MS Sans Serif", points).font().pixelSize(), pixels);
}

void TestCore::twipsBecomePixels() {
    QCOMPARE(base::twipsRect(2640, 240, 3375, 375), QRect(176, 16, 225, 25));
    QCOMPARE(base::twipsToPx(9330), 622);
    QCOMPARE(base::pxToTwips(187), 2805);
}

void TestCore::cp1251DecodesEveryByte() {
    // 0x80..0xBF, one code point each; 0x98 has no character in this code page.
    const char16_t high[64] = {
        0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
        0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0,
        0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB,
        0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6,
        0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString decoded = base::decodeCp1251(all);
    QCOMPARE(decoded.size(), 256);
    for (int b = 0; b < 256; ++b) {
        char16_t expected = b < 0x80   ? char16_t(b)
                            : b < 0xC0 ? high[b - 0x80]
                                       : char16_t(0x0410 + b - 0xC0);
        if (b == 0x98)
            QVERIFY2(!decoded[b].isLetter(), "0x98 must not decode to a letter");
        else
            QCOMPARE(decoded[b].unicode(), expected);
    }
    QCOMPARE(base::decodeCp1251("\xCF\xB8\xF1"), QString("Пёс"));
}

void TestCore::contentPathsMatchCaseInsensitively() {
    ContentFolder f;
    f.writeText("Docs/Mixed.SSU", "x");
    QCOMPARE(base::realPath("docs\\mixed.ssu"), QString("Docs/Mixed.SSU"));
    QCOMPARE(base::realPath("DOCS\\MIXED.ssu"), QString("Docs/Mixed.SSU"));
    QCOMPARE(base::realPath("dog\\SOB001.JPG"), QString("dog/sob001.jpg"));
    // Absent names stay as written; a doubled separator is harmless.
    QCOMPARE(base::realPath("nowhere\\file.txt"), QString("nowhere/file.txt"));
    QCOMPARE(base::realPath(f.root() + "\\\\docs\\mixed.ssu"), f.root() + "/Docs/Mixed.SSU");
}

void TestCore::unreadableFilesSayWhy_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("text");
    QTest::newRow("missing") << "missing" << 53 << "Файл не найден: text\\a.ssu";
    QTest::newRow("a folder") << "folder" << 53 << "Файл не найден: text\\a.ssu";
    QTest::newRow("a FIFO") << "fifo" << 53 << "Файл не найден: text\\a.ssu";
    QTest::newRow("a link to /dev/zero") << "device" << 53 << "Файл не найден: text\\a.ssu";
    // There, but not for this user: not "not found".
    QTest::newRow("no read permission") << "unreadable" << 75 << "Нет доступа к файлу: text\\a.ssu";
    QTest::newRow("its folder closed")
        << "closed folder" << 75 << "Нет доступа к файлу: text\\a.ssu";
    QTest::newRow("over the bound") << "large" << 75 << "Файл слишком велик: text\\a.ssu";
}

void TestCore::unreadableFilesSayWhy() {
    QFETCH(QString, kind);
    QFETCH(int, number);
    QFETCH(QString, text);
    ContentFolder f;
    const QString path = f.root() + "/text/a.ssu";
    QVERIFY(QDir().mkpath(f.root() + "/text"));
    if (kind == "folder") QVERIFY(QDir().mkpath(path));
    if (kind == "fifo") QCOMPARE(mkfifo(qPrintable(path), 0600), 0);
    if (kind == "device") QCOMPARE(symlink("/dev/zero", qPrintable(path)), 0);
    if (kind == "unreadable" || kind == "closed folder" || kind == "large")
        f.writeText("text\\a.ssu", "#А\r\nтекст\r\n#А\r\n");
    if (kind == "unreadable") QVERIFY(QFile::setPermissions(path, QFile::WriteOwner));
    if (kind == "closed folder") QVERIFY(QFile::setPermissions(f.root() + "/text", {}));
    base::RuntimeFailure failure{0, {}};
    asPlainUser([&] {
        try {
            base::readContentFile("text\\a.ssu", kind == "large" ? 10 : base::MaxTextBytes);
        } catch (const base::RuntimeFailure& thrown) {
            failure = thrown;
        }
    });
    QFile::setPermissions(f.root() + "/text",
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(failure.number, number);
    QCOMPARE(failure.text, text);
}

void TestCore::picturesFailWithTheirName() {
    ContentFolder f;
    f.writeBytes("Graph\\bad.jpg", "not a picture");
    // A good doubled picture beside a bad one changes nothing: content fails alike at
    // every scale.
    f.writePicture("Graph\\bad@2x.jpg", {8, 8});
    f.writePicture("Graph\\none@2x.jpg", {8, 8});
    for (const qreal ratio : {1.0, 2.0}) {
        const auto failureOf = [ratio](const QString& path) -> base::RuntimeFailure {
            try {
                core::loadPicture(path, ratio);
            } catch (const base::RuntimeFailure& failure) {
                return failure;
            }
            return {0, {}};
        };
        const base::RuntimeFailure missing = failureOf("Graph\\none.jpg");
        QCOMPARE(missing.number, int(base::ErrFileNotFound));
        QVERIFY(missing.text.contains("Graph\\none.jpg"));
        const base::RuntimeFailure garbage = failureOf("Graph\\bad.jpg");
        QCOMPARE(garbage.number, int(base::ErrInvalidPicture));
        QVERIFY(garbage.text.contains("Graph\\bad.jpg"));
    }
    QCOMPARE(core::loadPicture("GRAPH\\FON.JPG").pixmap.size(), QSize(640, 512));
}

void TestCore::pictureCacheReadsOnce() {
    ContentFolder f;
    core::PictureCache cache;
    const core::Picture& first = cache.get("Graph\\lis.jpg");
    f.remove("Graph\\lis.jpg");
    const core::Picture& again = cache.get("Graph\\lis.jpg");
    QCOMPARE(&first, &again);
    QCOMPARE(again.source, QString("Graph\\lis.jpg"));
    QVERIFY(!again.isNull());
}

void TestCore::doubledPictureOnDenseScreens_data() {
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<QString>("doubled"); // what "fon@2x.jpg" holds
    QTest::addColumn<bool>("shown");      // whether it is the picture shown
    QTest::newRow("scale 1") << 1.0 << "good" << false;
    QTest::newRow("scale 1.5") << 1.5 << "good" << true;
    QTest::newRow("scale 2") << 2.0 << "good" << true;
    QTest::newRow("scale 2, none") << 2.0 << "none" << false;
    QTest::newRow("scale 2, not a picture") << 2.0 << "garbage" << false;
    QTest::newRow("scale 2, not twice the size") << 2.0 << "wrong size" << false;
}

void TestCore::doubledPictureOnDenseScreens() {
    QFETCH(qreal, ratio);
    QFETCH(QString, doubled);
    QFETCH(bool, shown);
    ContentFolder f;                          // Graph\fon.jpg is 640 x 512
    const QString name = "Graph\\FON@2X.JPG"; // found like any content name
    if (doubled == "good") f.writePicture(name, {1280, 1024}, Qt::red);
    if (doubled == "garbage") f.writeBytes(name, "not a picture");
    if (doubled == "wrong size") f.writePicture(name, {1000, 800}, Qt::red);

    // Loaded at once, or checked at start-up and decoded from memory when first shown.
    for (const bool checkedFirst : {false, true}) {
        core::Picture picture;
        if (checkedFirst) {
            core::PictureCache cache;
            core::PictureDecoding decoding(1);
            decoding.start({"Graph\\fon.jpg"}, ratio, {}, {"Graph\\fon.jpg"});
            decoding.finishInto(cache);
            QVERIFY(QDir(f.root() + "/Graph").removeRecursively());
            picture = cache.get("Graph\\fon.jpg");
        } else {
            picture = core::loadPicture("Graph\\fon.jpg", ratio);
        }
        QCOMPARE(picture.source, QString("Graph\\fon.jpg"));
        QCOMPARE(picture.pixmap.deviceIndependentSize(), QSizeF(640, 512));
        QCOMPARE(picture.pixmap.devicePixelRatio(), shown ? 2.0 : 1.0);
        QCOMPARE(picture.pixmap.size(), shown ? QSize(1280, 1024) : QSize(640, 512));
    }
}

// The screen decides, as the zoom does: run once as set for the suite (one pixel a point) and
// once more by ctest on a screen of twice the pixels (QT_SCALE_FACTOR=2).
void TestCore::doubledPictureFollowsTheScreen() {
    ContentFolder f;
    f.writePicture("Graph\\fon@2x.jpg", {1280, 1024}, Qt::red);
    const bool dense = qEnvironmentVariable("QT_SCALE_FACTOR") == "2";
    QCOMPARE(qGuiApp->devicePixelRatio(), dense ? 2.0 : 1.0);
    core::PictureCache cache;
    const QPixmap& shown = cache.get("Graph\\fon.jpg").pixmap;
    QCOMPARE(shown.size(), dense ? QSize(1280, 1024) : QSize(640, 512));
    QCOMPARE(shown.deviceIndependentSize(), QSizeF(640, 512));
}

void TestCore::soundPathFollowsProgramDirectory() {
    ContentFolder f;
    core::waveplayer player;
    core::playSound(player, "\\Sound\\check.wav");
    QCOMPARE(player.filename(), QCoreApplication::applicationDirPath() + "\\Sound\\check.wav");
    QCOMPARE(f.sounds, QStringList{player.filename()});
}

void TestCore::soundModuleNotLoadedSaysWhy_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("notice"); // the beginning of what is said once; empty: loads
    QTest::newRow("beside the program") << "program"
                                        << "";
    QTest::newRow("folder deeper than the path limit")
        << "deep"
        << "звуков не будет: модуль libpsograf_sound.so не найти: путь к папке "
           "программы длиннее, чем допускает система";
    QTest::newRow("missing") << "empty"
                             << "звуков не будет: модуль libpsograf_sound.so не найден";
    QTest::newRow("a folder of its name") << "directory"
                                          << "звуков не будет: модуль libpsograf_sound.so в";
    QTest::newRow("not a library") << "garbage"
                                   << "звуков не будет: модуль libpsograf_sound.so не загружается";
}

void TestCore::soundModuleNotLoadedSaysWhy() {
    QFETCH(QString, folder);
    QFETCH(QString, notice);
    QStringList said;
    base::setNoticeSink([&](const QString& text) { said << text; });
    QTemporaryDir temp;
    QString directory = temp.path();
    const QString module = "/libpsograf_sound.so";
    int depth = 0;
    const QString cwd = QDir::currentPath();
    if (folder == "program") {
        directory = QCoreApplication::applicationDirPath();
    } else if (folder == "deep") {
        // Made a folder at a time from inside, as no path that long can be named whole.
        const QString name(200, u'd');
        QVERIFY(QDir::setCurrent(directory));
        for (; directory.size() < 4200; ++depth) {
            QVERIFY(QDir().mkdir(name));
            QVERIFY(QDir::setCurrent(name));
            directory += '/' + name;
        }
        QFile::copy(QCoreApplication::applicationDirPath() + module, "." + module);
        QVERIFY(QFileInfo::exists("." + module));
    } else if (folder == "directory") {
        QVERIFY(QDir().mkdir(directory + module));
    } else if (folder == "garbage") {
        QFile file(directory + module);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a library");
    }
    const bool loads = core::AudioChannel::playerLoadsFrom(directory);
    const bool again = core::AudioChannel::playerLoadsFrom(directory);
    if (folder == "deep") {
        QFile::remove("." + module);
        for (; depth > 0; --depth) {
            QVERIFY(QDir::setCurrent(".."));
            QVERIFY(QDir().rmdir(QString(200, u'd')));
        }
        QDir::setCurrent(cwd);
    }
    base::setNoticeSink([](const QString&) {});
    QCOMPARE(loads, notice.isEmpty());
    QCOMPARE(again, loads);
    if (notice.isEmpty()) {
        QCOMPARE(said, QStringList());
    } else {
        QCOMPARE(said.size(), 1); // once, however often
        QVERIFY2(said[0].startsWith(notice), qPrintable(said[0]));
    }
}

void TestCore::aNewSoundReplacesTheOneStillPlaying() {
    ContentFolder f;
    // A tiny valid wave file: 16-bit mono PCM, 100 samples of silence.
    QByteArray wav("RIFF");
    const auto u32 = [&](quint32 v) {
        for (int i = 0; i < 4; ++i)
            wav.append(char(v >> (8 * i)));
    };
    const auto u16 = [&](quint16 v) {
        wav.append(char(v));
        wav.append(char(v >> 8));
    };
    u32(36 + 200);
    wav += "WAVEfmt ";
    u32(16);
    u16(1);
    u16(1);
    u32(22050);
    u32(44100);
    u16(2);
    u16(16);
    wav += "data";
    u32(200);
    wav += QByteArray(200, '\0');
    f.writeBytes("a.wav", wav);
    f.writeBytes("b.wav", wav);

    core::AudioChannel channel;
    auto previous = core::AudioChannel::setRecorder({});
    // As the program does after its first paint: the player module loads on a worker.
    core::AudioChannel::loadPlayerInBackground();
    channel.play(f.root() + "\\a.wav");
    channel.play(f.root() + "\\b.wav");
    channel.play(f.root() + "\\missing.wav"); // silent, and stops b as well
    channel.play(f.root() + "\\b.wav");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const auto effects = channel.findChildren<QSoundEffect*>();
    QCOMPARE(effects.size(), 1);
    QVERIFY(effects.first()->source().toLocalFile().endsWith("/b.wav"));
    core::AudioChannel::setRecorder(previous);
}

void TestCore::colors_data() {
    QTest::addColumn<quint32>("design");
    QTest::addColumn<QColor>("day");
    QTest::addColumn<QColor>("night");
    QTest::newRow("blue") << 0xFF0000u << QColor(0, 0, 255) << QColor(0xA6, 0xBE, 0xFF);
    QTest::newRow("dark blue") << 0xC00000u << QColor(0, 0, 192) << QColor(0xD0, 0xDA, 0xFF);
    QTest::newRow("dark green") << 0x004000u << QColor(0, 64, 0) << QColor(0xB4, 0xE6, 0xB4);
    QTest::newRow("frame yellow") << 0x80FFFFu << QColor(255, 255, 128) << QColor(0xA8, 0xA8, 0x60);
    QTest::newRow("frame olive") << 0x00C0C0u << QColor(192, 192, 0) << QColor(0x8C, 0x8C, 0x30);
    // Not among the design's colours: its lightness inverted, hue and chroma kept.
    QTest::newRow("other") << 0x204080u << QColor(128, 64, 32) << QColor(223, 159, 127);
    // System colours 24 and 15: the desktop's own tooltip background and button face; at
    // night the night palette's.
    QTest::newRow("tooltip") << 0x80000018u
                             << QGuiApplication::palette().color(QPalette::ToolTipBase)
                             << QColor(0x1C, 0x1A, 0x12);
    QTest::newRow("button face") << 0x8000000Fu
                                 << QGuiApplication::palette().color(QPalette::Button)
                                 << QColor(0x3A, 0x3A, 0x3A);
}

void TestCore::colors() {
    QFETCH(quint32, design);
    QFETCH(QColor, day);
    QFETCH(QColor, night);
    QCOMPARE(core::vbColor(design), day);
    core::setNightLook(true);
    const QColor atNight = core::vbColor(design);
    core::setNightLook(false);
    QCOMPARE(atNight, night);
    QCOMPARE(core::vbColor(design), day);
}

void TestCore::picturesAtNight_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QColor>("day");
    QTest::addColumn<QColor>("night");
    // Lightness inverted: pale yellow becomes a dark olive, a dark sign light.
    QTest::newRow("background") << "Graph\\fon.jpg" << QColor(240, 232, 208) << QColor(47, 39, 15);
    QTest::newRow("button sign") << "Graph\\CLNO.jpg" << QColor(40, 40, 40)
                                 << QColor(215, 215, 215);
    // The dimmed background stays darker than the background at night.
    QTest::newRow("dimmed background")
        << "Graph\\fonno.jpg" << QColor(160, 160, 144) << QColor(30, 30, 27);
    QTest::newRow("photo") << "dog\\sob133.jpg" << QColor(200, 120, 40) << QColor(200, 120, 40);
}

void TestCore::picturesAtNight() {
    QFETCH(QString, path);
    QFETCH(QColor, day);
    QFETCH(QColor, night);
    ContentFolder f;
    f.writePicture(path, {16, 16}, day);
    core::PictureCache cache;
    const QColor byDay = cache.get(path).pixmap.toImage().pixelColor(8, 8);
    core::setNightLook(true);
    cache.lookChanged();
    const core::Picture atNight = cache.get(path);
    f.remove(path); // made from the decoded picture: no file is read again
    const core::Picture again = cache.get(path);
    core::setNightLook(false);
    const QColor shown = atNight.pixmap.toImage().pixelColor(8, 8);
    // JPEG rounds a little.
    const auto near = [](const QColor& a, const QColor& b) {
        return std::abs(a.red() - b.red()) <= 3 && std::abs(a.green() - b.green()) <= 3 &&
               std::abs(a.blue() - b.blue()) <= 3;
    };
    QVERIFY2(near(byDay, day), qPrintable(byDay.name()));
    QVERIFY2(near(shown, night), qPrintable(shown.name() + " at night"));
    QCOMPARE(again.pixmap.cacheKey(), atNight.pixmap.cacheKey());
    QCOMPARE(atNight.source, path);
    // By day again: the decoded picture itself.
    QCOMPARE(cache.get(path).pixmap.toImage().pixelColor(8, 8), byDay);
}

void TestCore::startsDark_data() {
    QTest::addColumn<int>("chosen"); // -1 never chosen, 0 day, 1 night
    QTest::addColumn<int>("scheme"); // the portal's color-scheme, -1 no bus or no portal
    QTest::addColumn<bool>("dark");
    QTest::newRow("no portal") << -1 << -1 << false;
    QTest::newRow("no preference") << -1 << 0 << false;
    QTest::newRow("prefers dark") << -1 << 1 << true;
    QTest::newRow("prefers light") << -1 << 2 << false;
    QTest::newRow("unknown value") << -1 << 7 << false;
    QTest::newRow("day chosen, desktop dark") << 0 << 1 << false;
    QTest::newRow("night chosen, desktop light") << 1 << 2 << true;
    QTest::newRow("night chosen, no portal") << 1 << -1 << true;
}

void TestCore::startsDark() {
    QFETCH(int, chosen);
    QFETCH(int, scheme);
    QFETCH(bool, dark);
    const std::optional<bool> choice = chosen < 0 ? std::nullopt : std::optional(chosen == 1);
    const std::optional<uint> desktop = scheme < 0 ? std::nullopt : std::optional(uint(scheme));
    QCOMPARE(core::night::startsDark(choice, desktop), dark);
}

void TestCore::portalAnswer_data() {
    QTest::addColumn<QVariant>("answer");
    QTest::addColumn<int>("scheme"); // -1: none
    const QVariant one = QVariant::fromValue(1u);
    QTest::newRow("ReadOne") << QVariant::fromValue(QDBusVariant(one)) << 1;
    QTest::newRow("Read") << QVariant::fromValue(QDBusVariant(
                                 QVariant::fromValue(QDBusVariant(QVariant::fromValue(2u)))))
                          << 2;
    QTest::newRow("bare number") << QVariant::fromValue(0u) << 0;
    QTest::newRow("signed number") << QVariant::fromValue(QDBusVariant(QVariant(1))) << -1;
    QTest::newRow("text") << QVariant::fromValue(QDBusVariant(QVariant(QString("dark")))) << -1;
    QTest::newRow("nothing") << QVariant() << -1;
}

void TestCore::portalAnswer() {
    QFETCH(QVariant, answer);
    QFETCH(int, scheme);
    const std::optional<uint> found = core::night::schemeOf(answer);
    QCOMPARE(found ? int(*found) : -1, scheme);
}

void TestCore::facesWithCyrillic_data() {
    QTest::addColumn<QString>("face"); // as the layouts name it
    QTest::addColumn<QString>("shown");
    QTest::newRow("MS Sans Serif") << "MS Sans Serif"
                                   << "Liberation Sans";
    QTest::newRow("MS Serif") << "MS Serif"
                              << "Liberation Serif";
    QTest::newRow("Times New Roman") << "Times New Roman"
                                     << "Liberation Serif";
    QTest::newRow("Courier New") << "Courier New"
                                 << "Liberation Mono";
    QTest::newRow("Courier") << "Courier"
                             << "Liberation Mono";
}

void TestCore::facesWithCyrillic() {
    QFETCH(QString, face);
    QFETCH(QString, shown);
    const QFontInfo info(core::designFont(face, 12).font());
    QCOMPARE(info.family(), shown);
    QVERIFY(QFontDatabase::writingSystems(info.family()).contains(QFontDatabase::Cyrillic));
}

void TestCore::lineAndFrameLetMovesThrough() {
    QWidget surface;
    surface.resize(200, 100);
    auto* line = new core::Line(&surface, "Line1(0)", {0, 300}, {1500, 300}, 10, 0x008000);
    auto* frame = new core::Shape(&surface, "Shape1", {0, 0, 1500, 1500}, 5, 0x008000);
    auto* label = new core::Label(&surface, "Label1", {1500, 0, 300, 300}, "x",
                                  core::windowDefaultFont(), 0, Qt::AlignLeft);
    QCOMPARE(line->geometry(), QRect(0, 15, 100, 10));
    QCOMPARE(surface.childAt(50, 20), nullptr);
    QCOMPARE(surface.childAt(5, 5), nullptr);
    QVERIFY(frame->testAttribute(Qt::WA_TransparentForMouseEvents));
    QCOMPARE(surface.childAt(105, 5), label);
}

void TestCore::firstBadPictureInOrderIsReported_data() {
    QTest::addColumn<int>("missing");     // index in StartupPictures, -1 for none
    QTest::addColumn<int>("undecodable"); // the same
    QTest::addColumn<int>("threads");
    QTest::addColumn<bool>("later"); // the pictures shown later only checked, as at start-up
    QTest::newRow("all good") << -1 << -1 << 1 << true;
    QTest::newRow("last missing") << int(StartupPictures.size()) - 1 << -1 << 2 << false;
    QTest::newRow("undecodable before missing") << 9 << 5 << 1 << false;
    QTest::newRow("missing before undecodable") << 2 << 12 << 2 << true;
    QTest::newRow("undecodable, checked only") << 13 << 10 << 1 << true;
    QTest::newRow("on this thread only") << 7 << 3 << 0 << true;
}

void TestCore::firstBadPictureInOrderIsReported() {
    QFETCH(int, missing);
    QFETCH(int, undecodable);
    QFETCH(int, threads);
    QFETCH(bool, later);
    ContentFolder f;
    if (missing >= 0) f.remove(StartupPictures[missing]);
    if (undecodable >= 0) f.writeBytes(StartupPictures[undecodable], "not a picture");

    const QStringList checkedOnly = later ? StartupPictures.mid(10) : QStringList();
    core::PictureCache cache;
    core::PictureDecoding decoding(threads);
    decoding.start(StartupPictures, 1, {}, checkedOnly);
    decoding.finishInto(cache);
    QString reported;
    for (const QString& path : StartupPictures) {
        const bool bad =
            path == StartupPictures.value(missing) || path == StartupPictures.value(undecodable);
        QCOMPARE(cache.contains(path), !bad);
        try {
            if (checkedOnly.contains(path)) cache.check(path);
            // Checked or not, it decodes when asked for.
            QVERIFY(!cache.get(path).isNull());
        } catch (const base::RuntimeFailure& failure) {
            reported = failure.text;
            break;
        }
    }
    const int first =
        missing < 0 || undecodable < 0 ? qMax(missing, undecodable) : qMin(missing, undecodable);
    if (first < 0) {
        QCOMPARE(reported, QString());
    } else {
        const QString name = StartupPictures[first];
        QCOMPARE(reported, (first == missing ? QStringLiteral("Файл не найден: %1")
                                             : QStringLiteral("Неверный формат рисунка: %1"))
                               .arg(name));
    }
}

void TestCore::fittedPhotoDrawsAsTheLabelWould_data() {
    QTest::addColumn<QSize>("box"); // in pixels; empty for the photo's own size
    QTest::newRow("smaller") << QSize(153, 113);
    QTest::newRow("larger") << QSize(301, 250);
    QTest::newRow("its own size") << QSize();
}

void TestCore::fittedPhotoDrawsAsTheLabelWould() {
    QFETCH(QSize, box);
    ContentFolder f;
    // Fine detail, which any other resampling would draw differently.
    QImage detail(233, 177, QImage::Format_RGB32);
    for (int y = 0; y < detail.height(); ++y)
        for (int x = 0; x < detail.width(); ++x)
            detail.setPixel(x, y, qRgb((x * 37) % 256, (y * 53) % 256, ((x ^ y) & 1) * 255));
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    QVERIFY(buffer.open(QIODevice::WriteOnly) && detail.save(&buffer, "JPG", 95));
    const QString photo = QStringLiteral("dog\\sob141.jpg");
    f.writeBytes(photo, jpeg);
    if (box.isEmpty()) box = detail.size();
    core::PictureCache cache;
    core::PictureDecoding decoding(1);
    decoding.start({photo}, 1, {{photo, box}});
    decoding.finishInto(cache);
    const core::Picture& fitted = cache.get(photo);
    // Resampled ahead unless it has the box's size already.
    if (box == detail.size())
        QVERIFY(fitted.fitted.isNull());
    else
        QCOMPARE(fitted.fitted.size(), box);
    core::Picture plain = fitted;
    plain.fitted = QPixmap();

    QWidget surface;
    const QRect twips(0, 0, box.width() * 15, box.height() * 15);
    core::Image ahead(&surface, "ahead", twips, core::Image::Sizing::Stretch, {}, {});
    core::Image byLabel(&surface, "byLabel", twips, core::Image::Sizing::Stretch, {}, {});
    ahead.setPicture(fitted);
    byLabel.setPicture(plain);
    QCOMPARE(ahead.grab().toImage(), byLabel.grab().toImage());
}

void TestCore::userFolders_data() {
    QTest::addColumn<QStringList>("environment"); // variable=value; a variable left out is unset
    QTest::addColumn<QString>("config");
    QTest::addColumn<QString>("data");
    QTest::newRow("XDG folders") << QStringList{"XDG_CONFIG_HOME=/x/conf", "XDG_DATA_HOME=/x/data",
                                                "HOME=/home/u"}
                                 << "/x/conf/psograf"
                                 << "/x/data/psograf";
    QTest::newRow("home alone") << QStringList{"HOME=/home/u"} << "/home/u/.config/psograf"
                                << "/home/u/.local/share/psograf";
    QTest::newRow("empty XDG folders")
        << QStringList{"XDG_CONFIG_HOME=", "XDG_DATA_HOME=", "HOME=/home/u"}
        << "/home/u/.config/psograf"
        << "/home/u/.local/share/psograf";
    QTest::newRow("relative XDG folders ignored")
        << QStringList{"XDG_CONFIG_HOME=conf", "XDG_DATA_HOME=./data", "HOME=/home/u/"}
        << "/home/u/.config/psograf"
        << "/home/u/.local/share/psograf";
    QTest::newRow("relative home") << QStringList{"HOME=home/u"} << ""
                                   << "";
    QTest::newRow("relative home and XDG") << QStringList{"XDG_CONFIG_HOME=.", "HOME=."} << ""
                                           << "";
    QTest::newRow("no home") << QStringList{} << ""
                             << "";
    QTest::newRow("no home, XDG folders")
        << QStringList{"XDG_CONFIG_HOME=/x/conf/", "XDG_DATA_HOME=/x//data"} << "/x/conf/psograf"
        << "/x/data/psograf";
    QTest::newRow("home is the root") << QStringList{"HOME=/"} << "/.config/psograf"
                                      << "/.local/share/psograf";
}

void TestCore::userFolders() {
    QFETCH(QStringList, environment);
    QFETCH(QString, config);
    QFETCH(QString, data);
    const char* names[] = {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "HOME"};
    QByteArray saved[3];
    bool was[3];
    for (int i = 0; i < 3; ++i) {
        was[i] = qEnvironmentVariableIsSet(names[i]);
        saved[i] = qgetenv(names[i]);
        qunsetenv(names[i]);
    }
    for (const QString& pair : environment)
        qputenv(qPrintable(pair.section('=', 0, 0)), pair.section('=', 1).toUtf8());
    const QString gotConfig = base::userConfigDir();
    const QString gotData = base::userDataDir();
    const QString gotSettings = base::settings::path();
    for (int i = 0; i < 3; ++i)
        was[i] ? qputenv(names[i], saved[i]) : qunsetenv(names[i]);
    QCOMPARE(gotConfig, config);
    QCOMPARE(gotData, data);
    QCOMPARE(gotSettings, config.isEmpty() ? QString() : config + "/psograf.conf");
}

namespace {

// What the settings file said once, instead of standard error.
struct Notices {
    QStringList said;
    Notices() {
        base::setNoticeSink([this](const QString& text) { said << text; });
    }
    ~Notices() {
        base::setNoticeSink([](const QString&) {});
    }
};

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

} // namespace

void TestCore::settingsFile_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("stored");
    QTest::addColumn<QByteArray>("after"); // "(none)": no file
    QTest::addColumn<QString>("notice");

    QTest::newRow("new file") << "missing" << QByteArray() << "zoom"
                              << "125" << true << QByteArray("[General]\nzoom=125\n") << "";
    QTest::newRow("empty file") << "file" << QByteArray() << "zoom"
                                << "125" << true << QByteArray("[General]\nzoom=125\n") << "";
    QTest::newRow("comments and other keys kept")
        << "file"
        << QByteArray(
               "; my settings\n[General]\n# larger\nzoom=150\nnight = 1\n\n[other]\nzoom=9\n")
        << "zoom"
        << "175" << true
        << QByteArray(
               "; my settings\n[General]\n# larger\nzoom=175\nnight = 1\n\n[other]\nzoom=9\n")
        << "";
    QTest::newRow("key added to its group")
        << "file" << QByteArray("[other]\nx=1\n[General]\nnight=1") << "zoom"
        << "125" << true << QByteArray("[other]\nx=1\n[General]\nzoom=125\nnight=1") << "";
    QTest::newRow("no group: keys before one are General")
        << "file" << QByteArray("zoom=200\r\nx=1\r\n") << "zoom"
        << "100" << true << QByteArray("zoom=100\r\nx=1\r\n") << "";
    QTest::newRow("commented key left alone")
        << "file" << QByteArray("[General]\n;zoom=150\n") << "zoom"
        << "125" << true << QByteArray("[General]\nzoom=125\n;zoom=150\n") << "";
    QTest::newRow("same value: not written")
        << "file" << QByteArray("[General]\nzoom=125") << "zoom"
        << "125" << true << QByteArray("[General]\nzoom=125") << "";
    QTest::newRow("read-only") << "read-only" << QByteArray("[General]\nzoom=150\nx=1\n") << "zoom"
                               << "125" << false << QByteArray("[General]\nzoom=150\nx=1\n")
                               << "настройка не сохранена: %1 только для чтения";
    QTest::newRow("too large") << "file"
                               << "[General]\nzoom=150\n" + QByteArray(70000, '#') << "zoom"
                               << "125" << false << "[General]\nzoom=150\n" + QByteArray(70000, '#')
                               << "настройка не сохранена: Файл слишком велик: %1";
    QTest::newRow("not text") << "file" << QByteArray("\x00\xff\x9c[\x01zoom\x00=150", 14) << "zoom"
                              << "125" << false << QByteArray("\x00\xff\x9c[\x01zoom\x00=150", 14)
                              << "настройка не сохранена: %1 не текст настроек";
    QTest::newRow("a directory") << "directory" << QByteArray() << "zoom"
                                 << "125" << false << QByteArray("(none)")
                                 << "настройка не сохранена: %1 не обычный файл";
    QTest::newRow("a pipe") << "pipe" << QByteArray() << "zoom"
                            << "125" << false << QByteArray("(none)")
                            << "настройка не сохранена: %1 не обычный файл";
    QTest::newRow("a link to /dev/zero")
        << "zero" << QByteArray() << "zoom"
        << "125" << false << QByteArray("(none)") << "настройка не сохранена: %1 не обычный файл";
    QTest::newRow("a link to a file: the file written")
        << "link" << QByteArray("[General]\nzoom=150\n") << "zoom"
        << "125" << true << QByteArray("[General]\nzoom=125\n") << "";
    // Stray lock files of other programs' making wait for nothing.
    QTest::newRow("stray lock directory")
        << "lock-directory" << QByteArray("[General]\nzoom=150\n") << "zoom"
        << "125" << true << QByteArray("[General]\nzoom=125\n") << "";
    QTest::newRow("stray lock pipe") << "lock-pipe" << QByteArray("[General]\nzoom=150\n") << "zoom"
                                     << "125" << true << QByteArray("[General]\nzoom=125\n") << "";
    QTest::newRow("stray fresh lock file")
        << "lock-file" << QByteArray("[General]\nzoom=150\n") << "zoom"
        << "125" << true << QByteArray("[General]\nzoom=125\n") << "";
    QTest::newRow("stray lock link to /dev/zero")
        << "lock-zero" << QByteArray("[General]\nzoom=150\n") << "zoom"
        << "125" << true << QByteArray("[General]\nzoom=125\n") << "";
    QTest::newRow("folder held by another")
        << "held" << QByteArray("[General]\nzoom=150\n") << "zoom"
        << "125" << false << QByteArray("[General]\nzoom=150\n")
        << "настройка не сохранена: папка %2 занята";
    QTest::newRow("disk full") << "full" << QByteArray("[General]\nzoom=150\n# a long comment\n")
                               << "zoom"
                               << "125" << false
                               << QByteArray("[General]\nzoom=150\n# a long comment\n")
                               << "настройка не сохранена: %1 не записан";
    QTest::newRow("no home") << "no home" << QByteArray() << "zoom"
                             << "125" << false << QByteArray("(none)")
                             << "настройка не сохранена: нет домашней папки (HOME)";
    QTest::newRow("relative home") << "relative home" << QByteArray() << "zoom"
                                   << "125" << false << QByteArray("(none)")
                                   << "настройка не сохранена: нет домашней папки (HOME)";
}

void TestCore::settingsFile() {
    QFETCH(QString, kind);
    QFETCH(QByteArray, before);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(bool, stored);
    QFETCH(QByteArray, after);
    QFETCH(QString, notice);

    ContentFiles f; // its own configuration folder
    Notices notices;
    const QString path = base::settings::path();
    const QString dir = QFileInfo(path).path();
    QVERIFY(path.startsWith(QDir::tempPath()));
    const bool homeless = kind == "no home" || kind == "relative home";
    if (!homeless) QVERIFY(QDir().mkpath(dir));
    const QByteArray name = QFile::encodeName(path);
    const auto write = [](const QString& file, const QByteArray& bytes) {
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    };
    if (kind != "missing" && kind != "directory" && kind != "pipe" && kind != "zero" &&
        kind != "link" && !homeless)
        write(path, before);
    int held = -1;
    if (kind == "read-only") {
        QCOMPARE(chmod(name.constData(), 0444), 0);
    } else if (kind == "directory") {
        QVERIFY(QDir().mkpath(path));
    } else if (kind == "pipe") {
        QCOMPARE(mkfifo(name.constData(), 0600), 0);
    } else if (kind == "zero") {
        QVERIFY(QFile::link("/dev/zero", path));
    } else if (kind == "link") {
        write(dir + "/real.conf", before);
        QVERIFY(QFile::link(dir + "/real.conf", path));
    } else if (kind == "lock-directory") {
        QVERIFY(QDir().mkpath(path + ".lock"));
    } else if (kind == "lock-pipe") {
        QCOMPARE(mkfifo(QFile::encodeName(path + ".lock").constData(), 0600), 0);
    } else if (kind == "lock-zero") {
        QVERIFY(QFile::link("/dev/zero", path + ".lock"));
    } else if (kind == "lock-file") {
        write(path + ".lock", QByteArray::number(getpid()) + "\npsograf\n");
    } else if (kind == "held") {
        held = open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY);
        QCOMPARE(flock(held, LOCK_EX | LOCK_NB), 0);
    }
    const QByteArray home = qgetenv("HOME");
    if (kind == "no home") {
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("HOME");
    } else if (kind == "relative home") {
        qputenv("XDG_CONFIG_HOME", "config");
        qputenv("HOME", "home");
    }
    struct stat old = {};
    stat(name.constData(), &old);

    rlimit limit = {};
    getrlimit(RLIMIT_FSIZE, &limit);
    const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    if (kind == "full") {
        rlimit small = limit;
        small.rlim_cur = 8; // no room for the new file
        setrlimit(RLIMIT_FSIZE, &small);
    }
    QElapsedTimer timer;
    timer.start();
    const bool result = base::settings::store(key, value);
    const qint64 took = timer.elapsed();
    const bool again = base::settings::store(key, value);
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, oldSignal);
    if (held >= 0) close(held);
    if (homeless) qputenv("HOME", home);

    QCOMPARE(result, stored);
    QVERIFY2(took < 2000, qPrintable(QString("%1 ms").arg(took))); // never waits for long
    if (kind == "link") {
        QVERIFY(QFileInfo(path).isSymLink());
        QCOMPARE(bytesOf(dir + "/real.conf"), after);
    } else if (!homeless) {
        // A pipe is never opened here either: it would wait for a writer.
        QCOMPARE(QFileInfo(path).isFile() ? bytesOf(path) : QByteArray("(none)"), after);
    } else { // nothing written anywhere, least of all in the content folder
        QCOMPARE(QDir(f.root()).entryList({"config", "home", ".config"},
                                          QDir::AllEntries | QDir::Hidden),
                 QStringList());
    }
    if (after == before && kind == "file") {
        struct stat now = {};
        stat(name.constData(), &now);
        QCOMPARE(now.st_ino, old.st_ino); // not even written again
        QCOMPARE(now.st_mtim.tv_nsec, old.st_mtim.tv_nsec);
    }
    // Nothing left behind but what was there.
    QStringList left = QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
    left.removeAll("psograf.conf");
    left.removeAll("psograf.conf.lock");
    left.removeAll("real.conf");
    QCOMPARE(left, QStringList());
    // Said once, however often it recurs.
    QCOMPARE(again, stored);
    if (notice.isEmpty()) {
        QCOMPARE(notices.said, QStringList());
    } else {
        QCOMPARE(notices.said.size(), 1);
        QVERIFY2(notices.said[0].startsWith(QString(notice).replace("%1", path).replace("%2", dir)),
                 qPrintable(notices.said[0]));
    }
    if (kind == "read-only") chmod(name.constData(), 0644);
    if (kind == "directory") QDir(path).removeRecursively();
}

void TestCore::settingsFromTwoCopies() {
    ContentFiles f;
    Notices notices;
    const QString path = base::settings::path();
    // What another copy saved since this one last wrote is read again and kept.
    QVERIFY(base::settings::store("zoom", "125"));
    {
        QFile other(path);
        QVERIFY(other.open(QIODevice::Append));
        other.write("night=1\n; the other copy's\n");
    }
    QVERIFY(base::settings::store("zoom", "150"));
    QCOMPARE(bytesOf(path), QByteArray("[General]\nzoom=150\nnight=1\n; the other copy's\n"));
    QCOMPARE(base::settings::value("night"), QString("1"));
    QCOMPARE(base::settings::value("zoom"), QString("150"));
    QVERIFY(base::settings::value("missing").isNull());

    // Two saving at once, each its own key, take turns: neither loses the other's.
    const auto saver = [](const char* key) {
        for (int i = 1; i <= 40; ++i)
            for (int attempt = 0; attempt < 50 && !base::settings::store(key, QString::number(i));
                 ++attempt) {
            }
    };
    std::thread a(saver, "a"), b(saver, "b");
    a.join();
    b.join();
    QCOMPARE(base::settings::value("a"), QString("40"));
    QCOMPARE(base::settings::value("b"), QString("40"));
    QCOMPARE(base::settings::value("night"), QString("1"));
}

QTEST_MAIN(TestCore)
#include "test_core.moc"
