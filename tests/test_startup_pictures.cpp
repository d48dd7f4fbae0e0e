// SPDX-License-Identifier: GPL-3.0-or-later
// The start-up pictures decoded ahead on worker threads (app/main.cpp): a picture that is
// missing or does not decode is left out, so the load, asking for the pictures in its
// order, still reports the first bad one with its usual message.
#include "core/failure.h"
#include "core/pictures.h"
#include "tests/fixture.h"

#include <QTest>

class TestStartupPictures : public QObject {
    Q_OBJECT
private slots:
    void firstBadPictureInOrderIsReported_data();
    void firstBadPictureInOrderIsReported();
};

void TestStartupPictures::firstBadPictureInOrderIsReported_data() {
    QTest::addColumn<int>("missing");     // index in StartupPictures, -1 for none
    QTest::addColumn<int>("undecodable"); // the same
    QTest::addColumn<int>("threads");
    QTest::newRow("all good") << -1 << -1 << 1;
    QTest::newRow("last missing") << int(StartupPictures.size()) - 1 << -1 << 2;
    QTest::newRow("undecodable before missing") << 9 << 5 << 1;
    QTest::newRow("missing before undecodable") << 2 << 12 << 2;
    QTest::newRow("on this thread only") << 7 << 3 << 0;
}

void TestStartupPictures::firstBadPictureInOrderIsReported() {
    QFETCH(int, missing);
    QFETCH(int, undecodable);
    QFETCH(int, threads);
    Fixture f;
    if (missing >= 0) f.remove(StartupPictures[missing]);
    if (undecodable >= 0) f.writeBytes(StartupPictures[undecodable], "not a picture");

    core::PictureCache cache;
    core::PictureDecoding(StartupPictures, 1, threads).finishInto(cache);
    QString reported;
    for (const QString& path : StartupPictures) {
        const bool bad =
            path == StartupPictures.value(missing) || path == StartupPictures.value(undecodable);
        QCOMPARE(cache.contains(path), !bad);
        try {
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

QTEST_MAIN(TestStartupPictures)
#include "test_startup_pictures.moc"
