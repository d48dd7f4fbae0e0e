// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's menu, exit confirmation, help window and carousel, driven the way a
// user drives them; and the design's tables for every window: what each control looks
// like under the pointer and after a move over the bare surface, and the sound of each
// action, by name.
#include "catalogue/form1.h"
#include "core/night.h"
#include "core/zoom.h"
#include "dialogs/form3.h"
#include "dialogs/form5.h"
#include "main_window/form2.h"
#include "search_window/searchwindow.h"
#include "tests/fixture.h"
#include "topics/form4.h"

#include <QDesktopServices>
#include <QMenu>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>
#include <QWindow>
#include <functional>
#include <sys/stat.h>

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

// Opens a window the way the main menu does and gives it.
using Opening = std::function<core::FormBase*(Program*)>;
const Opening Menu = [](Program* p) -> core::FormBase* { return p->Form2(); };
const Opening Reader = [](Program* p) -> core::FormBase* {
    p->Form2()->Label1_Click();
    return p->Form4();
};
const Opening Catalogue = [](Program* p) -> core::FormBase* {
    p->Form2()->Label6_Click();
    return p->Form1();
};
const Opening Help = [](Program* p) -> core::FormBase* {
    p->Form2()->Image2_Click();
    return p->Form5();
};
const Opening ExitQuestion = [](Program* p) -> core::FormBase* {
    p->Form2()->Image1_Click();
    return p->Form3();
};

// What the user sees change on a control: a picture's file, a caption's colour and size.
QString look(QWidget* control) {
    if (auto* image = qobject_cast<core::Image*>(control)) return image->pictureSource();
    auto* label = qobject_cast<core::Label*>(control);
    return QString("0x%1, %2 pt")
        .arg(QString::number(label->foreColor(), 16).toUpper().rightJustified(6, u'0'))
        .arg(label->fontSize());
}

// The zoom's keys and wheel, as the window in front gets them.
void zoomInput(QWidget* window, const QString& input) {
    QWidget* to = window->focusWidget() ? window->focusWidget() : window;
    const auto wheel = [&](int delta) {
        QWheelEvent event(QPointF(5, 5), to->mapToGlobal(QPointF(5, 5)), {}, {0, delta},
                          Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(to, &event);
    };
    if (input == "Ctrl+=")
        QTest::keyClick(to, Qt::Key_Equal, Qt::ControlModifier);
    else if (input == "Ctrl++")
        QTest::keyClick(to, Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier);
    else if (input == "Ctrl+keypad +")
        QTest::keyClick(to, Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
    else if (input == "Ctrl+-")
        QTest::keyClick(to, Qt::Key_Minus, Qt::ControlModifier);
    else if (input == "Ctrl+0")
        QTest::keyClick(to, Qt::Key_0, Qt::ControlModifier);
    else if (input == "Ctrl+wheel up")
        wheel(120);
    else if (input == "Ctrl+half wheel up") // a touchpad's smaller turns add up
        wheel(60);
    else if (input == "Ctrl+wheel down")
        wheel(-120);
    else
        QFAIL(qPrintable("no such input: " + input));
}

// Where the first and the second line shown in a text box begin.
std::pair<int, int> topLines(const QPlainTextEdit* text) {
    const int line = text->fontMetrics().lineSpacing();
    const int top = int(text->document()->documentMargin()) + line / 2;
    return {text->cursorForPosition(QPoint(0, top)).position(),
            text->cursorForPosition(QPoint(0, top + line)).position()};
}

QString settingsText() {
    QFile file(core::zoom::settingsFile());
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).simplified()
                                          : QString("none");
}
} // namespace

class TestMainMenu : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void sectionsOpenTheReader_data();
    void sectionsOpenTheReader();
    void sameSectionTwiceAndCatalogueAfterASection();
    void pointerOverEachControl_data();
    void pointerOverEachControl();
    void soundOfEachAction_data();
    void soundOfEachAction();
    void litItemsStayLitUntilTheSurface();
    void exitThenNo();
    void exitThenYes();
    void helpWindow();
    void minimiseKeepsTheButtonLit();
    void disabledMainWindowIgnoresInput_data();
    void disabledMainWindowIgnoresInput();
    void closeRequestsLeadBack();
    void carousel_data();
    void carousel();
    void walkEveryWindow();
    void zoomSteps_data();
    void zoomSteps();
    void rememberedZoom_data();
    void rememberedZoom();
    void nightContrast_data();
    void nightContrast();
    void nightKeepsWhatIsShown_data();
    void nightKeepsWhatIsShown();
    void nightFollowsTheDesktopUntilChosen_data();
    void nightFollowsTheDesktopUntilChosen();

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
    // The zoom is the program's for the whole run: back to 100 % for the next test.
    QFile::remove(core::zoom::settingsFile());
    core::zoom::startAtRemembered();
    core::night::startAtRemembered();
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

