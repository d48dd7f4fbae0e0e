// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's menu, hover feedback, exit confirmation, help window and carousel,
// driven the way a user drives them.
#include "catalogue/form1.h"
#include "core/contentfiles.h"
#include "dialogs/form3.h"
#include "dialogs/form5.h"
#include "main_window/carousel.h"
#include "main_window/form2.h"
#include "tests/fixture.h"
#include "topics/form4.h"

#include <QDesktopServices>
#include <QTest>
#include <QWindow>

namespace {
// Moves/clicks the pointer at a point of the window's client area, hit-tested as a real
// pointer would be.
QPoint inWindow(core::FormBase* form, QPoint client) {
    return client + form->surface()->pos();
}
void moveTo(core::FormBase* form, QPoint client) {
    QTest::mouseMove(form->windowHandle(), inWindow(form, client));
    QCoreApplication::processEvents();
}
void clickAt(core::FormBase* form, QPoint client) {
    QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {}, inWindow(form, client));
    QCoreApplication::processEvents();
}
QPoint centreOf(QWidget* w) {
    return w->geometry().center();
}
} // namespace

class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

class TestMainMenu : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void sectionsOpenTheReader_data();
    void sectionsOpenTheReader();
    void sameSectionTwiceAndCatalogueAfterASection();
    void hoverLightsAndTheSurfaceResets();
    void exitThenNo();
    void exitThenYes();
    void helpWindow();
    void minimiseKeepsTheButtonLit();
    void disabledMainWindowIgnoresInput();
    void closeRequestsLeadBack();
    void carousel();
    void walkEveryWindow();

private:
    std::unique_ptr<Fixture> f;
    Form2* main = nullptr;
    Form4* reader() const { return f->program()->Form4(); }
    Form3* exitBox() const { return f->program()->Form3(); }
    Form5* help() const { return f->program()->Form5(); }
    Form1* cat() const { return f->program()->Form1(); }
};

void TestMainMenu::init() {
    f = std::make_unique<Fixture>();
    for (const char* file : {"HCD", "vos", "kiv", "kvs", "drs"})
        f->writeText(QString("text\\%1.ssu").arg(file),
                     QString("#Тема %1\r\nТекст.\r\n#Тема %1\r\n").arg(file));
    QVERIFY(f->start());
    main = f->program()->Form2();
}

void TestMainMenu::cleanup() {
    f.reset();
}

void TestMainMenu::sectionsOpenTheReader_data() {
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("title");
    QTest::newRow("Label1") << "Label1"
                            << "text\\HCD.ssu"
                            << "Как выбрать собаку";
    QTest::newRow("Label2") << "Label2"
                            << "text\\vos.ssu"
                            << "Физиология собаки";
    QTest::newRow("Label3") << "Label3"
                            << "text\\kiv.ssu"
                            << "Кормление и обустройство";
    QTest::newRow("Label4") << "Label4"
                            << "text\\kvs.ssu"
                            << "Лечение собаки";
    QTest::newRow("Label5") << "Label5"
                            << "text\\drs.ssu"
                            << "Дрессировка собаки";
}

void TestMainMenu::sectionsOpenTheReader() {
    QFETCH(QString, label);
    QFETCH(QString, file);
    QFETCH(QString, title);
    auto* item = main->surface()->findChild<core::Label*>(label);
    clickAt(main, centreOf(item));
    settle();
    QVERIFY(!main->isVisible());
    QVERIFY(reader()->isVisible());
    QCOMPARE(reader()->Label7->text(), title);
    QCOMPARE(f->program()->values().TopicFilePath, file);
    QCOMPARE(f->program()->values().TopicListLoaded, quint8(0));
    QCOMPARE(reader()->List1->count(), 1);
    QVERIFY(reader()->List1->item(0)->text().endsWith(
        QFileInfo(QString(file).replace('\\', '/')).baseName()));
    QCOMPARE(f->sounds.size(), 1);
    QVERIFY(f->sounds.first().endsWith("\\Sound\\check.wav"));
}

