// The one test on the shipped content: the program starts, every section and the
// catalogue open, and nothing is reported.
#include "fixture.h"
#include "form1.h"
#include "form2.h"
#include "form4.h"

#include <QDir>
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
    Form2* main = program->form2;
    auto* reader = static_cast<Form4*>(program->windows.Form4);
    auto* cat = static_cast<Form1*>(program->windows.Form1);
    QVERIFY(cat->List1->count() >= 120);
    QVERIFY(cat->Image1->hasPicture()); // the first breed has its photo
    for (auto click : {&Form2::Label1_Click, &Form2::Label2_Click, &Form2::Label3_Click,
                       &Form2::Label4_Click, &Form2::Label5_Click}) {
        (main->*click)();
        settle();
        QVERIFY(reader->List1->count() >= 12);
        QVERIFY(reader->Text1->toPlainText().size() > 200);
        reader->Image2_Click();
    }
    QVERIFY(f.failures.isEmpty());
    QCOMPARE(f.sounds.size(), 10);
}

QTEST_MAIN(TestSmoke)
#include "test_smoke.moc"
