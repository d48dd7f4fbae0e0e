// SPDX-License-Identifier: GPL-3.0-or-later
// The breed catalogue window: its fill, choices and frame.
#include "catalogue/form1.h"
#include "main_window/form2.h"
#include "tests/fixture.h"

#include <QTest>
#include <QTextEdit>

class TestCatalogue : public QObject {
    Q_OBJECT
private slots:
    void initialFillShowsTheFirstBreed();
    void choosingBreeds();
    void frameFollowsPhotoWidth_data();
    void frameFollowsPhotoWidth();
    void startupFaultsThatNoLongerEndTheProgram_data();
    void startupFaultsThatNoLongerEndTheProgram();
    void backAndReturnKeepTheBreed();
};

void TestCatalogue::initialFillShowsTheFirstBreed() {
    Fixture f;
    f.writeText(
        "text\\FOLDOG.ssu",
        "\"Такса\",\"Длинная.\",\"sob002.jpg\"\r\n\"Акита\",\"Японская.\",\"sob003.jpg\"\r\n"
        "\"Такса\",\"Вторая.\",\"sob004.jpg\"\r\n");
    f.writePicture("dog\\sob002.jpg", {200, 150});
    QVERIFY(f.start());
    auto* cat = f.program()->Form1();
    QCOMPARE(cat->List1->count(), 3);
    QCOMPARE(cat->List1->item(0)->text(), QString("Такса"));
    QCOMPARE(cat->List1->item(1)->text(), QString("Акита")); // file order, not sorted
    QVERIFY(cat->List1->selectedItems().isEmpty());
    QCOMPARE(cat->Text1->toPlainText(), QString("Длинная."));
    QCOMPARE(cat->Label1->text(), QString("Такса"));
    QCOMPARE(cat->Image1->pictureSource(), QString("dog\\sob002.jpg"));
    QCOMPARE(cat->Image1->size(), QSize(200, 150));
    QCOMPARE(cat->Shape1->size(), QSize(233, 177));
    QCOMPARE(cat->Label10->text(), QString());
    f.program()->Form2()->Label6_Click();
    settle();
    f.sounds.clear();
    cat->Text1->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(cat->Text1, Qt::Key_Backtab);
    QVERIFY(cat->List1->hasFocus());
    QVERIFY(cat->List1->selectedItems().isEmpty());
    // The breed shown is the current entry, not chosen: the first Down after tabbing in
    // chooses the next one, not the one after that.
    QCOMPARE(cat->List1->currentRow(), 0);
    QTest::keyClick(cat->List1, Qt::Key_Down);
    QCOMPARE(cat->List1->currentRow(), 1);
    QCOMPARE(cat->List1->selectedItems().size(), 1);
    QCOMPARE(cat->Label1->text(), QString("Акита"));
    QCOMPARE(f.sounds.size(), 1);
    QVERIFY(f.sounds.first().endsWith("\\Sound\\stat.wav"));
}

void TestCatalogue::choosingBreeds() {
    Fixture f;
    f.writeText(
        "text\\FOLDOG.ssu",
        "\"Лайка\",\"Северная.\",\"sob001.jpg\"\r\n\"Такса\",\"Без фото.\",\"sob002.jpg\"\r\n"
        "\"Дог\",\"Первый.\",\"sob003.jpg\"\r\n\"Дог\",\"Последний.\",\"SOB004.BMP\"\r\n");
    f.writePicture("dog\\sob004.jpg", {100, 120});
    QVERIFY(f.start());
    auto* cat = f.program()->Form1();
    f.program()->Form2()->Label6_Click();
    settle();
    QVERIFY(cat->isVisible());

    clickEntry(cat->List1, 1);
    QCOMPARE(cat->Label10->text(), QString("Нет фото"));
    QVERIFY(!cat->Image1->hasPicture());
    QCOMPARE(cat->Text1->toPlainText(), QString("Без фото."));
    QCOMPARE(cat->Label1->text(), QString("Такса"));
    saveScreenshot(cat, "catalogue_no_photo");

    // Equal names: the last record stays; its photo is found whatever the case.
    clickEntry(cat->List1, 2);
    QCOMPARE(cat->Text1->toPlainText(), QString("Последний."));
    QCOMPARE(cat->Label10->text(), QString());
    QCOMPARE(cat->Image1->pictureSource(), QString("dog\\SOB004.jpg"));
    QCOMPARE(cat->Image1->size(), QSize(100, 120));

    // Opened from the search on the first of the two: its found words marked, the cursor
    // and the focus on the first, F3 to the next; choosing a breed in the list ends them.
    f.program()->showBreed(2, "Дог", [](const QString& text) {
        return QList<core::TextSpan>{{0, int(text.size()) - 1}, {int(text.size()) - 1, 1}};
    });
    settle();
    QCOMPARE(cat->Text1->toPlainText(), QString("Первый."));
    QCOMPARE(cat->Text1->extraSelections().size(), 2);
    QCOMPARE(cat->Text1->extraSelections()[0].cursor.selectedText(), QString("Первый"));
    QVERIFY(cat->Text1->hasFocus());
    QCOMPARE(cat->Text1->textCursor().position(), 0);
    QTest::keyClick(cat->Text1, Qt::Key_F3);
    QCOMPARE(cat->Text1->textCursor().position(), 6);
    clickEntry(cat->List1, 0);
    QCOMPARE(cat->Text1->toPlainText(), QString("Северная."));
    QVERIFY(cat->Text1->extraSelections().isEmpty());
}