void TestMainMenu::pointerOverEachControl_data() {
    QTest::addColumn<Opening>("open");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QPoint>("bare"); // a point of the bare surface (on the rule under the title)
    QTest::addColumn<QString>("normal");
    QTest::addColumn<QString>("lit");
    QTest::addColumn<bool>("night");
    // Each row by day and at night, where a lit caption must still look other than the
    // normal one.
    for (const bool night : {false, true}) {
        const QPoint menu(400, 56), reader(300, 40), cat(300, 32), help(400, 40), exit(100, 32);
        for (const char* item : {"Label1", "Label2", "Label3", "Label4", "Label5", "Label6"})
            QTest::addRow("main %s%s", item, night ? " at night" : "")
                << Menu << item << menu << "0x008000, 12 pt"
                << "0x00C000, 16 pt" << night;
        QTest::addRow("main Image1, exit%s", night ? " at night" : "")
            << Menu << "Image1" << menu << "Graph\\CLNO.jpg"
            << "Graph\\CLAK.jpg" << night;
        QTest::addRow("main Image2, help%s", night ? " at night" : "")
            << Menu << "Image2" << menu << "Graph\\qesno.jpg"
            << "Graph\\qesakt.jpg" << night;
        QTest::addRow("main Image8, minimise%s", night ? " at night" : "")
            << Menu << "Image8" << menu << "Graph\\lis.jpg"
            << "Graph\\lir.jpg" << night;
        QTest::addRow("main Label7, title%s", night ? " at night" : "")
            << Menu << "Label7" << menu << "0xFF0000, 12 pt"
            << "0xFF0000, 12 pt" << night;
        QTest::addRow("main Image5, a photo%s", night ? " at night" : "")
            << Menu << "Image5" << menu << "dog\\sob191.jpg"
            << "dog\\sob191.jpg" << night;
        QTest::addRow("reader Image2, back%s", night ? " at night" : "")
            << Reader << "Image2" << reader << "Graph\\ARNOAK.jpg"
            << "Graph\\ARAK.jpg" << night;
        QTest::addRow("reader Label1(0), prompt%s", night ? " at night" : "")
            << Reader << "Label1(0)" << reader << "0x004000, 8.25 pt"
            << "0x004000, 8.25 pt" << night;
        QTest::addRow("catalogue Image2, back%s", night ? " at night" : "")
            << Catalogue << "Image2" << cat << "Graph\\ARNOAK.jpg"
            << "Graph\\ARAK.jpg" << night;
        QTest::addRow("catalogue Image1, photo%s", night ? " at night" : "")
            << Catalogue << "Image1" << cat << "dog\\sob001.jpg"
            << "dog\\sob001.jpg" << night;
        QTest::addRow("help Image20, back%s", night ? " at night" : "")
            << Help << "Image20" << help << "Graph\\ARNOAK.jpg"
            << "Graph\\ARNOAK.jpg" << night;
        QTest::addRow("exit Label2, ДА%s", night ? " at night" : "")
            << ExitQuestion << "Label2" << exit << "0x008000, 8 pt"
            << "0x00C000, 12 pt" << night;
        QTest::addRow("exit Label3, НЕТ%s", night ? " at night" : "")
            << ExitQuestion << "Label3" << exit << "0x008000, 8 pt"
            << "0x00C000, 12 pt" << night;
        QTest::addRow("exit Label1, question%s", night ? " at night" : "")
            << ExitQuestion << "Label1" << exit << "0x008000, 9.75 pt"
            << "0x008000, 9.75 pt" << night;
    }
}

