// SPDX-License-Identifier: GPL-3.0-or-later
// The one test on the shipped content: the program starts, every section and the
// catalogue open, and nothing is reported; the breed chooser on the shipped facts shows
// its answers, entries and comparison whole at every zoom.
#include "base/contentfiles.h"
#include "catalogue/form1.h"
#include "chooser/chooserwindow.h"
#include "core/night.h"
#include "core/zoom.h"
#include "dialogs/form3.h"
#include "dialogs/form5.h"
#include "main_window/form2.h"
#include "search_window/searchwindow.h"
#include "tests/fixture.h"
#include "topics/form4.h"

#include <QDir>
#include <QHeaderView>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>

class TestSmoke : public QObject {
    Q_OBJECT
private slots:
    void shippedContentWorks();
    void shippedContentAtNight_data();
    void shippedContentAtNight();
    void shippedChooser_data();
    void shippedChooser();
};

void TestSmoke::shippedContentWorks() {
    Fixture f; // recorders only; the content folder is the shipped one
    QDir::setCurrent(PSOGRAF_CONTENT_DIR);
    auto program = std::make_unique<Program>();
    QVERIFY(program->load());
    program->show();
    settle();
    program->finishStartup();
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
    // A result opens where it was found: the query's words marked in the topic, by day and
    // at night.
    w->Text1->setText("обжёгся");
    QVERIFY(shown.wait(10000));
    const int burns = int(entries(w->List1).indexOf("Лечение собаки › Ожоги"));
    QVERIFY(burns >= 0);
    w->List1->setCurrentRow(burns);
    w->List1_DblClick();
    settle();
    QVERIFY(reader->isVisible());
    QCOMPARE(reader->Label1_1->text(), QString("Ожоги"));
    QVERIFY(reader->Text1->extraSelections().size() >= 2);
    saveScreenshot(reader, "shipped_found");
    core::night::choose(true, program->values().pictures);
    saveScreenshot(reader, "shipped_found_night");
    core::night::choose(false, program->values().pictures);
    program->openSearch(*reader, QString());
    settle();
    QCOMPARE(w->Text1->text(), QString("обжёгся"));
    w->Image2_Click();
    reader->Image2_Click();
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

void TestSmoke::shippedContentAtNight_data() {
    QTest::addColumn<int>("percent");
    QTest::newRow("100 %") << 100;
    QTest::newRow("150 %, the doubled pictures") << 150;
}

// Every window at night on the shipped art: reading text at least 7:1 against what is
// under it, captions, entries and fields at least 4.5:1, measured on the pixels; the lit
// pictures still other than the normal ones.
void TestSmoke::shippedContentAtNight() {
    QFETCH(int, percent);
    Fixture f;
    QDir::setCurrent(PSOGRAF_CONTENT_DIR);
    auto program = std::make_unique<Program>();
    QVERIFY(program->load());
    program->show();
    settle();
    core::PictureCache& pictures = program->values().pictures;
    while (core::zoom::percent() < percent)
        core::zoom::take(core::zoom::Step::Larger, pictures);
    core::night::choose(true, pictures);
    Form2* main = program->Form2();
    const auto measure = [&](core::FormBase* form, const QString& name, double least) {
        QWidget* control = form->surface()->findChild<QWidget*>(name);
        QVERIFY2(control, qPrintable(name));
        const Contrast c = measuredContrast(shownPart(form, control));
        const QString seen =
            QString("%1 %2 at %3 %: %4 on %5, %6:1")
                .arg(form->objectName(), name)
                .arg(percent)
                .arg(c.text.name(), c.back.name(), QString::number(c.ratio, 'f', 1));
        qInfo("%s", qPrintable(seen));
        QVERIFY2(c.ratio >= least, qPrintable(seen));
    };
    const auto shot = [&](QWidget* window, const char* name) {
        saveScreenshot(window, QString("night_%1_%2").arg(name).arg(percent));
    };

    shot(main, "main");
    measure(main, "Label2", 4.5);
    measure(main, "Label7", 4.5);
    // The lit pictures at night: other than the normal ones.
    using namespace base::content::graph;
    for (const auto& [normal, lit] : {std::pair{ExitNormal, ExitLit},
                                      {HelpNormal, HelpLit},
                                      {MinimiseNormal, MinimiseLit},
                                      {BackNormal, BackLit}})
        QVERIFY(pictures.get(normal).pixmap.toImage() != pictures.get(lit).pixmap.toImage());
    main->Label1->setForeColor(core::colors::LightGreen);
    main->Label1->setFontSize(16);
    main->Image1->setPicture(pictures.get(ExitLit));
    shot(main, "main_lit");
    main->Image1_Click();
    settle();
    shot(main, "main_dimmed");
    shot(program->Form3(), "exit");
    measure(program->Form3(), "Label1", 4.5);
    measure(program->Form3(), "Label2", 4.5);
    program->Form3()->Label3_Click();
    settle();

    main->Label4_Click();
    settle();
    auto* reader = program->Form4();
    reader->List1->setCurrentRow(2);
    settle();
    shot(reader, "section");
    measure(reader, "Text1", 7);
    measure(reader, "List1", 4.5);
    measure(reader, "Label1(1)", 4.5);
    measure(reader, "Label7", 4.5);
    reader->Image2_Click();

    main->Label6_Click();
    settle();
    auto* cat = program->Form1();
    cat->List1->setCurrentItem(cat->List1->findItems("Золотистый ретривер", Qt::MatchExactly)[0]);
    settle();
    shot(cat, "catalogue");
    measure(cat, "Text1", 7);
    measure(cat, "List1", 4.5);
    measure(cat, "Label1", 4.5);
    measure(cat, "Label7", 4.5);
    cat->Image2_Click();

    main->Image2_Click();
    settle();
    shot(program->Form5(), "help");
    measure(program->Form5(), "Label3(0)", 7);
    measure(program->Form5(), "Label1", 4.5);
    measure(program->Form5(), "Text1", 4.5);
    program->Form5()->Image20_Click();

    program->openSearch(*main, QString());
    settle();
    search::SearchWindow* w = program->searchWindow();
    QSignalSpy shown(w, &search::SearchWindow::answerShown);
    w->Text1->setText("клещ");
    QVERIFY(shown.count() || shown.wait(10000));
    settle();
    shot(w, "search");
    measure(w, "Text2", 7);
    measure(w, "List1", 4.5);
    measure(w, "Label8", 4.5);
    measure(w, "Text1", 4.5);
    w->Image2_Click();
    QVERIFY(f.failures.isEmpty());

    QFile::remove(core::zoom::settingsFile());
    core::zoom::startAtRemembered();
    core::night::startAtRemembered();
}

void TestSmoke::shippedChooser_data() {
    QTest::addColumn<int>("percent");
    QTest::addColumn<bool>("compared");
    QTest::addColumn<bool>("night");
    QTest::addColumn<bool>("zoomedLast"); // the zoom taken once the breeds are compared
    QTest::newRow("100 %") << 100 << false << false << false;
    QTest::newRow("200 %") << 200 << false << false << false;
    QTest::newRow("100 %, compared") << 100 << true << false << false;
    QTest::newRow("200 %, compared") << 200 << true << false << false;
    QTest::newRow("compared, then 150 %, at night") << 150 << true << true << true;
}

// A family with a cat and schoolchildren in a flat: the breed chosen shows its facts, three
// marked side by side; nothing cut off or overlapping.
void TestSmoke::shippedChooser() {
    QFETCH(int, percent);
    QFETCH(bool, compared);
    QFETCH(bool, night);
    QFETCH(bool, zoomedLast);
    Fixture f;
    QDir::setCurrent(PSOGRAF_CONTENT_DIR);
    auto program = std::make_unique<Program>();
    QVERIFY(program->load());
    program->show();
    settle();
    program->finishStartup();
    core::PictureCache& pictures = program->values().pictures;
    const auto zoom = [&] {
        while (core::zoom::percent() < percent)
            core::zoom::take(core::zoom::Step::Larger, pictures);
    };
    if (!zoomedLast) zoom();
    if (night) core::night::choose(true, pictures);
    const auto normal = qScopeGuard([&] {
        core::zoom::take(core::zoom::Step::Normal, pictures);
        if (core::night::isOn()) core::night::choose(false, pictures);
    });
    program->openChooser(*program->Form2());
    settle();
    chooser::ChooserWindow* w = program->chooserWindow();
    QVERIFY(w->isVisible());
    for (const char* text : {"В квартире", "Школьники", "Есть кошка", "Почти не линяет"}) {
        QAbstractButton* b = w->answer(QString::fromUtf8(text));
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2));
    }
    QVERIFY(w->Label8->fullText().startsWith("Подходят все ответы: "));
    QVERIFY(w->List1->count() >= 3);
    clickEntry(w->List1, 0);
    QCOMPARE(w->List1->currentRow(), 0);
    if (compared) {
        for (int row = 0; row < 3; ++row)
            w->List1->item(row)->setCheckState(Qt::Checked);
        QTest::mouseClick(w->Command1, Qt::LeftButton);
        QVERIFY(w->Grid1->isVisible());
    }
    if (zoomedLast) zoom();
    QCOMPARE(core::zoom::percent(), percent);
    settle();
    saveScreenshot(w, QStringLiteral("shipped_chooser_%1%2%3")
                          .arg(percent)
                          .arg(compared ? "_compared" : "", night ? "_night" : ""));
    if (compared) {
        // Every column's heading whole: each word within its column, the lines within the
        // heading's height.
        const QHeaderView* headings = w->Grid1->horizontalHeader();
        const QFontMetrics metrics(headings->font());
        for (int c = 0; c < w->Grid1->columnCount(); ++c) {
            const QString heading = w->Grid1->horizontalHeaderItem(c)->text();
            const QRect needed =
                metrics.boundingRect(QRect(0, 0, headings->sectionSize(c) - 8, 1000),
                                     Qt::AlignCenter | Qt::TextWordWrap, heading);
            QVERIFY2(needed.width() <= headings->sectionSize(c) - 4 &&
                         needed.height() <= headings->height(),
                     qPrintable(heading));
        }
    }
    // The answers whole in their groups, the groups apart, the count line whole.
    for (const QGroupBox* group : w->groups())
        for (const QAbstractButton* b : group->findChildren<QAbstractButton*>())
            QVERIFY2(group->rect().contains(b->geometry()) && b->sizeHint().width() <= b->width(),
                     qPrintable(b->text()));
    for (const QGroupBox* a : w->groups())
        for (const QGroupBox* b : w->groups())
            QVERIFY2(a == b || !a->geometry().intersects(b->geometry()), qPrintable(a->title()));
    QVERIFY(w->Label8->sizeHint().width() <= w->Label8->width());
    QVERIFY(f.failures.isEmpty());
}

PSOGRAF_TEST_MAIN(TestSmoke)
#include "test_smoke.moc"