void TestMainMenu::sameSectionTwiceAndCatalogueAfterASection() {
    main->Label4_Click();
    settle();
    QTest::mouseClick(reader()->Image2, Qt::LeftButton);
    f->program()->values().TopicListLoaded = 0;
    main->Label4_Click();
    settle();
    QCOMPARE(reader()->List1->count(), 1);
    QTest::mouseClick(reader()->Image2, Qt::LeftButton);
    main->Label6_Click();
    settle();
    QVERIFY(cat()->isVisible());
    QVERIFY(!main->isVisible());
    QCOMPARE(f->program()->values().TopicFilePath, QString("text\\kvs.ssu"));
}

void TestMainMenu::hoverLightsAndTheSurfaceResets() {
    moveTo(main, centreOf(main->Label3));
    QCOMPARE(main->Label3->foreColor(), quint32(0x00C000));
    QCOMPARE(main->Label3->fontSize(), 16.0);
    QCOMPARE(main->Label3->font().pixelSize(), 21);
    moveTo(main, centreOf(main->Label4)); // straight to the next item: both lit
    QCOMPARE(main->Label3->foreColor(), quint32(0x00C000));
    QCOMPARE(main->Label4->foreColor(), quint32(0x00C000));
    moveTo(main, centreOf(main->Image1));
    QCOMPARE(main->Image1->pictureSource(), QString("Graph\\CLAK.jpg"));
    moveTo(main, centreOf(main->Image5)); // a photo neither lights nor resets
    moveTo(main, centreOf(main->Label7)); // nor does the title
    QCOMPARE(main->Label4->foreColor(), quint32(0x00C000));
    QCOMPARE(main->Image1->pictureSource(), QString("Graph\\CLAK.jpg"));
    // A rule is the bare surface.
    moveTo(main, main->surface()->findChild<QWidget*>("Line1(6)")->geometry().center());
    for (core::Label* l :
         {main->Label1, main->Label2, main->Label3, main->Label4, main->Label5, main->Label6}) {
        QCOMPARE(l->foreColor(), quint32(0x008000));
        QCOMPARE(l->fontSize(), 12.0);
    }
    QCOMPARE(main->Image1->pictureSource(), QString("Graph\\CLNO.jpg"));
    QCOMPARE(main->Image2->pictureSource(), QString("Graph\\qesno.jpg"));
    QCOMPARE(main->Image8->pictureSource(), QString("Graph\\lis.jpg"));
    // Hover reads no file: the pictures are gone from the disk and still shown.
    for (const QString& p : StartupPictures)
        f->remove(p);
    moveTo(main, centreOf(main->Image8));
    QCOMPARE(main->Image8->pictureSource(), QString("Graph\\lir.jpg"));
    moveTo(main, QPoint(300, 300));
    QCOMPARE(main->Image8->pictureSource(), QString("Graph\\lis.jpg"));
    QVERIFY(f->failures.isEmpty());
    QVERIFY(f->sounds.isEmpty());
}