// Over the bare surface, over the control, over the surface again.
void TestMainMenu::pointerOverEachControl() {
    QFETCH(Opening, open);
    QFETCH(QString, control);
    QFETCH(QPoint, bare);
    QFETCH(QString, normal);
    QFETCH(QString, lit);
    QFETCH(bool, night);
    if (night) QTest::keyClick(main, Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(core::night::isOn(), night);
    core::FormBase* form = open(f->program());
    settle();
    QWidget* target = form->surface()->findChild<QWidget*>(control);
    QVERIFY(target);
    QCOMPARE(form->surface()->childAt(bare), nullptr);
    // Hover reads no file: the pictures are gone from the disk and still shown.
    for (const QString& p : StartupPictures)
        f->remove(p);
    moveTo(form, bare + QPoint(1, 0)); // a move: the last row may have left the pointer at bare
    moveTo(form, bare);
    QCOMPARE(look(target), normal);
    const QImage normalPixels = shownPart(form, target);
    moveTo(form, centreOf(target));
    QCOMPARE(look(target), lit);
    // A lit caption stands out at night too (the real lit pictures: TestSmoke).
    if (night && lit != normal && qobject_cast<core::Label*>(target))
        QVERIFY(shownPart(form, target) != normalPixels);
    moveTo(form, bare);
    QCOMPARE(look(target), normal);
    QVERIFY(f->failures.isEmpty());
}

void TestMainMenu::soundOfEachAction_data() {
    QTest::addColumn<Opening>("open");
    QTest::addColumn<QString>("control"); // clicked; a list's first entry chosen
    QTest::addColumn<QStringList>("heard");
    const QStringList check{"\\Sound\\check.wav"}, select{"\\Sound\\select.wav"},
        stat{"\\Sound\\stat.wav"}, silence;
    for (const char* item : {"Label1", "Label2", "Label3", "Label4", "Label5", "Label6"})
        QTest::addRow("main %s", item) << Menu << item << check;
    QTest::newRow("main Image1, exit") << Menu << "Image1" << check;
    QTest::newRow("main Image2, help") << Menu << "Image2" << check;
    QTest::newRow("main Image8, minimise") << Menu << "Image8" << check;
    QTest::newRow("main Label7, title") << Menu << "Label7" << silence;
    QTest::newRow("main Image3, a photo") << Menu << "Image3" << silence;
    QTest::newRow("reader List1, a topic") << Reader << "List1" << stat;
    QTest::newRow("reader Image2, back") << Reader << "Image2" << select;
    QTest::newRow("catalogue List1, a breed") << Catalogue << "List1" << stat;
    QTest::newRow("catalogue Image2, back") << Catalogue << "Image2" << select;
    QTest::newRow("help Image20, back") << Help << "Image20" << select;
    QTest::newRow("help Image2, web site") << Help << "Image2" << silence;
    QTest::newRow("exit Label3, НЕТ") << ExitQuestion << "Label3" << silence;
    QTest::newRow("exit Label2, ДА") << ExitQuestion << "Label2" << silence;
}

void TestMainMenu::soundOfEachAction() {
    QFETCH(Opening, open);
    QFETCH(QString, control);
    QFETCH(QStringList, heard);
    UrlRecorder urls;
    QDesktopServices::setUrlHandler("https", &urls, "open");
    const auto unset = qScopeGuard([] { QDesktopServices::unsetUrlHandler("https"); });
    core::FormBase* form = open(f->program());
    settle();
    f->sounds.clear();
    QWidget* target = form->surface()->findChild<QWidget*>(control);
    if (auto* list = qobject_cast<QListWidget*>(target))
        clickEntry(list, 0);
    else
        clickAt(form, centreOf(target));
    settle();
    QStringList sounds; // as the program directory is followed by them
    for (const QString& full : f->sounds)
        sounds << full.mid(QCoreApplication::applicationDirPath().size());
    QCOMPARE(sounds, heard);
}

void TestMainMenu::litItemsStayLitUntilTheSurface() {
    moveTo(main, centreOf(main->Label3));
    moveTo(main, centreOf(main->Label4)); // straight to the next item: both lit
    moveTo(main, centreOf(main->Image1));
    moveTo(main, centreOf(main->Image5)); // a photo neither lights nor resets
    moveTo(main, centreOf(main->Label7)); // nor does the title
    QCOMPARE(look(main->Label3), QString("0x00C000, 16 pt"));
    QCOMPARE(look(main->Label4), QString("0x00C000, 16 pt"));
    QCOMPARE(main->Label4->font().pixelSize(), 21);
    QCOMPARE(look(main->Image1), QString("Graph\\CLAK.jpg"));
    moveTo(main, QPoint(300, 300));
    for (core::Label* l :
         {main->Label1, main->Label2, main->Label3, main->Label4, main->Label5, main->Label6})
        QCOMPARE(look(l), QString("0x008000, 12 pt"));
    QCOMPARE(look(main->Image1), QString("Graph\\CLNO.jpg"));
}

void TestMainMenu::exitThenNo() {
    moveTo(main, centreOf(main->Image1));
    clickAt(main, centreOf(main->Image1));
    QVERIFY(exitBox()->isVisible());
    QVERIFY(main->isVisible());
    QVERIFY(!main->isFormEnabled());
    QCOMPARE(main->pictureSource(), QString("Graph\\fonno.jpg"));
    saveScreenshot(exitBox(), "exit_confirmation");

    moveTo(exitBox(), centreOf(exitBox()->Label2));
    moveTo(exitBox(), centreOf(exitBox()->Label3)); // straight on: both lit
    QCOMPARE(look(exitBox()->Label2), QString("0x00C000, 12 pt"));
    clickAt(exitBox(), centreOf(exitBox()->Label3));
    QVERIFY(!exitBox()->isVisible());
    QVERIFY(main->isFormEnabled());
    QCOMPARE(main->pictureSource(), QString("Graph\\fon.jpg"));
    QCOMPARE(main->Image1->pictureSource(), QString("Graph\\CLAK.jpg"));
    QVERIFY(f->endings.isEmpty());

    // Opened again, "НЕТ" is still lit until the pointer crosses the surface.
    main->Image1_Click();
    QCOMPARE(look(exitBox()->Label3), QString("0x00C000, 12 pt"));
}

void TestMainMenu::exitThenYes() {
    main->Image1_Click();
    clickAt(exitBox(), centreOf(exitBox()->Label2));
    QCOMPARE(f->endings, QList<int>{0});
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
    clickAt(help(), centreOf(help()->Image20));
    QVERIFY(!help()->isVisible());
    QVERIFY(main->isVisible());
    QVERIFY(main->isFormEnabled());
    QDesktopServices::unsetUrlHandler("https");
}

void TestMainMenu::minimiseKeepsTheButtonLit() {
    moveTo(main, centreOf(main->Image8));
    clickAt(main, centreOf(main->Image8));
    QVERIFY(main->isMinimized());
    main->showForm();
    QCOMPARE(main->Image8->pictureSource(), QString("Graph\\lir.jpg"));
}

void TestMainMenu::disabledMainWindowIgnoresInput_data() {
    QTest::addColumn<bool>("exitQuestion"); // opened by the exit button, else by help's
    QTest::newRow("help") << false;
    QTest::newRow("exit question") << true;
}

void TestMainMenu::disabledMainWindowIgnoresInput() {
    QFETCH(bool, exitQuestion);
    QWidget* dialog = exitQuestion ? static_cast<QWidget*>(exitBox()) : help();
    exitQuestion ? main->Image1_Click() : main->Image2_Click();
    settle();
    QTRY_COMPARE(QApplication::activeWindow(), dialog);
    f->sounds.clear();
    moveTo(main, centreOf(main->Label1));
    clickAt(main, centreOf(main->Label1));
    clickAt(main, centreOf(main->Image1));
    clickAt(main, centreOf(main->Image2));
    QCOMPARE(main->Label1->foreColor(), quint32(0x008000));
    QVERIFY(main->isVisible());
    QVERIFY(!reader()->isVisible());
    QCOMPARE(exitBox()->isVisible(), exitQuestion);
    QCOMPARE(help()->isVisible(), !exitQuestion);
    QVERIFY(f->sounds.isEmpty());
    // Disabled without greying: dialogs stay usable.
    QVERIFY(main->isEnabled());
    QVERIFY(dialog->isEnabled());
    // A click that makes the main window active hands the keyboard back to the dialog.
    main->activateWindow();
    QCoreApplication::processEvents();
    QTRY_COMPARE(QApplication::activeWindow(), dialog);
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

void TestMainMenu::carousel_data() {
    QTest::addColumn<int>("tick");
    QTest::addColumn<QStringList>("before"); // Image3 to Image7, the arrangement before
    QTest::addColumn<QStringList>("after");  // the one this tick applies
    QTest::addColumn<int>("counter");        // CarouselTick then
    const QStringList at10{"dog\\sob133.jpg", "dog\\sob141.jpg", "dog\\sob191.jpg",
                           "dog\\sob148.jpg", "dog\\sob167.jpg"};
    const QStringList at20{"dog\\sob141.jpg", "dog\\sob191.jpg", "dog\\sob148.jpg",
                           "dog\\sob167.jpg", "dog\\sob133.jpg"};
    const QStringList at30{"dog\\sob191.jpg", "dog\\sob148.jpg", "dog\\sob167.jpg",
                           "dog\\sob133.jpg", "dog\\sob141.jpg"};
    const QStringList at40{"dog\\sob148.jpg", "dog\\sob167.jpg", "dog\\sob133.jpg",
                           "dog\\sob141.jpg", "dog\\sob191.jpg"};
    const QStringList at50{"dog\\sob167.jpg", "dog\\sob133.jpg", "dog\\sob141.jpg",
                           "dog\\sob191.jpg", "dog\\sob148.jpg"};
    // Start-up places the arrangement at 10, so its tick changes nothing.
    QTest::newRow("10") << 10 << at10 << at10 << 10;
    QTest::newRow("20") << 20 << at10 << at20 << 20;
    QTest::newRow("30") << 30 << at20 << at30 << 30;
    QTest::newRow("40") << 40 << at30 << at40 << 40;
    QTest::newRow("50") << 50 << at40 << at50 << 0;
    QTest::newRow("60, the next cycle") << 60 << at50 << at10 << 10;
    QTest::newRow("310, six cycles on") << 310 << at50 << at10 << 10;
}

// The ticks up to this one, then this one; they go on while the window is hidden, and
// the photos, once read, are shown though their files are gone.
void TestMainMenu::carousel() {
    QFETCH(int, tick);
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);
    QFETCH(int, counter);
    const auto shown = [&] {
        QStringList s;
        for (core::Image* slot : main->photoSlots())
            s << slot->pictureSource();
        return s;
    };
    main->hideForm();
    for (const char* photo : {"dog\\sob133.jpg", "dog\\sob141.jpg", "dog\\sob148.jpg",
                              "dog\\sob167.jpg", "dog\\sob191.jpg"})
        f->remove(photo);
    for (int i = 1; i < tick; ++i)
        main->Timer1_Timer();
    QCOMPARE(shown(), before);
    main->Timer1_Timer();
    QCOMPARE(shown(), after);
    QCOMPARE(int(f->program()->values().CarouselTick), counter);
    QVERIFY(f->failures.isEmpty());
}

// Every window once, with what it shows checked where the screenshot is taken.
void TestMainMenu::walkEveryWindow() {
    saveScreenshot(main, "walk_main");
    main->Label1_Click();
    settle();
    saveScreenshot(reader(), "walk_reader");
    QCOMPARE(entries(reader()->List1), QStringList{"Тема HCD"});
    QCOMPARE(reader()->Label1_1->text(), QString("Тема HCD"));
    QCOMPARE(reader()->Text1->toPlainText(), QString("     Текст.\n     "));
    QTest::mouseClick(reader()->Image2, Qt::LeftButton);
    main->Label6_Click();
    settle();
    saveScreenshot(cat(), "walk_catalogue");
    QCOMPARE(entries(cat()->List1), QStringList{"Лайка"});
    QCOMPARE(cat()->Label1->text(), QString("Лайка"));
    QCOMPARE(cat()->Text1->toPlainText(), QString("Северная собака."));
    QCOMPARE(cat()->Image1->pictureSource(), QString("dog\\sob001.jpg"));
    QTest::mouseClick(cat()->Image2, Qt::LeftButton);
    main->Image2_Click();
    settle();
    saveScreenshot(help(), "walk_help");
    QVERIFY(help()->isVisible());
    QTest::mouseClick(help()->Image20, Qt::LeftButton);
    main->Image1_Click();
    saveScreenshot(main, "walk_main_dimmed");
    saveScreenshot(exitBox(), "walk_exit");
    QCOMPARE(main->pictureSource(), QString("Graph\\fonno.jpg"));
    QVERIFY(exitBox()->isVisible());
    QTest::mouseClick(exitBox()->Label3, Qt::LeftButton);
    QVERIFY(main->isVisible());
    QVERIFY(main->isFormEnabled());
    QVERIFY(f->failures.isEmpty());
}

void TestMainMenu::zoomSteps_data() {
    QTest::addColumn<QStringList>("inputs");
    QTest::addColumn<int>("percent");
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QRect>("item");     // Label2
    QTest::addColumn<int>("itemFont");   // 12 points
    QTest::addColumn<int>("windowFont"); // 8.25 points
    QTest::addColumn<QRect>("photo");    // Image5
    QTest::addColumn<int>("rule");       // Line1(6), 10 pixels wide
    QTest::addColumn<QString>("settings");

    const QSize w100(624, 474), w125(780, 592), w150(937, 712), w175(1093, 830), w200(1248, 948);
    const QRect i100(192, 72, 241, 25), i125(240, 90, 301, 31), i150(288, 108, 362, 38),
        i175(336, 126, 422, 44), i200(384, 144, 482, 50);
    const QRect p100(8, 288, 233, 177), p125(10, 360, 291, 221), p150(12, 432, 350, 266),
        p175(14, 504, 408, 310), p200(16, 576, 466, 354);
    const QStringList fourUp{"Ctrl+=", "Ctrl+=", "Ctrl+=", "Ctrl+="};

    QTest::newRow("never touched")
        << QStringList() << 100 << w100 << i100 << 16 << 11 << p100 << 10 << "none";
    QTest::newRow("125 Ctrl+=") << QStringList{"Ctrl+="} << 125 << w125 << i125 << 20 << 14 << p125
                                << 13 << "[General] zoom=125";
    QTest::newRow("150 Ctrl++") << QStringList{"Ctrl++", "Ctrl++"} << 150 << w150 << i150 << 24
                                << 17 << p150 << 15 << "[General] zoom=150";
    QTest::newRow("175 keypad plus")
        << QStringList{"Ctrl+keypad +", "Ctrl+keypad +", "Ctrl+keypad +"} << 175 << w175 << i175
        << 28 << 19 << p175 << 18 << "[General] zoom=175";
    QTest::newRow("200 Ctrl and the wheel")
        << QStringList{"Ctrl+wheel up", "Ctrl+half wheel up", "Ctrl+half wheel up", "Ctrl+wheel up",
                       "Ctrl+wheel up"}
        << 200 << w200 << i200 << 32 << 22 << p200 << 20 << "[General] zoom=200";
    // The file is written only when the zoom changes: one step past the end writes nothing.
    QTest::newRow("no step past 200") << fourUp + QStringList{"forget", "Ctrl+="} << 200 << w200
                                      << i200 << 32 << 22 << p200 << 20 << "none";
    QTest::newRow("no step below 100") << QStringList{"Ctrl+-", "Ctrl+wheel down"} << 100 << w100
                                       << i100 << 16 << 11 << p100 << 10 << "none";
    QTest::newRow("Ctrl+- from 200")
        << fourUp + QStringList{"Ctrl+-", "Ctrl+wheel down"} << 150 << w150 << i150 << 24 << 17
        << p150 << 15 << "[General] zoom=150";
    QTest::newRow("Ctrl+0 from 175")
        << QStringList{"Ctrl+=", "Ctrl+=", "Ctrl+=", "Ctrl+0"} << 100 << w100 << i100 << 16 << 11
        << p100 << 10 << "[General] zoom=100";
}

void TestMainMenu::zoomSteps() {
    QFETCH(QStringList, inputs);
    QFETCH(int, percent);
    QFETCH(QSize, window);
    QFETCH(QRect, item);
    QFETCH(int, itemFont);
    QFETCH(int, windowFont);
    QFETCH(QRect, photo);
    QFETCH(int, rule);
    QFETCH(QString, settings);

    // Sixty breeds with long descriptions, a doubled photo, and the catalogue open on a
    // breed further down, its list and description scrolled.
    QString catalogue;
    for (int i = 0; i < 60; ++i)
        catalogue += QString("\"Порода %1\",\"%2\",\"sob001.jpg\"\r\n")
                         .arg(i, 2, 10, QChar('0'))
                         .arg(QString("Описание породы, довольно длинное. ").repeated(40));
    f->writeText("text\\FOLDOG.ssu", catalogue);
    f->writePicture("dog\\sob191@2x.jpg", {240, 180}); // in Image5
    f->stop();
    QVERIFY(f->start());
    main = f->program()->Form2();
    main->Label6_Click();
    settle();
    clickEntry(cat()->List1, 40);
    cat()->List1->verticalScrollBar()->setValue(30);
    cat()->Text1->verticalScrollBar()->setValue(12);
    const QModelIndex top = cat()->List1->indexAt(QPoint(1, 1));
    const int textTop = topLines(cat()->Text1).first;
    QVERIFY(top.row() > 0 && textTop > 0);

    for (const QString& input : inputs)
        if (input == "forget")
            QFile::remove(core::zoom::settingsFile());
        else
            zoomInput(cat(), input);
    settle();

    QCOMPARE(core::zoom::percent(), percent);
    // Every window at once: the main window, hidden behind the catalogue, at the zoom.
    QCOMPARE(main->size(), window);
    QCOMPARE(main->Label2->geometry(), item);
    QCOMPARE(main->Label2->font().pixelSize(), itemFont);
    QCOMPARE(main->font().pixelSize(), windowFont);
    QCOMPARE(main->Image5->geometry(), photo);
    QCOMPARE(main->Image5->pixmap().devicePixelRatio(), percent > 100 ? 2.0 : 1.0);
    QCOMPARE(main->surface()->findChild<QWidget*>("Line1(6)")->height(), rule);
    // The catalogue stays open, centred, on the same breed and what it showed at the top.
    QVERIFY(cat()->isVisible());
    QVERIFY(!main->isVisible());
    QCOMPARE(cat()->geometry().center(), QGuiApplication::primaryScreen()->geometry().center());
    QCOMPARE(cat()->List1->currentRow(), 40);
    QCOMPARE(cat()->List1->selectedText(), QString("Порода 40"));
    QCOMPARE(cat()->List1->indexAt(QPoint(1, 1)), top);
    // The text wraps anew; the line on top holds what began the top line before.
    const auto [first, second] = topLines(cat()->Text1);
    QVERIFY2(first <= textTop && textTop < second,
             qPrintable(QString("%1 on top, %2 next, was %3").arg(first).arg(second).arg(textTop)));
    QCOMPARE(settingsText(), settings);
    QVERIFY(f->failures.isEmpty());
    if (percent == 200) {
        cat()->Image2_Click();
        saveScreenshot(main, "zoom_200_main");
    }
}

void TestMainMenu::rememberedZoom_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<int>("percent");
    QTest::addColumn<QString>("afterStep");

    QTest::newRow("missing") << "missing" << QByteArray() << 100 << "[General] zoom=125";
    QTest::newRow("150") << "file" << QByteArray("[General]\nzoom=150\n") << 150
                         << "[General] zoom=175";
    QTest::newRow("200 among other lines")
        << "file" << QByteArray("[General]\nzoom=200\n\n[other]\nx=1\n") << 200
        << "[General] zoom=200 [other] x=1";
    QTest::newRow("not a step") << "file" << QByteArray("[General]\nzoom=151\n") << 100
                                << "[General] zoom=125";
    QTest::newRow("not a number") << "file" << QByteArray("[General]\nzoom=1e2\n") << 100
                                  << "[General] zoom=125";
    QTest::newRow("empty") << "file" << QByteArray() << 100 << "[General] zoom=125";
    QTest::newRow("comments kept") << "file" << QByteArray("; mine\n[General]\nzoom=150\n") << 150
                                   << "; mine [General] zoom=175";
    // A file that cannot be read is not this program's to replace.
    QTest::newRow("binary") << "file" << QByteArray("\x00\xff\x9c[\x01zoom\x00=150", 14) << 100
                            << "unchanged";
    QTest::newRow("too large") << "file"
                               << "[General]\nzoom=150\n" + QByteArray(100000, '#') << 100
                               << "unchanged";
    // A stray lock beside it is not waited on.
    QTest::newRow("stray lock pipe")
        << "lock pipe" << QByteArray("[General]\nzoom=150\n") << 150 << "[General] zoom=175";
    QTest::newRow("a directory") << "directory" << QByteArray() << 100 << "directory";
    QTest::newRow("a pipe") << "pipe" << QByteArray() << 100 << "pipe";
}

