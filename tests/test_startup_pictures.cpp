// SPDX-License-Identifier: GPL-3.0-or-later
// The start-up pictures decoded ahead on worker threads (app/main.cpp): a picture that is
// missing or does not decode is left out, so the load, asking for the pictures in its
// order, still reports the first bad one with its usual message. A carousel photo
// resampled ahead for its first box is drawn exactly as the label would draw it.
#include "core/controls.h"
#include "core/failure.h"
#include "core/pictures.h"
#include "main_window/form2.h"
#include "tests/fixture.h"

#include <QBuffer>
#include <QTest>

class TestStartupPictures : public QObject {
    Q_OBJECT
private slots:
    void firstBadPictureInOrderIsReported_data();
    void firstBadPictureInOrderIsReported();
    void fittedPhotoDrawsAsTheLabelWould_data();
    void fittedPhotoDrawsAsTheLabelWould();
};

void TestStartupPictures::firstBadPictureInOrderIsReported_data() {
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

void TestStartupPictures::firstBadPictureInOrderIsReported() {
    QFETCH(int, missing);
    QFETCH(int, undecodable);
    QFETCH(int, threads);
    QFETCH(bool, later);
    Fixture f;
    if (missing >= 0) f.remove(StartupPictures[missing]);
    if (undecodable >= 0) f.writeBytes(StartupPictures[undecodable], "not a picture");

    const QStringList checkedOnly =
        later ? main_window::Form2::picturesShownLater() : QStringList();
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
        } catch (const core::RuntimeFailure& failure) {
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

void TestStartupPictures::fittedPhotoDrawsAsTheLabelWould_data() {
    QTest::addColumn<QSize>("box"); // in pixels; empty for the photo's own size
    QTest::newRow("smaller") << QSize(153, 113);
    QTest::newRow("larger") << QSize(301, 250);
    QTest::newRow("its own size") << QSize();
}

void TestStartupPictures::fittedPhotoDrawsAsTheLabelWould() {
    QFETCH(QSize, box);
    Fixture f;
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

QTEST_MAIN(TestStartupPictures)
#include "test_startup_pictures.moc"
