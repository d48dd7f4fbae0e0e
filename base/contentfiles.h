// SPDX-License-Identifier: GPL-3.0-or-later
// Every content file the program names, in one place: the windows, the content checker,
// the tests and the install check all take the names from here. Pictures and texts are
// named as the content was written ("Graph\fon.jpg", relative to the working directory);
// sounds by a path that is appended to the program directory ("\Sound\check.wav").
#pragma once

#include <QString>
#include <QStringList>
#include <array>

namespace base::content {

// The five reading sections in the order of the main menu's items 1 to 5. The training
// section's reader title says "собаки" where its menu caption says "собак".
struct Section {
    QString file;
    QString readerTitle;
};
inline const std::array<Section, 5> Sections = {{
    {QStringLiteral("text\\HCD.ssu"), QStringLiteral("Как выбрать собаку")},
    {QStringLiteral("text\\vos.ssu"), QStringLiteral("Физиология собаки")},
    {QStringLiteral("text\\kiv.ssu"), QStringLiteral("Кормление и обустройство")},
    {QStringLiteral("text\\kvs.ssu"), QStringLiteral("Лечение собаки")},
    {QStringLiteral("text\\drs.ssu"), QStringLiteral("Дрессировка собаки")},
}};

inline const QString Catalogue = QStringLiteral("text\\FOLDOG.ssu");
// Words the search takes for one another (search/wordgroups.h); the search does without it.
inline const QString WordGroups = QStringLiteral("text\\slova.ssu");
// The breed chooser's facts, one line per catalogue breed (formats/breedfacts.h); the
// chooser says in its window when it cannot read them.
inline const QString BreedFacts = QStringLiteral("text\\podbor.ssu");
// Breed photos are this folder followed by the catalogue's file name.
inline const QString PhotoFolder = QStringLiteral("dog\\");

// The carousel's photos, in the order every arrangement assigns them.
inline const std::array<QString, 5> CarouselPhotos = {
    QStringLiteral("dog\\sob133.jpg"), QStringLiteral("dog\\sob141.jpg"),
    QStringLiteral("dog\\sob191.jpg"), QStringLiteral("dog\\sob148.jpg"),
    QStringLiteral("dog\\sob167.jpg")};

namespace graph {
inline const QString Background = QStringLiteral("Graph\\fon.jpg");
inline const QString BackgroundDimmed = QStringLiteral("Graph\\fonno.jpg");
inline const QString ExitNormal = QStringLiteral("Graph\\CLNO.jpg");
inline const QString ExitLit = QStringLiteral("Graph\\CLAK.jpg");
inline const QString HelpNormal = QStringLiteral("Graph\\qesno.jpg");
inline const QString HelpLit = QStringLiteral("Graph\\qesakt.jpg");
inline const QString MinimiseNormal = QStringLiteral("Graph\\lis.jpg");
inline const QString MinimiseLit = QStringLiteral("Graph\\lir.jpg");
// The back button starts in its lit picture; the first pointer move over the bare
// surface gives it the normal one.
inline const QString BackLit = QStringLiteral("Graph\\ARAK.jpg");
inline const QString BackNormal = QStringLiteral("Graph\\ARNOAK.jpg");
} // namespace graph

namespace sound {
inline const QString Check = QStringLiteral("\\Sound\\check.wav");
inline const QString Select = QStringLiteral("\\Sound\\select.wav");
inline const QString Stat = QStringLiteral("\\Sound\\stat.wav");
} // namespace sound

// Every picture start-up decodes, in the order it reads them; a missing one ends start-up.
inline QStringList startupPictures() {
    return {QStringLiteral("dog\\sob133.jpg"),
            QStringLiteral("dog\\sob141.jpg"),
            QStringLiteral("dog\\sob148.jpg"),
            QStringLiteral("dog\\sob167.jpg"),
            QStringLiteral("dog\\sob191.jpg"),
            graph::Background,
            graph::ExitNormal,
            graph::HelpNormal,
            graph::MinimiseNormal,
            graph::BackLit,
            graph::BackgroundDimmed,
            graph::ExitLit,
            graph::HelpLit,
            graph::MinimiseLit,
            graph::BackNormal};
}

inline QStringList topicFiles() {
    QStringList files;
    for (const Section& s : Sections)
        files.append(s.file);
    return files;
}

inline QStringList soundFiles() {
    return {sound::Check, sound::Select, sound::Stat};
}

} // namespace base::content