void TestMainMenu::rememberedZoom() {
    QFETCH(QString, kind);
    QFETCH(QByteArray, contents);
    QFETCH(int, percent);
    QFETCH(QString, afterStep);

    f->stop();
    const QString path = core::zoom::settingsFile();
    QVERIFY(path.startsWith(QDir::tempPath())); // never the user's own
    QDir().mkpath(QFileInfo(path).path());
    if (kind == "file") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
    } else if (kind == "directory") {
        QVERIFY(QDir().mkpath(path));
    } else if (kind == "pipe") {
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (kind == "lock pipe") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
        QCOMPARE(mkfifo(QFile::encodeName(path + ".lock").constData(), 0600), 0);
    }
    // As start-up does: the zoom before the pictures are read and the windows made.
    core::zoom::startAtRemembered();
    QVERIFY(f->start());
    main = f->program()->Form2();
    QCOMPARE(core::zoom::percent(), percent);
    QCOMPARE(main->width(), percent == 100 ? 624 : percent == 150 ? 937 : 1248);

    zoomInput(main, "Ctrl+=");
    const QFileInfo info(path);
    if (kind == "directory")
        QVERIFY(info.isDir());
    else if (kind == "pipe")
        QVERIFY(!info.isFile() && info.exists());
    else if (afterStep == "unchanged") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), contents);
    } else {
        QCOMPARE(settingsText(), afterStep);
    }
    QVERIFY(f->failures.isEmpty());
    QFile::remove(path + ".lock");
    QFile::remove(path);
    QDir().rmdir(path);
}

