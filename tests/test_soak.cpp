// SPDX-License-Identifier: GPL-3.0-or-later
// Thousands of random user events on the real windows: pointer moves and clicks anywhere
// on the visible windows, list choices by mouse and keyboard, keys, carousel ticks. After
// every step the windows on the screen must be exactly the ones the user's clicks lead
// to. Never "ДА", minimise or a platform close: those end or leave the session.
#include "base/contentfiles.h"
#include "catalogue/form1.h"
#include "dialogs/form3.h"
#include "dialogs/form5.h"
#include "main_window/form2.h"
#include "tests/fixture.h"
#include "topics/form4.h"

#include <QDesktopServices>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTest>
#include <QWindow>
#include <algorithm>
#include <array>

namespace {

// A fixed seed keeps a failure reproducible; the step number is in every message.
constexpr quint32 Seed = 20261207;
constexpr int Steps = 4000;

const QStringList SectionFiles = base::content::topicFiles();

// Each section: a preamble line, then a few topics; one title opens two topics, so it is
// listed twice.
QString topicFile(int section, QStringList* titles) {
    QString text = QStringLiteral("Вступление раздела %1\r\n").arg(section);
    const QStringList names = {QStringLiteral("Ёж и собака"), QStringLiteral("Алабай"),
                               QStringLiteral("яблоки"), QStringLiteral("Щенок %1").arg(section),
                               QStringLiteral("Алабай")};
    for (const QString& name : names) {
        text += u'#' + name +
                QStringLiteral("\r\nСтрока о теме «%1».\r\n\r\nЕщё строка.\r\n#").arg(name) + name +
                QStringLiteral("\r\n");
        titles->append(name);
    }
    return text;
}

enum class Shown { Main, Reader, Catalogue, Help, Exit };

class UrlSink : public QObject {
    Q_OBJECT
public:
    int opened = 0;
public slots:
    void open(const QUrl&) { ++opened; }
};

} // namespace

class TestSoak : public QObject {
    Q_OBJECT
private slots:
    void randomSession();

private:
    void step(int n);
    void pointerAt(bool click);
    void chooseInList();
    void key();
    void check(int n);
    // Main window, reader, catalogue, help, exit: back to front.
    std::array<core::FormBase*, 5> allForms() const {
        return {m_main, m_reader, m_cat, m_help, m_exit};
    }

    // What a click on this widget leads to, by what the user sees of it.
    void predictClick(core::FormBase* form, QWidget* target);
    // Points on a control that must not be clicked here ("ДА", minimise).
    bool forbidden(QWidget* target) const;

    Fixture* m_f = nullptr;
    Program* m_p = nullptr;
    Form1* m_cat = nullptr;
    Form2* m_main = nullptr;
    Form3* m_exit = nullptr;
    Form4* m_reader = nullptr;
    Form5* m_help = nullptr;
    QRandomGenerator m_random{Seed};
    Shown m_shown = Shown::Main;
    int m_section = -1;
    QStringList m_titles[5];
    int m_breeds = 0;
    UrlSink m_urls;
    int m_expectedUrls = 0;
    int m_clicks = 0, m_choices = 0;
    int m_visits[5] = {}; // steps spent in each Shown state
};

static bool within(QWidget* widget, QWidget* control) {
    return widget && (widget == control || control->isAncestorOf(widget));
}

bool TestSoak::forbidden(QWidget* target) const {
    // The chooser is a window this session leaves alone, like the search.
    return within(target, m_exit->Label2) || within(target, m_main->Image8) ||
           within(target, m_cat->Label11);
}

void TestSoak::predictClick(core::FormBase* form, QWidget* target) {
    if (form == m_main && m_shown == Shown::Main) {
        core::Label* const items[5] = {m_main->Label1, m_main->Label2, m_main->Label3,
                                       m_main->Label4, m_main->Label5};
        for (int i = 0; i < 5; ++i)
            if (within(target, items[i])) {
                m_shown = Shown::Reader;
                m_section = i;
            }
        if (within(target, m_main->Label6)) m_shown = Shown::Catalogue;
        if (within(target, m_main->Image2)) m_shown = Shown::Help;
        if (within(target, m_main->Image1)) m_shown = Shown::Exit;
    } else if (form == m_reader && within(target, m_reader->Image2)) {
        m_shown = Shown::Main;
    } else if (form == m_cat && within(target, m_cat->Image2)) {
        m_shown = Shown::Main;
    } else if (form == m_help) {
        if (within(target, m_help->Image20)) m_shown = Shown::Main;
        if (within(target, m_help->Image2)) ++m_expectedUrls;
    } else if (form == m_exit && within(target, m_exit->Label3)) {
        m_shown = Shown::Main;
    }
}