void TestCatalogue::frameFollowsPhotoWidth_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<QSize>("frame");
    QTest::addColumn<int>("otherWidth");
    QTest::addColumn<QSize>("otherFrame");
    const QSize portrait(201, 225), landscape(233, 177);
    QTest::newRow("186 px = 2790 twips, then landscape") << 186 << portrait << 187 << landscape;
    QTest::newRow("187 px, then portrait") << 187 << landscape << 186 << portrait;
    QTest::newRow("200 px, then portrait") << 200 << landscape << 120 << portrait;
}

// The first breed's frame at start-up; choosing a breed of the other shape changes it,
// and choosing the first again changes it back.
void TestCatalogue::frameFollowsPhotoWidth() {
    QFETCH(int, width);
    QFETCH(QSize, frame);
    QFETCH(int, otherWidth);
    QFETCH(QSize, otherFrame);
    Fixture f;
    f.writeText("text\\FOLDOG.ssu", "\"А\",\"1\",\"sob001.jpg\"\r\n\"Б\",\"2\",\"sob002.jpg\"\r\n");
    f.writePicture("dog\\sob001.jpg", {width, 100});
    f.writePicture("dog\\sob002.jpg", {otherWidth, 100});
    QVERIFY(f.start());
    auto* cat = f.program()->Form1();
    QCOMPARE(cat->Shape1->size(), frame);
    QCOMPARE(cat->Shape1->pos(), QPoint(304, 48));
    clickEntry(cat->List1, 1);
    QCOMPARE(cat->Shape1->size(), otherFrame);
    clickEntry(cat->List1, 0);
    QCOMPARE(cat->Shape1->size(), frame);
}

void TestCatalogue::startupFaultsThatNoLongerEndTheProgram_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("garbagePhoto");
    QTest::addColumn<QString>("shown");   // the breed shown
    QTest::addColumn<QString>("noPhoto"); // what Label10 says
    const QString none = "Нет фото";
    QTest::newRow("first photo missing") << "\"А\",\"1\",\"sob009.jpg\"\r\n"
                                         << false << "А" << none;
    QTest::newRow("first photo not a picture") << "\"А\",\"1\",\"sob009.jpg\"\r\n"
                                               << true << "А" << none;
    QTest::newRow("field 3 too short") << "\"А\",\"1\",\"ab\"\r\n" << false << "А" << none;
    QTest::newRow("truncated record") << "\"А\",\"1\",\"ab\"\r\n\"Б\",\"2\r\n"
                                      << false << "А" << none;
    QTest::newRow("empty catalogue") << "" << false << ""
                                     << "";
}

// The frame keeps the design's portrait size when no photo is shown.
void TestCatalogue::startupFaultsThatNoLongerEndTheProgram() {
    QFETCH(QString, file);
    QFETCH(bool, garbagePhoto);
    QFETCH(QString, shown);
    QFETCH(QString, noPhoto);
    Fixture f;
    f.writeText("text\\FOLDOG.ssu", file);
    if (garbagePhoto) f.writeBytes("dog\\sob009.jpg", "garbage");
    QVERIFY(f.start());
    auto* cat = f.program()->Form1();
    QCOMPARE(cat->Label10->text(), noPhoto);
    QCOMPARE(cat->Label1->text(), shown);
    QCOMPARE(cat->List1->count(), shown.isEmpty() ? 0 : 1);
    QCOMPARE(cat->Shape1->size(), QSize(201, 225));
    QVERIFY(f.failures.isEmpty());
}

void TestCatalogue::backAndReturnKeepTheBreed() {
    Fixture f;
    f.writeText(
        "text\\FOLDOG.ssu",
        "\"Лайка\",\"Северная.\",\"sob001.jpg\"\r\n\"Такса\",\"Длинная.\",\"sob002.jpg\"\r\n");
    QVERIFY(f.start());
    Form2* main = f.program()->Form2();
    auto* cat = f.program()->Form1();
    main->Label6_Click();
    settle();
    QCOMPARE(cat->Image2->pictureSource(), QString("Graph\\ARAK.jpg"));
    clickEntry(cat->List1, 1);
    QTest::mouseClick(cat->Image2, Qt::LeftButton);
    QVERIFY(!cat->isVisible());
    QVERIFY(main->isVisible());
    f.sounds.clear();
    main->Label6_Click();
    settle();
    QCOMPARE(f.sounds.size(), 1); // the menu's own sound only
    QCOMPARE(cat->List1->currentRow(), 1);
    QCOMPARE(cat->Label1->text(), QString("Такса"));

    // A catalogue that cannot be read leaves the chosen breed's name over no photo and no
    // text, never the breed shown before.
    f.remove("text\\FOLDOG.ssu");
    clickEntry(cat->List1, 0);
    QCOMPARE(f.failures.size(), 1);
    QVERIFY(f.failures.first().text.contains("text\\FOLDOG.ssu"));
    QCOMPARE(cat->Label1->text(), QString("Лайка"));
    QCOMPARE(cat->Label10->text(), QString("Нет фото"));
    QVERIFY(!cat->Image1->hasPicture());
    QCOMPARE(cat->Text1->toPlainText(), QString());
    QVERIFY(cat->isVisible());
}

PSOGRAF_TEST_MAIN(TestCatalogue)
#include "test_catalogue.moc"