namespace {
core::FormBase* openForNight(Program* p, const QString& window) {
    Form2* main = p->Form2();
    if (window == "main") return main;
    if (window == "reader") return Reader(p);
    if (window == "catalogue") {
        main->Label6_Click();
        settle();
        // The second breed chosen: the others are entries drawn as text.
        clickEntry(p->Form1()->List1, 1);
        return p->Form1();
    }
    if (window == "help") return Help(p);
    if (window == "exit") return ExitQuestion(p);
    QTest::keyClick(main, Qt::Key_F, Qt::ControlModifier);
    search::SearchWindow* w = p->searchWindow();
    QSignalSpy shown(w, &search::SearchWindow::answerShown);
    for (const QChar c : QString("текст"))
        QTest::sendKeyEvent(QTest::Click, w->Text1, Qt::Key_unknown, QString(c), Qt::NoModifier);
    if (!shown.count()) shown.wait(10000);
    return w;
}
} // namespace

void TestMainMenu::nightContrast_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("percent");
    // Each control's text: the least contrast at night (7:1 for reading text, 4.5:1 for
    // captions, entries and fields), and its text and background colour by day, exactly
    // the design's (over the background picture: the test's white).
    QTest::addColumn<QStringList>("parts");
    const QMap<QString, QStringList> windows{
        {"reader",
         {"Text1 7 #0000c0 #ffffdc", "List1 4.5 #004000 #ffffdc", "Label1(1) 4.5 #004000 #ffffff",
          "Label7 4.5 #0000ff #ffffff"}},
        {"catalogue",
         {"Text1 7 #004000 #ffffdc", "List1 4.5 #004000 #ffffdc", "Label1 4.5 #004000 #ffffff",
          "Label7 4.5 #0000ff #ffffff"}},
        {"search",
         {"Text2 7 #0000c0 #ffffdc", "Text1 4.5 #000000 #ffffff", "Label8 4.5 #004000 #ffffff"}},
        {"help",
         {"Label3(0) 7 #0000ff #ffffff", "Label1 4.5 #008000 #ffffff",
          "Text1 4.5 #0000ff #ffffc0"}},
        {"main", {"Label2 4.5 #008000 #ffffff", "Label7 4.5 #0000ff #ffffff"}},
        {"exit", {"Label1 4.5 #008000 #ffffff", "Label2 4.5 #008000 #ffffff"}},
    };
    for (const int percent : {100, 150})
        for (auto it = windows.begin(); it != windows.end(); ++it)
            QTest::addRow("%s %d %%", qPrintable(it.key()), percent)
                << it.key() << percent << it.value();
}