void TestMainMenu::exitThenNo() {
    moveTo(main, centreOf(main->Image1));
    clickAt(main, centreOf(main->Image1));
    QVERIFY(exitBox()->isVisible());
    QVERIFY(main->isVisible());
    QVERIFY(!main->isFormEnabled());
    QCOMPARE(main->pictureSource(), QString("Graph\\fonno.jpg"));
    QCOMPARE(f->sounds.size(), 1);
    saveScreenshot(exitBox(), "exit_confirmation");

    moveTo(exitBox(), centreOf(exitBox()->Label2));
    QCOMPARE(exitBox()->Label2->foreColor(), quint32(0x00C000));
    QCOMPARE(exitBox()->Label2->fontSize(), 12.0);
    moveTo(exitBox(), centreOf(exitBox()->Label3)); // straight on: both lit
    QCOMPARE(exitBox()->Label2->foreColor(), quint32(0x00C000));
    clickAt(exitBox(), centreOf(exitBox()->Label3));
    QVERIFY(!exitBox()->isVisible());
    QVERIFY(main->isFormEnabled());
    QCOMPARE(main->pictureSource(), QString("Graph\\fon.jpg"));
    QCOMPARE(main->Image1->pictureSource(), QString("Graph\\CLAK.jpg"));
    QCOMPARE(f->sounds.size(), 1); // the confirmation is silent
    QVERIFY(f->endings.isEmpty());

    // Opened again, "НЕТ" is still lit until the pointer crosses the surface.
    main->Image1_Click();
    QCOMPARE(exitBox()->Label3->foreColor(), quint32(0x00C000));
    moveTo(exitBox(), QPoint(5, 40));
    QCOMPARE(exitBox()->Label3->foreColor(), quint32(0x008000));
    QCOMPARE(exitBox()->Label3->fontSize(), 8.0);
    QCOMPARE(exitBox()->Label2->fontSize(), 8.0);
}

void TestMainMenu::exitThenYes() {
    main->Image1_Click();
    f->sounds.clear();
    clickAt(exitBox(), centreOf(exitBox()->Label2));
    QCOMPARE(f->endings, QList<int>{0});
    QVERIFY(f->sounds.isEmpty());
}

void TestMainMenu::helpWindow() {
    UrlRecorder urls;
    QDesktopServices::setUrlHandler("https", &urls, "open");
    main->Image2_Click();
    settle();
    QVERIFY(help()->isVisible());
    QVERIFY(!main->isFormEnabled());
    QCOMPARE(help()->Image20->pictureSource(), QString("Graph\\ARAK.jpg"));
    QVERIFY(help()->Text1->isReadOnly());
    QCOMPARE(help()->Text1->text(), QString("psograf@example.org"));
    QCOMPARE(help()->Image20->toolTip(), QString("Вернуться в Главное меню"));
    saveScreenshot(help(), "help_window");

    clickAt(help(), centreOf(help()->Image2));
    clickAt(help(), centreOf(help()->Image2));
    QCOMPARE(urls.opened.size(), 2);
    QCOMPARE(urls.opened.first(), QUrl("https://psograf.example.org"));
    QVERIFY(help()->isVisible());
    QVERIFY(!main->isFormEnabled());

    moveTo(help(), QPoint(400, 60));
    QCOMPARE(help()->Image20->pictureSource(), QString("Graph\\ARNOAK.jpg"));
    moveTo(help(), centreOf(help()->Image20)); // no lit picture of its own
    QCOMPARE(help()->Image20->pictureSource(), QString("Graph\\ARNOAK.jpg"));
    f->sounds.clear();
    clickAt(help(), centreOf(help()->Image20));
    QVERIFY(!help()->isVisible());
    QVERIFY(main->isVisible());
    QVERIFY(main->isFormEnabled());
    QCOMPARE(f->sounds.size(), 1);
    QVERIFY(f->sounds.first().endsWith("\\Sound\\select.wav"));
    QDesktopServices::unsetUrlHandler("https");
}

void TestMainMenu::minimiseKeepsTheButtonLit() {
    moveTo(main, centreOf(main->Image8));
    clickAt(main, centreOf(main->Image8));
    QVERIFY(main->isMinimized());
    QCOMPARE(f->sounds.size(), 1);
    main->showForm();
    QCOMPARE(main->Image8->pictureSource(), QString("Graph\\lir.jpg"));
}

void TestMainMenu::disabledMainWindowIgnoresInput() {
    main->Image2_Click();
    settle();
    f->sounds.clear();
    moveTo(main, centreOf(main->Label1));
    clickAt(main, centreOf(main->Label1));
    clickAt(main, centreOf(main->Image1));
    QCOMPARE(main->Label1->foreColor(), quint32(0x008000));
    QVERIFY(main->isVisible());
    QVERIFY(!reader()->isVisible());
    QVERIFY(!exitBox()->isVisible());
    QVERIFY(f->sounds.isEmpty());
    // Disabled without greying: dialogs stay usable.
    QVERIFY(main->isEnabled());
    QVERIFY(help()->isEnabled());
}