void TestSoak::pointerAt(bool click) {
    QList<core::FormBase*> visible;
    for (core::FormBase* form : allForms())
        if (form->isVisible()) visible << form;
    QVERIFY(!visible.isEmpty());
    core::FormBase* form = visible.at(m_random.bounded(int(visible.size())));
    // Half the clicks aim at one of the window's controls, or small buttons would hardly
    // ever be hit and the session would stay in the largest window.
    QList<QWidget*> controls;
    for (QWidget* child : form->surface()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->isVisible() && !forbidden(child)) controls << child;
    const bool aim = click && !controls.isEmpty() && m_random.bounded(2) == 0;
    QPoint at;
    QWidget* target = nullptr;
    for (int tries = 0; tries < 20; ++tries) {
        if (aim) {
            QWidget* control = controls.at(m_random.bounded(int(controls.size())));
            // Only the part of it inside the window can be clicked.
            const QRect r = QRect(control->mapTo(form, QPoint()), control->size()) & form->rect();
            if (r.isEmpty()) continue;
            at = r.topLeft() + QPoint(m_random.bounded(r.width()), m_random.bounded(r.height()));
        } else {
            at = QPoint(m_random.bounded(form->width()), m_random.bounded(form->height()));
        }
        target = form->childAt(at);
        if (!forbidden(target)) break;
    }
    if (!click) {
        QTest::mouseMove(form->windowHandle(), at);
        return;
    }
    if (forbidden(target)) return;
    ++m_clicks;
    predictClick(form, target);
    QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {}, at);
}