// The text as drawn on the screen, read from the window's pixels by day and at night.
void TestMainMenu::nightContrast() {
    QFETCH(QString, window);
    QFETCH(int, percent);
    QFETCH(QStringList, parts);
    QString topics;
    for (const char* title : {"Первая", "Вторая", "Третья"})
        topics += QString("#%1\r\nТекст темы, в котором есть буквы и слова.\r\n#%1\r\n").arg(title);
    f->writeText("text\\HCD.ssu", topics);
    f->writeText("text\\FOLDOG.ssu", "\"Лайка\",\"Северная собака.\",\"sob001.jpg\"\r\n"
                                     "\"Борзая\",\"Быстрая собака, текст.\",\"sob001.jpg\"\r\n"
                                     "\"Пудель\",\"Кудрявая собака.\",\"sob001.jpg\"\r\n");
    f->stop();
    QVERIFY(f->start());
    main = f->program()->Form2();
    while (core::zoom::percent() < percent)
        zoomInput(main, "Ctrl+=");
    core::FormBase* form = openForNight(f->program(), window);
    settle();
    QVERIFY(form->isVisible());
    for (const bool night : {false, true}) {
        if (night) {
            QWidget* to = form->focusWidget() ? form->focusWidget() : form;
            QTest::keyClick(to, Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
            settle();
            saveScreenshot(form, QString("test_night_%1_%2").arg(window).arg(percent));
        }
        QCOMPARE(core::night::isOn(), night);
        for (const QString& part : parts) {
            const QStringList p = part.split(' ');
            QWidget* control = form->surface()->findChild<QWidget*>(p[0]);
            QVERIFY2(control, qPrintable(p[0]));
            const Contrast c = measuredContrast(shownPart(form, control));
            const QString seen = QString("%1 %2: %3 on %4, %5:1")
                                     .arg(night ? "night" : "day", p[0], c.text.name(),
                                          c.back.name(), QString::number(c.ratio, 'f', 1));
            qInfo("%s", qPrintable(seen));
            if (night) {
                QVERIFY2(c.ratio >= p[1].toDouble(), qPrintable(seen));
            } else {
                // The design's colours: the background exactly, the text in the cores of its
                // glyphs (a small font's thin strokes come within a few steps of it).
                QCOMPARE(c.back.name(), p[3]);
                const QImage shown = shownPart(form, control);
                const QColor design(p[2]);
                int nearest = 255;
                for (int y = 0; y < shown.height(); ++y)
                    for (int x = 0; x < shown.width(); ++x) {
                        const QColor px = shown.pixelColor(x, y);
                        nearest =
                            std::min(nearest, std::max({std::abs(px.red() - design.red()),
                                                        std::abs(px.green() - design.green()),
                                                        std::abs(px.blue() - design.blue())}));
                    }
                QVERIFY2(nearest <= 24,
                         qPrintable(seen + QString(", %1 from the design").arg(nearest)));
            }
        }
    }
    QVERIFY(f->failures.isEmpty());
}

void TestMainMenu::nightKeepsWhatIsShown_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("percent");
    QTest::newRow("the key in the catalogue") << "key" << 100;
    QTest::newRow("the key at 150 %") << "key" << 150;
    QTest::newRow("the key at 200 %") << "key" << 200;
    QTest::newRow("the main menu's entry") << "menu" << 125;
}

