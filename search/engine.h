// SPDX-License-Identifier: GPL-3.0-or-later
// The search of the reference: finds the words of a query in every topic of the reading
// sections and in every breed of the catalogue. No widgets.
//
//   query ──fold case, split into words, stem──→ query words
//   section files ──topic reader──→ topics ─┐
//   catalogue ──catalogue reader──→ breeds ─┴─→ documents ──match──→ ranked results
//
// Words are letters and digits; in a text a hyphenated word counts whole and by its parts,
// in a query it is one word. Case is folded, "ё" is "е", and words are reduced to stems by
// Snowball: the Russian rules for a word with Cyrillic letters, the English ones for a Latin
// word, digits as written. A query word matches a document word with the same stem, or one
// whose stem begins with the query word's stem when that is at least four letters long
// ("японск" finds "японская"). A document is found when it holds every query word, in its
// title or in its text.
//
// Found documents whose title holds every query word come first, then the rest; within
// each group more matches rank higher, and equal ones keep the order of the sections and
// of their files, the catalogue last.
//
// Every search reads the files again, so it always sees what the reader windows show; only
// the stems of words are remembered between searches. A file that cannot be read is
// reported (core::reportFailure) once, not again while it stays unreadable, and the other
// files are still searched.
#pragma once

#include "search/span.h"

#include <QList>
#include <QString>
#include <memory>

namespace search {

// A reading section: its topic file as the program names it ("text\\kvs.ssu") and the
// title shown for it ("Лечение собаки").
struct Section {
    QString file;
    QString title;
};

enum class Kind { Topic, Breed };

struct Result {
    Kind kind = Kind::Topic;
    QString file;   // the section's topic file, or the catalogue file
    QString source; // the section's title, or the catalogue's label
    QString title;  // the topic's title, or the breed's name
    int row = 0;    // the topic's first place in its section's title list, or the breed's
                    // record number in the catalogue, from 0
    QString label; // as the result list shows it: "Лечение собаки › Клещи и пироплазмоз"
    // The paragraph of a topic, or the sentences of a breed's description, holding the most
    // matches, cut to about 300 characters around its first match with "…" where cut.
    QString passage;
    QList<Span> marks; // the matched words in passage, in order
};

// "source › title", with U+203A between spaces.
QString resultLabel(const QString& source, const QString& title);

// Remembers the stems it has computed; one engine serves one thread.
class Engine {
public:
    Engine(QList<Section> sections, QString catalogueFile, QString catalogueLabel);
    ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // Ranked results; none for a query without words.
    QList<Result> find(QStringView query);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace search
