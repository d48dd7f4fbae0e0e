// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up and the window set: what stands on the screen when the main window opens, and
// what a missing start-up file does.
#include "catalogue/form1.h"
#include "core/messagebox.h"
#include "dialogs/form3.h"
#include "dialogs/form5.h"
#include "main_window/form2.h"
#include "tests/fixture.h"
#include "topics/form4.h"

#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QMessageBox>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>
#include <QWindow>

using core::FormBase;

namespace {
int indexOnSurface(QWidget* w) {
    return w->parentWidget()->children().indexOf(w);
}
QWidget* control(FormBase* form, const char* name) {
    return form->surface()->findChild<QWidget*>(name);
}
} // namespace

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void mainWindowOpensWithPhotosAndPictures();
    void otherWindowsComeAfterTheFirstPaint();
    void layoutOfEachWindow();
    void handlersReportFailuresAndKeepRunning();
    void failureReportInAMessageBox();
    void dialogsStandAboveTheMainWindow();
    void choosePlatform_data();
    void choosePlatform();
};

void TestStartup::mainWindowOpensWithPhotosAndPictures() {
    Fixture f;
    Program* p = f.start();
    QVERIFY(p);
    Form2* main = p->Form2();
    QCOMPARE(main->Image3->pictureSource(), QString("dog\\sob133.jpg"));
    QCOMPARE(main->Image4->pictureSource(), QString("dog\\sob141.jpg"));
    QCOMPARE(main->Image5->pictureSource(), QString("dog\\sob191.jpg"));
    QCOMPARE(main->Image6->pictureSource(), QString("dog\\sob148.jpg"));
    QCOMPARE(main->Image7->pictureSource(), QString("dog\\sob167.jpg"));
    QCOMPARE(main->Image1->pictureSource(), QString("Graph\\CLNO.jpg"));
    QCOMPARE(main->Image2->pictureSource(), QString("Graph\\qesno.jpg"));
    QCOMPARE(main->Image8->pictureSource(), QString("Graph\\lis.jpg"));
    QCOMPARE(main->pictureSource(), QString("Graph\\fon.jpg"));
    QCOMPARE(main->cursor().shape(), Qt::ArrowCursor);
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(main->Timer1->isActive()); // the photos change on their own
    QVERIFY(f.failures.isEmpty());
    QVERIFY(f.sounds.isEmpty()); // start-up is silent
    saveScreenshot(main, "main_window");
}

// Start-up makes the main window alone; the others, and the task bar's icon, come once it
// has painted, or when a move first opens one of them.
void TestStartup::otherWindowsComeAfterTheFirstPaint() {
    Fixture f;
    QGuiApplication::setWindowIcon(QIcon());
    {
        Program opened;
        QVERIFY(opened.load());
        opened.show();
        settle();
        QVERIFY(!opened.Form4());
        opened.Form2()->Label4_Click();
        settle();
        QVERIFY(opened.Form4() && opened.Form4()->isVisible());
    }
    Program w;
    QVERIFY(w.load());
    w.show();
    settle();
    for (FormBase* form :
         std::initializer_list<FormBase*>{w.Form1(), w.Form3(), w.Form4(), w.Form5()})
        QVERIFY(!form);
    QVERIFY(QGuiApplication::windowIcon().isNull());
    w.finishStartup();
    QCOMPARE(QGuiApplication::windowIcon().availableSizes().isEmpty(), false);
    QVERIFY(w.Form2()->isVisible());
    for (FormBase* form :
         std::initializer_list<FormBase*>{w.Form1(), w.Form3(), w.Form4(), w.Form5()}) {
        QVERIFY(form);
        QVERIFY(!form->isVisible());
        QCOMPARE(form->pictureSource(), QString("Graph\\fon.jpg"));
    }
    QCOMPARE(w.Form1()->Image2->pictureSource(), QString("Graph\\ARAK.jpg"));
    QCOMPARE(w.Form4()->Image2->pictureSource(), QString("Graph\\ARAK.jpg"));
    QCOMPARE(w.Form5()->Image20->pictureSource(), QString("Graph\\ARAK.jpg"));
    // Main window and the reading windows in the taskbar; the dialogs not.
    QCOMPARE(w.Form2()->windowType(), Qt::Window);
    QCOMPARE(w.Form1()->windowType(), Qt::Window);
    QCOMPARE(w.Form4()->windowType(), Qt::Window);
    QCOMPARE(w.Form3()->windowType(), Qt::Tool);
    QCOMPARE(w.Form5()->windowType(), Qt::Tool);
    for (FormBase* form :
         std::initializer_list<FormBase*>{w.Form1(), w.Form2(), w.Form3(), w.Form4(), w.Form5()})
        QVERIFY(form->windowFlags() & Qt::FramelessWindowHint);
}

