// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/program.h"

#include "base/contentfiles.h"
#include "base/contentpath.h"
#include "base/failure.h"
#include "base/text.h"
#include "catalogue/form1.h"
#include "chooser/chooserwindow.h"
#include "core/sound.h"
#include "core/zoom.h"
#include "dialogs/form3.h"
#include "dialogs/form5.h"
#include "main_window/form2.h"
#include "search_window/searchwindow.h"
#include "topics/form4.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

static void initResources() {
    Q_INIT_RESOURCE(resources);
}

namespace app {

Program::Program() : m_audio(std::make_unique<core::AudioChannel>()) {
    initResources();
    m_form2 = std::make_unique<main_window::Form2>(m_values, *this, *this);
}

Program::~Program() = default;

namespace {
// When the working directory has no text folder (a program started from the wrong folder),
// which directory is searched; empty when the folder is there.
QString missingContent() {
    if (QFileInfo(base::realPath(QStringLiteral("text"))).isDir()) return {};
    return QStringLiteral("Содержимое ищется в рабочей папке %1, а в ней нет папки text.")
        .arg(QDir::toNativeSeparators(QDir::currentPath()));
}
} // namespace

bool Program::load() {
    try {
        m_form2->Form_Load();
        core::zoom::keepOnScreen(m_values.pictures);
        return true;
    } catch (const base::RuntimeFailure& failure) {
        // Started where there is no content: the message says which folder was searched.
        base::RuntimeFailure shown = failure;
        if (const QString where = missingContent(); !where.isEmpty())
            shown.text += QStringLiteral("\n\n") + where;
        base::reportFailure(shown);
        return false;
    }
}

void Program::show() {
    m_form2->showForm();
}

void Program::openSection(const QString& readerTitle) {
    ensureOthers();
    // Titled and named before it shows, so it opens on its section whenever it activates,
    // and a screen reader announces that section.
    m_form4->Label7->setText(readerTitle);
    m_form4->setAccessibleName(readerTitle);
    m_form4->showForm();
}

void Program::openCatalogue() {
    ensureOthers();
    m_form1->showForm();
}

void Program::openHelp() {
    ensureOthers();
    m_form5->showForm();
}

void Program::openExitConfirmation() {
    ensureOthers();
    m_form3->showForm();
}

void Program::backToMenu() {
    m_form2->showForm();
}

void Program::closeHelp() {
    m_form2->showForm();
    m_form2->setFormEnabled(true);
}

void Program::closeExitConfirmation() {
    m_form2->setFormEnabled(true);
    m_form2->setPicture(m_values.pictures.get(base::content::graph::Background));
    m_form2->showForm();
}

void Program::showSearch(core::FormBase& from) {
    if (!m_search) {
        m_search = std::make_unique<search::SearchWindow>(m_values, *this);
        m_search->setPicture(m_values.pictures.get(base::content::graph::Background));
        m_search->backButton()->setPicture(m_values.pictures.get(base::content::graph::BackLit));
    }
    m_searchOrigin = &from;
    if (&from == m_form2.get()) {
        from.hideForm();
        m_search->setOwner(nullptr);
    } else {
        from.setFormEnabled(false);
        m_search->setOwner(&from);
    }
    m_search->showForm();
}

void Program::openSearch(core::FormBase& from, const QString& typed) {
    showSearch(from);
    // Nothing typed: the search a result was last chosen in, if any.
    if (!typed.isEmpty() || !m_search->startAgain()) m_search->start(typed);
}

void Program::openBookmarks(core::FormBase& from) {
    showSearch(from);
    m_search->start(QString());
    m_search->showBookmarks();
}

void Program::leaveSearch() {
    core::FormBase* origin = std::exchange(m_searchOrigin, nullptr);
    if (!origin) origin = m_form2.get();
    origin->setFormEnabled(true);
    origin->showForm();
}

void Program::leaveOriginForResult() {
    core::FormBase* origin = std::exchange(m_searchOrigin, nullptr);
    if (!origin || origin == m_form2.get()) return;
    origin->setFormEnabled(true);
    origin->leave();
}

namespace {
// A user's choice of the entry with this text (the row given, or the first of that text);
// false, and no entry chosen, when the list holds none.
bool chooseEntry(core::ChoiceList* list, int row, const QString& text) {
    if (row < 0 || row >= list->count() || list->entryText(row) != text) {
        row = -1;
        for (int i = 0; i < list->count() && row < 0; ++i)
            if (list->entryText(i) == text) row = i;
    }
    list->programmatic([&] {
        list->clearSelection();
        list->setCurrentItem(nullptr);
    });
    if (row < 0) return false;
    list->setCurrentRow(row);
    list->scrollToItem(list->item(row));
    return true;
}
} // namespace

void Program::showTopic(const QString& topicFile, const QString& title,
                        const core::FoundPlaces& found) {
    leaveOriginForResult();
    for (size_t i = 0; i < base::content::Sections.size(); ++i) {
        if (base::content::Sections[i].file != topicFile) continue;
        m_form2->openSection(int(i));
        // The reader fills its list once activated; the choice comes after, as a user's.
        // A title the list does not hold (the file changed since the search) is still
        // shown, with no entry chosen: its text, or none when the file has no such topic.
        QMetaObject::invokeMethod(
            m_form4.get(),
            [this, title, topicFile, found] {
                base::guarded([&] {
                    // A file that cannot be read: the reader said so as it opened, once.
                    if (!chooseEntry(m_form4->List1, -1, title) && base::stampOf(topicFile))
                        m_form4->choose(title);
                    m_form4->markFound(found);
                });
            },
            Qt::QueuedConnection);
        return;
    }
}

void Program::openChooser(core::FormBase& from) {
    if (!m_chooser) {
        m_chooser = std::make_unique<chooser::ChooserWindow>(m_values, *this);
        m_chooser->setPicture(m_values.pictures.get(base::content::graph::Background));
        m_chooser->backButton()->setPicture(m_values.pictures.get(base::content::graph::BackLit));
    }
    core::FormBase* origin = &from;
    if (m_search && &from == m_search.get()) {
        // Chosen among the search's results: back leads to where the search was opened from,
        // as a topic's or a breed's window leaves the search behind.
        origin = std::exchange(m_searchOrigin, nullptr);
        if (!origin) origin = m_form2.get();
        origin->setFormEnabled(true);
    }
    m_chooserOrigin = origin;
    origin->hideForm();
    m_chooser->showForm();
    m_chooser->start();
}

void Program::leaveChooser() {
    core::FormBase* origin = std::exchange(m_chooserOrigin, nullptr);
    if (!origin) origin = m_form2.get();
    origin->showForm();
}

void Program::showBreed(int record, const QString& name, const core::FoundPlaces& found) {
    ensureOthers();
    leaveOriginForResult();
    m_chooserOrigin = nullptr;
    m_form2->Label6_Click();
    // A breed the list does not hold (added to the catalogue since start-up) is still
    // shown, with no entry chosen.
    QMetaObject::invokeMethod(
        m_form1.get(),
        [this, record, name, found] {
            base::guarded([&] {
                m_form1->chooseFoundNext(record);
                if (!chooseEntry(m_form1->List1, record, name)) m_form1->choose(name, record);
                m_form1->chooseFoundNext(-1);
                m_form1->markFound(found);
            });
        },
        Qt::QueuedConnection);
}

void Program::setOtherBackgrounds(const core::Picture& background) {
    // The windows wait until the main window is on the screen: nothing they are given can
    // fail then, since it is all read and decoded by the end of start-up.
    m_background = background;
}

void Program::setBackButtons(const core::Picture& picture) {
    m_backButton = picture;
}

void Program::fillCatalogue() {
    // Read now, so a catalogue that cannot be read still ends start-up.
    m_catalogue = catalogue::Form1::readForFill();
}

void Program::finishStartup() {
    QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/psograf/icon.png")));
    ensureOthers();
}

void Program::ensureOthers() {
    if (m_form4 || m_background.isNull()) return;
    // From the cache, which holds them at the zoom in effect.
    const core::Picture background = m_values.pictures.again(m_background);
    const core::Picture backButton = m_values.pictures.again(m_backButton);
    m_form4 = std::make_unique<topics::Form4>(m_values, *this);
    m_form4->setPicture(background);
    m_form1 = std::make_unique<catalogue::Form1>(m_values, *this);
    m_form1->setPicture(background);
    m_form5 = std::make_unique<dialogs::Form5>(m_values, *this);
    m_form5->setPicture(background);
    m_form3 = std::make_unique<dialogs::Form3>(m_values, *this);
    m_form3->setPicture(background);
    m_form3->setOwner(m_form2.get());
    m_form5->setOwner(m_form2.get());
    for (core::FormBase* form :
         std::initializer_list<core::FormBase*>{m_form1.get(), m_form4.get(), m_form5.get()})
        form->backButton()->setPicture(backButton);
    if (m_catalogue) m_form1->initialFill(*m_catalogue);
    m_catalogue.reset();
    core::zoom::keepOnScreen(m_values.pictures);
}

bool installQtTranslations() {
    // Russian whatever the user's locale says; without the file Qt's texts stay English.
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QStringLiteral("qtbase_ru"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(translator))
        return true;
    delete translator;
    return false;
}

void choosePlatform() {
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) return;
    const bool wayland =
        qgetenv("XDG_SESSION_TYPE") == "wayland" || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (wayland && !qEnvironmentVariableIsEmpty("DISPLAY")) qputenv("QT_QPA_PLATFORM", "xcb");
}

} // namespace app