// Every window switches at once and keeps what it shows; by day again every pixel is as
// it was.
void TestMainMenu::nightKeepsWhatIsShown() {
    QFETCH(QString, input);
    QFETCH(int, percent);
    QString catalogue;
    for (int i = 0; i < 60; ++i)
        catalogue += QString("\"Порода %1\",\"%2\",\"sob001.jpg\"\r\n")
                         .arg(i, 2, 10, QChar('0'))
                         .arg(QString("Описание породы, довольно длинное. ").repeated(40));
    f->writeText("text\\FOLDOG.ssu", catalogue);
    f->stop();
    QVERIFY(f->start());
    main = f->program()->Form2();
    while (core::zoom::percent() < percent)
        zoomInput(main, "Ctrl+=");
    main->Label6_Click();
    settle();
    clickEntry(cat()->List1, 40);
    cat()->List1->verticalScrollBar()->setValue(30);
    cat()->Text1->verticalScrollBar()->setValue(12);
    const QModelIndex top = cat()->List1->indexAt(QPoint(1, 1));
    const int textTop = cat()->Text1->verticalScrollBar()->value();
    const QImage catalogueByDay = cat()->grab().toImage();
    const QImage mainByDay = main->grab().toImage();

    const auto toggle = [&] {
        if (input == "key") {
            QTest::keyClick(cat()->List1, Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
            return;
        }
        // The main window's right-click menu (the window hidden behind the catalogue), its
        // last entry, shown checked at night.
        QTimer::singleShot(0, [&] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                QAction* entry = menu->actions().constLast();
                QCOMPARE(entry->text(), QString("Ночной режим"));
                QVERIFY(entry->isCheckable());
                QCOMPARE(entry->isChecked(), core::night::isOn());
                entry->trigger();
                menu->close();
            }
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                                main->surface()->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(main->surface(), &event);
    };
    toggle();
    settle();
    QVERIFY(core::night::isOn());
    const QString zoomLine = percent == 100 ? QString() : QString(" zoom=%1").arg(percent);
    QCOMPARE(settingsText(), "[General] night=1" + zoomLine);
    // The catalogue, still open on the same breed, scrolled as it was.
    QVERIFY(cat()->isVisible());
    QCOMPARE(cat()->List1->selectedText(), QString("Порода 40"));
    QCOMPARE(cat()->List1->indexAt(QPoint(1, 1)), top);
    QCOMPARE(cat()->Text1->verticalScrollBar()->value(), textTop);
    QCOMPARE(core::zoom::percent(), percent);
    // Every window dark, the hidden main window too; the photos as they were.
    for (core::FormBase* form :
         std::initializer_list<core::FormBase*>{main, cat(), reader(), help(), exitBox()})
        QVERIFY2(form->palette().color(QPalette::Window).lightness() < 64,
                 qPrintable(form->objectName()));
    const QImage mainAtNight = main->grab().toImage();
    const QPoint bare = inWindow(main, QPoint(300, 10) * percent / 100);
    QVERIFY(mainAtNight.pixelColor(bare).lightness() < 32); // the white background, dark
    QCOMPARE(mainAtNight.pixelColor(main->Image5->geometry().center() + main->surface()->pos()),
             mainByDay.pixelColor(main->Image5->geometry().center() + main->surface()->pos()));
    saveScreenshot(cat(), QString("night_catalogue_kept_%1").arg(percent));

    toggle();
    settle();
    QVERIFY(!core::night::isOn());
    QCOMPARE(settingsText(), "[General] night=0" + zoomLine);
    // (A menu that was open leaves the catalogue's list without the keyboard's focus.)
    if (input == "key") QCOMPARE(cat()->grab().toImage(), catalogueByDay);
    QCOMPARE(main->grab().toImage(), mainByDay);
    QVERIFY(f->failures.isEmpty());
}

void TestMainMenu::nightFollowsTheDesktopUntilChosen_data() {
    QTest::addColumn<QByteArray>("settings"); // the file before start-up; "none": no file
    QTest::addColumn<bool>("atStart");
    QTest::addColumn<QList<int>>("desktop"); // the portal's answers, -1 none
    QTest::addColumn<QString>("chosen");     // "", "key": the reader's key after the first
    QTest::addColumn<bool>("atEnd");
    QTest::addColumn<QByteArray>("after"); // the file at the end; "none": no file
    QTest::newRow("never chosen, no portal")
        << QByteArray("none") << false << QList<int>{-1} << "" << false << QByteArray("none");
    QTest::newRow("never chosen, desktop dark")
        << QByteArray("none") << false << QList<int>{1} << "" << true << QByteArray("none");
    QTest::newRow("never chosen, desktop turns light")
        << QByteArray("[General]\nzoom=100\n") << false << QList<int>{1, 2} << "" << false
        << QByteArray("[General]\nzoom=100\n");
    QTest::newRow("day chosen before, desktop dark")
        << QByteArray("[General]\nnight=0\n") << false << QList<int>{1} << "" << false
        << QByteArray("[General]\nnight=0\n");
    QTest::newRow("night chosen before, desktop light")
        << QByteArray("[General]\nnight=1\n") << true << QList<int>{2, 0} << "" << true
        << QByteArray("[General]\nnight=1\n");
    QTest::newRow("the key after the desktop's dark, then its light")
        << QByteArray("none") << false << QList<int>{1, 2} << "key" << false
        << QByteArray("[General]\nnight=0\n");
    QTest::newRow("not a choice") << QByteArray("[General]\nnight=yes\n") << false << QList<int>{1}
                                  << "" << true << QByteArray("[General]\nnight=yes\n");
    // The choice is one line of the file: the rest, comments and all, stays as it was.
    QTest::newRow("the key keeps the file's other lines")
        << QByteArray("; mine\n[General]\nzoom=150\nnight = 1\n\n[other]\nnight=1\n") << true
        << QList<int>{2} << "key" << false
        << QByteArray("; mine\n[General]\nzoom=150\nnight=0\n\n[other]\nnight=1\n");
}

void TestMainMenu::nightFollowsTheDesktopUntilChosen() {
    QFETCH(QByteArray, settings);
    QFETCH(bool, atStart);
    QFETCH(QList<int>, desktop);
    QFETCH(QString, chosen);
    QFETCH(bool, atEnd);
    QFETCH(QByteArray, after);
    f->stop();
    const QString path = core::zoom::settingsFile();
    QFile::remove(path);
    if (settings != "none") {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(settings);
    }
    core::night::startAtRemembered();
    QVERIFY(f->start());
    main = f->program()->Form2();
    QCOMPARE(core::night::isOn(), atStart);
    core::PictureCache& pictures = f->program()->values().pictures;
    for (qsizetype i = 0; i < desktop.size(); ++i) {
        const int scheme = desktop[i];
        core::night::desktopAnswered(scheme < 0 ? std::nullopt : std::optional(uint(scheme)),
                                     pictures);
        if (i == 0 && chosen == "key")
            QTest::keyClick(main, Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
    }
    QCOMPARE(core::night::isOn(), atEnd);
    QCOMPARE(main->palette().color(QPalette::Window).lightness() < 64, atEnd);
    QFile file(path);
    QCOMPARE(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("none"), after);
    QVERIFY(f->failures.isEmpty());
}

PSOGRAF_TEST_MAIN(TestMainMenu)
#include "test_main_menu.moc"