void TestSoak::chooseInList() {
    core::ChoiceList* list = m_reader->isVisible() ? m_reader->List1
                             : m_cat->isVisible()  ? m_cat->List1
                                                   : nullptr;
    if (!list || list->count() == 0) return;
    QListWidgetItem* item = list->item(m_random.bounded(list->count()));
    list->scrollToItem(item);
    ++m_choices;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

void TestSoak::key() {
    static const Qt::Key keys[] = {Qt::Key_Up,     Qt::Key_Down,     Qt::Key_Home, Qt::Key_End,
                                   Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Tab,  Qt::Key_Escape,
                                   Qt::Key_Return, Qt::Key_Space,    Qt::Key_A};
    // The window in front takes the keys.
    QWidget* top = m_main;
    for (core::FormBase* form : {allForms()[1], allForms()[2], allForms()[3], allForms()[4]})
        if (form->isVisible()) top = form;
    // Keyboard selection starts from the list, as a user would tab or click into it.
    if (m_random.bounded(3) == 0) {
        if (top == m_reader) m_reader->List1->setFocus();
        if (top == m_cat) m_cat->List1->setFocus();
    }
    const Qt::Key k = keys[m_random.bounded(int(std::size(keys)))];
    // Escape presses the back button, "НЕТ" or the exit button; Return on the exit
    // confirmation answers "ДА", which would end the session.
    if (top == m_exit && k == Qt::Key_Return) return;
    // A letter on the main menu opens the search, a window this session leaves alone.
    if (top == m_main && k == Qt::Key_A) return;
    if (k == Qt::Key_Escape) m_shown = top == m_main ? Shown::Exit : Shown::Main;
    // Space or Return on a control the keyboard gave the focus presses it, as a click does.
    auto* focused = qobject_cast<core::PressableLabel*>(top->focusWidget());
    if ((k == Qt::Key_Space || k == Qt::Key_Return) && focused && focused->hasKeyboardFocus()) {
        if (forbidden(focused)) return;
        predictClick(static_cast<core::FormBase*>(top), focused);
    }
    QTest::keyClick(top->windowHandle(), k);
}

void TestSoak::step(int n) {
    const int what = m_random.bounded(100);
    if (what < 45)
        pointerAt(false);
    else if (what < 75)
        pointerAt(true);
    else if (what < 85)
        chooseInList();
    else if (what < 97)
        key();
    else
        base::guarded([&] { m_main->Timer1_Timer(); });
    settle();
    check(n);
    ++m_visits[int(m_shown)];
}

void TestSoak::check(int n) {
    const QByteArray where = "step " + QByteArray::number(n);
    const bool shouldShow[5] = {m_shown == Shown::Main || m_shown == Shown::Help ||
                                    m_shown == Shown::Exit,
                                m_shown == Shown::Reader, m_shown == Shown::Catalogue,
                                m_shown == Shown::Help, m_shown == Shown::Exit};
    const std::array<core::FormBase*, 5> forms = allForms();
    for (int i = 0; i < 5; ++i)
        QVERIFY2(forms[i]->isVisible() == shouldShow[i],
                 where + " " + forms[i]->objectName().toUtf8());
    const bool dialog = m_shown == Shown::Help || m_shown == Shown::Exit;
    QVERIFY2(m_main->isFormEnabled() == !dialog, where);
    // Nothing greys out: input is blocked, not the widgets disabled.
    QVERIFY2(m_main->isEnabled(), where);

    QStringList listed;
    for (int i = 0; i < m_reader->List1->count(); ++i)
        listed << m_reader->List1->item(i)->text();
    if (m_shown == Shown::Reader) {
        QStringList expected = m_titles[m_section];
        std::sort(expected.begin(), expected.end());
        std::sort(listed.begin(), listed.end());
        QVERIFY2(listed == expected, where);
        QVERIFY2(expected.contains(m_reader->Label1_1->text()), where);
    } else {
        QVERIFY2(listed.isEmpty(), where);
    }
    QCOMPARE(m_cat->List1->count(), m_breeds);
    QVERIFY2(m_f->failures.isEmpty(), where + " " + m_f->failures.value(0).text.toUtf8());
    QVERIFY2(m_f->endings.isEmpty(), where);
    QCOMPARE(m_urls.opened, m_expectedUrls);
}

void TestSoak::randomSession() {
    Fixture f;
    for (int i = 0; i < 5; ++i)
        f.writeText(SectionFiles[i], topicFile(i, &m_titles[i]));
    f.writeText("text\\FOLDOG.ssu", "\"Лайка\",\"Северная собака.\",\"sob001.jpg\"\r\n"
                                    "\"Такса\",\"Длинная.\",\"sob002.jpg\"\r\n"
                                    "\"Без фото\",\"Фото нет.\",\"sob404.jpg\"\r\n"
                                    "\"Лайка\",\"Вторая запись.\",\"sob003.jpg\"\r\n");
    f.writePicture("dog\\sob002.jpg", {240, 160});
    f.writePicture("dog\\sob003.jpg", {100, 200});
    m_breeds = 4;
    QDesktopServices::setUrlHandler("https", &m_urls, "open");
    QDesktopServices::setUrlHandler("http", &m_urls, "open");
    const auto unsetHandlers = qScopeGuard([] {
        QDesktopServices::unsetUrlHandler("https");
        QDesktopServices::unsetUrlHandler("http");
    });

    m_f = &f;
    m_p = f.start();
    QVERIFY(m_p);
    app::Program& w = *m_p;
    m_main = m_p->Form2();
    m_cat = w.Form1();
    m_exit = w.Form3();
    m_reader = w.Form4();
    m_help = w.Form5();
    check(0);
    for (int n = 1; n <= Steps && !QTest::currentTestFailed(); ++n)
        step(n);
    qInfo("%d clicks, %d choices, %lld sounds; steps in main %d, reader %d, catalogue %d, "
          "help %d, exit %d",
          m_clicks, m_choices, f.sounds.size(), m_visits[0], m_visits[1], m_visits[2], m_visits[3],
          m_visits[4]);
    f.stop();
}

PSOGRAF_TEST_MAIN(TestSoak)
#include "test_soak.moc"