void TestStartup::layoutOfEachWindow() {
    Fixture f;
    Program* p = f.start();
    QVERIFY(p);
    app::Program& w = *p;
    // Client areas plus their borders: 1 px, and 3 px for the dialogs.
    QCOMPARE(w.Form2()->size(), QSize(622 + 2, 472 + 2));
    QCOMPARE(w.Form4()->size(), QSize(538 + 2, 480 + 2));
    QCOMPARE(w.Form1()->size(), QSize(545 + 2, 496 + 2));
    QCOMPARE(w.Form3()->size(), QSize(187 + 6, 143 + 6));
    QCOMPARE(w.Form5()->size(), QSize(455 + 6, 341 + 6));
    QCOMPARE(w.Form2()->surface()->pos(), QPoint(1, 1));
    QCOMPARE(w.Form3()->surface()->pos(), QPoint(3, 3));

    Form2* main = p->Form2();
    QCOMPARE(QFontInfo(main->Label7->font()).family(), QString("Liberation Mono"));
    QVERIFY(main->Label7->font().bold());
    QCOMPARE(main->Label3->font().pixelSize(), 16);
    QVERIFY(main->Image5->hasScaledContents());
    // The menu is a staircase: from the top Label2, Label1, Label3 .. Label6, each 40 px
    // lower and further right, each underlined 7 px below its box.
    const core::Label* stairs[] = {main->Label2, main->Label1, main->Label3,
                                   main->Label4, main->Label5, main->Label6};
    const char* underlines[] = {"Line1(0)", "Line1(1)", "Line1(2)",
                                "Line1(3)", "Line1(4)", "Line1(5)"};
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(control(main, underlines[i])->y(), stairs[i]->geometry().bottom() + 1 + 7);
        if (i == 0) continue;
        QCOMPARE(stairs[i]->y(), stairs[i - 1]->y() + 40);
        QVERIFY(stairs[i]->x() > stairs[i - 1]->x() || i == 1);
    }
    // Help, minimise and exit: one size, one top, in that order from the left.
    QCOMPARE(main->Image2->size(), main->Image8->size());
    QCOMPARE(main->Image8->size(), main->Image1->size());
    QCOMPARE(main->Image2->y(), main->Image1->y());
    QVERIFY(main->Image2->x() < main->Image8->x() && main->Image8->x() < main->Image1->x());
    // The thick rule ends 6 px short of the client area's right edge.
    QCOMPARE(control(main, "Line1(6)")->geometry().right() + 1, main->surface()->width() - 6);
    QCOMPARE(control(main, "Line1(6)")->height(), 10);
    QCOMPARE(main->Image8->toolTip(), QString("Свернуть"));
    QCOMPARE(main->Image8->accessibleName(), QString("Свернуть"));
    QCOMPARE(main->Image3->accessibleName(), QString("Фото собаки"));
    // Frames lie over their photos' edges; labels over nothing.
    for (auto [frame, photo] : {std::pair{"Shape1(0)", "Image5"},
                                {"Shape1(1)", "Image3"},
                                {"Shape1(2)", "Image4"},
                                {"Shape1(3)", "Image6"},
                                {"Shape1(4)", "Image7"}}) {
        QWidget* s = control(main, frame);
        QWidget* i = control(main, photo);
        QCOMPARE(s->geometry(), i->geometry());
        QVERIFY2(indexOnSurface(s) > indexOnSurface(i), frame);
        // The pointer over a frame is over its photo.
        QCOMPARE(main->surface()->childAt(s->geometry().topLeft() + QPoint(2, 2)), i);
    }

    auto* reader = w.Form4();
    QCOMPARE(reader->List1->geometry(), QRect(8, 64, 521, 95));
    QCOMPARE(reader->Text1->geometry(), QRect(8, 224, 521, 249));
    QCOMPARE(reader->Label1_1->text(), QString("Выберите тему"));
    QVERIFY(indexOnSurface(reader->Label1_1) > indexOnSurface(reader->Label1_0));

    auto* catalogue = w.Form1();
    QCOMPARE(catalogue->Text1->geometry(), QRect(0, 312, 545, 185));
    QCOMPARE(catalogue->Image1->pos(), QPoint(312, 56));
    QVERIFY(indexOnSurface(catalogue->Shape1) > indexOnSurface(catalogue->Image1));
    QVERIFY(indexOnSurface(catalogue->Label10) > indexOnSurface(catalogue->Shape1));

    auto* exit = w.Form3();
    QCOMPARE(exit->Label1->geometry(), QRect(24, 48, 145, 41));
    QVERIFY(exit->Label1->wordWrap());
    auto* help = w.Form5();
    QCOMPARE(help->Text1->geometry(), QRect(312, 304, 121, 19));
    QCOMPARE(help->Image2->size(), QSize(159, 37));
    QCOMPARE(help->Image2->cursor().shape(), Qt::BitmapCursor);
    QCOMPARE(help->Image2->cursor().hotSpot(), QPoint(6, 0));
}