void TestMainMenu::closeRequestsLeadBack() {
    main->Image1_Click();
    exitBox()->close();
    QVERIFY(!exitBox()->isVisible());
    QVERIFY(main->isFormEnabled());
    main->Image2_Click();
    help()->close();
    QVERIFY(!help()->isVisible());
    QVERIFY(main->isFormEnabled());
    main->Label2_Click();
    settle();
    reader()->close();
    QVERIFY(!reader()->isVisible());
    QVERIFY(main->isVisible());
    main->Label6_Click();
    cat()->close();
    QVERIFY(main->isVisible());
    QVERIFY(f->endings.isEmpty());
    main->close();
    QCOMPARE(f->endings, QList<int>{0});
}

void TestMainMenu::carousel() {
    const auto shown = [&] {
        QStringList s;
        for (core::Image* slot : main->photoSlots())
            s << slot->pictureSource().mid(4, 6);
        return s;
    };
    const QStringList start = shown();
    QCOMPARE(start, (QStringList{"sob133", "sob141", "sob191", "sob148", "sob167"}));
    quint8& tick = f->program()->values().CarouselTick;
    for (int i = 0; i < 9; ++i)
        main->Timer1_Timer();
    QCOMPARE(tick, quint8(9));
    main->Timer1_Timer();
    QCOMPARE(tick, quint8(10));
    QCOMPARE(shown(), start);
    // The photos leave disk: the carousel keeps showing them.
    for (const QString& p : core::content::CarouselPhotos)
        f->remove(p);
    for (int i = 0; i < 10; ++i)
        main->Timer1_Timer();
    QCOMPARE(shown(), (QStringList{"sob141", "sob191", "sob148", "sob167", "sob133"}));
    for (int i = 0; i < 30; ++i)
        main->Timer1_Timer();
    QCOMPARE(tick, quint8(0));
    QCOMPARE(shown(), (QStringList{"sob167", "sob133", "sob141", "sob191", "sob148"}));
    main->Timer1_Timer();
    QCOMPARE(tick, quint8(1));
    for (int i = 0; i < 300; ++i)
        main->Timer1_Timer();
    QCOMPARE(tick, quint8(301 % 50));
    QVERIFY(f->failures.isEmpty());
    // It goes on while the window is hidden.
    main->hideForm();
    for (int i = 0; i < 50; ++i)
        main->Timer1_Timer();
    QCOMPARE(tick, quint8(301 % 50));
}

void TestMainMenu::walkEveryWindow() {
    f->writeText("text\\FOLDOG.ssu",
                 "\"Лайка\",\"Северная "
                 "собака.\",\"sob001.jpg\"\r\n\"Такса\",\"Длинная.\",\"sob002.jpg\"\r\n");
    saveScreenshot(main, "walk_main");
    main->Label1_Click();
    settle();
    saveScreenshot(reader(), "walk_reader");
    QTest::mouseClick(reader()->Image2, Qt::LeftButton);
    main->Label6_Click();
    settle();
    saveScreenshot(cat(), "walk_catalogue");
    QTest::mouseClick(cat()->Image2, Qt::LeftButton);
    main->Image2_Click();
    settle();
    saveScreenshot(help(), "walk_help");
    QTest::mouseClick(help()->Image20, Qt::LeftButton);
    main->Image1_Click();
    saveScreenshot(main, "walk_main_dimmed");
    saveScreenshot(exitBox(), "walk_exit");
    QTest::mouseClick(exitBox()->Label3, Qt::LeftButton);
    QVERIFY(main->isVisible());
    QVERIFY(main->isFormEnabled());
    QVERIFY(f->failures.isEmpty());
}

PSOGRAF_TEST_MAIN(TestMainMenu)
#include "test_main_menu.moc"
