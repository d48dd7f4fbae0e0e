// SPDX-License-Identifier: GPL-3.0-or-later
// The one test on the shipped content: the program starts, every section and the
// catalogue open, and nothing is reported.
#include "catalogue/form1.h"
#include "core/zoom.h"
#include "main_window/form2.h"
#include "search_window/searchwindow.h"
#include "tests/fixture.h"
#include "topics/form4.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>

class TestSmoke : public QObject {
    Q_OBJECT
private slots:
    void shippedContentWorks();
};

void TestSmoke::shippedContentWorks() {
    Fixture f; // recorders only; the content folder is the shipped one
    QDir::setCurrent(PSOGRAF_CONTENT_DIR);
    auto program = std::make_unique<Program>();
    QVERIFY(program->load());
    program->show();
    settle();
    Form2* main = program->Form2();
    auto* reader = program->Form4();
    auto* cat = program->Form1();
    QVERIFY(cat->List1->count() >= 120);
    QVERIFY(cat->Image1->hasPicture()); // the first breed has its photo
    saveScreenshot(main, "shipped_main");
    int section = 0;
    for (auto click : {&Form2::Label1_Click, &Form2::Label2_Click, &Form2::Label3_Click,
                       &Form2::Label4_Click, &Form2::Label5_Click}) {
        (main->*click)();
        settle();
        QVERIFY(reader->List1->count() >= 12);
        QVERIFY(reader->Text1->toPlainText().size() > 200);
        saveScreenshot(reader, QString("shipped_section_%1").arg(++section));
        reader->Image2_Click();
    }
    main->Label6_Click();
    settle();
    saveScreenshot(cat, "shipped_catalogue_first");
    // A user's choice: the breed with the portrait photo.
    const auto golden = cat->List1->findItems("Золотистый ретривер", Qt::MatchExactly);
    QCOMPARE(golden.size(), 1);
    cat->List1->setCurrentItem(golden.first());
    settle();
    saveScreenshot(cat, "shipped_catalogue_second");
    cat->List1->setCurrentRow(cat->List1->count() - 1);
    settle();
    saveScreenshot(cat, "shipped_catalogue_last");
    cat->Image2_Click();
    QVERIFY(f.failures.isEmpty());
    // Every step above made its sound: a click and a back per section; for the catalogue a
    // click, two choices and a back.
    QStringList expected;
    for (int i = 0; i < 5; ++i)
        expected << "check.wav"
                 << "select.wav";
    expected << "check.wav"
             << "stat.wav"
             << "stat.wav"
             << "select.wav";
    QStringList played;
    for (const QString& sound : f.sounds)
        played << sound.section(u'\\', -1);
    QCOMPARE(played, expected);

    // The search over the whole shipped reference.
    program->openSearch(*main, QString());
    settle();
    search::SearchWindow* w = program->searchWindow();
    QSignalSpy shown(w, &search::SearchWindow::answerShown);
    w->Text1->setText("клещ");
    QVERIFY(shown.wait(10000));
    QVERIFY(entries(w->List1).contains("Лечение собаки › Клещи и пироплазмоз"));
    QCOMPARE(w->Label9->text(), QString()); // every shipped file read
    saveScreenshot(w, "shipped_search");
    w->Image2_Click();
    QVERIFY(main->isVisible());
    QVERIFY(f.failures.isEmpty());

    // At 200 %, with the doubled pictures: the main window, a section, the catalogue and
    // the search.
    for (int step = 0; step < 4; ++step)
        core::zoom::take(core::zoom::Step::Larger, program->values().pictures);
    QCOMPARE(main->size(), QSize(1248, 948));
    saveScreenshot(main, "shipped_main_200");
    main->Label4_Click();
    settle();
    QCOMPARE(reader->size(), QSize(1080, 964));
    saveScreenshot(reader, "shipped_section_4_200");
    reader->Image2_Click();
    main->Label6_Click();
    settle();
    saveScreenshot(cat, "shipped_catalogue_200");
    cat->Image2_Click();
    program->openSearch(*main, QString());
    settle();
    w->Text1->setText("клещ");
    QVERIFY(shown.wait(10000));
    saveScreenshot(w, "shipped_search_200");
    w->Image2_Click();
    QVERIFY(f.failures.isEmpty());
    QFile::remove(core::zoom::settingsFile());
    core::zoom::startAtRemembered(); // 100 % again for the next test
}

PSOGRAF_TEST_MAIN(TestSmoke)
#include "test_smoke.moc"