void TestStartup::handlersReportFailuresAndKeepRunning() {
    Fixture f;
    Program* p = f.start();
    QVERIFY(p);
    auto* reader = p->Form4();
    p->Form2()->Label4_Click(); // the fixture has no topic files
    settle();
    QCOMPARE(f.failures.size(), 1);
    QVERIFY(f.failures.first().text.contains("text\\kvs.ssu"));
    QVERIFY(reader->isVisible());
    QCOMPARE(reader->List1->count(), 0);
    QVERIFY(f.endings.isEmpty());
}

void TestStartup::failureReportInAMessageBox() {
    const base::FailureReporter previous = base::setFailureReporter({});
    const auto restore = qScopeGuard([&] { base::setFailureReporter(previous); });
    core::useMessageBoxReports();
    QString shown;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->text();
            box->accept();
        }
    });
    base::reportFailure({base::ErrFileNotFound, "Файл не найден: Graph\\fon.jpg"});
    QCOMPARE(shown, QString("Ошибка 53\n\nФайл не найден: Graph\\fon.jpg"));
}

void TestStartup::dialogsStandAboveTheMainWindow() {
    Fixture f;
    Program* p = f.start();
    QVERIFY(p);
    Form2* main = p->Form2();
    main->Image2_Click();
    settle();
    QVERIFY(p->Form5()->windowHandle());
    QCOMPARE(p->Form5()->windowHandle()->transientParent(), main->windowHandle());
    p->Form5()->Image20_Click();
    main->Image1_Click();
    settle();
    QCOMPARE(p->Form3()->windowHandle()->transientParent(), main->windowHandle());
}

void TestStartup::choosePlatform_data() {
    QTest::addColumn<QByteArray>("chosen"); // QT_QPA_PLATFORM before
    QTest::addColumn<QByteArray>("session");
    QTest::addColumn<QByteArray>("wayland");
    QTest::addColumn<QByteArray>("display");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("X11 desktop") << QByteArray() << QByteArray("x11") << QByteArray()
                                 << QByteArray(":0") << QByteArray();
    QTest::newRow("Wayland with XWayland") << QByteArray() << QByteArray("wayland") << QByteArray()
                                           << QByteArray(":0") << QByteArray("xcb");
    QTest::newRow("Wayland display only") << QByteArray() << QByteArray() << QByteArray("wayland-0")
                                          << QByteArray(":1") << QByteArray("xcb");
    QTest::newRow("Wayland without XWayland")
        << QByteArray() << QByteArray("wayland") << QByteArray("wayland-0") << QByteArray()
        << QByteArray();
    QTest::newRow("the user's choice stands")
        << QByteArray("wayland") << QByteArray("wayland") << QByteArray() << QByteArray(":0")
        << QByteArray("wayland");
}

void TestStartup::choosePlatform() {
    QFETCH(QByteArray, chosen);
    QFETCH(QByteArray, session);
    QFETCH(QByteArray, wayland);
    QFETCH(QByteArray, display);
    QFETCH(QByteArray, expected);
    const char* names[] = {"QT_QPA_PLATFORM", "XDG_SESSION_TYPE", "WAYLAND_DISPLAY", "DISPLAY"};
    QByteArray saved[4];
    bool had[4];
    for (int i = 0; i < 4; ++i) {
        had[i] = qEnvironmentVariableIsSet(names[i]);
        saved[i] = qgetenv(names[i]);
    }
    const auto restore = qScopeGuard([&] {
        for (int i = 0; i < 4; ++i)
            had[i] ? qputenv(names[i], saved[i]) : qunsetenv(names[i]);
    });
    const QByteArray values[] = {chosen, session, wayland, display};
    for (int i = 0; i < 4; ++i)
        values[i].isEmpty() ? qunsetenv(names[i]) : qputenv(names[i], values[i]);
    app::choosePlatform();
    QCOMPARE(qgetenv("QT_QPA_PLATFORM"), expected);
}

PSOGRAF_TEST_MAIN(TestStartup)
#include "test_startup.moc"
