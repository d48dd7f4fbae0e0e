// SPDX-License-Identifier: GPL-3.0-or-later
// The search of the reference: finds the words of a query in every topic of the reading
// sections and in every breed of the catalogue. No widgets.
//
//   query ──fold case, split into words, stem──→ terms (each with its other forms:
//                                                 word groups, hyphens, the word being typed)
//   section files, catalogue ──index per file (search/index.h)──→ documents holding each term
//        ──rank──→ the first results ──read back from the files──→ passages, marks
//
// The query's terms are made in search/terms.h, ranked in search/ranking.h, and passages cut
// in search/passage.h; this file runs them over the indexes.
//
// Words are letters and digits; case is folded, "ё" is "е", and words are reduced to stems
// by Snowball (Russian for Cyrillic, English for Latin, digits as written). A term matches a
// document word with the same stem, or one whose stem begins with the term's stem when that
// is four letters or more ("японск" finds "японская"); a term whose stem is two letters or
// shorter matches only its own form ("той" is not "то"). A hyphenated word also matches
// written together and apart ("чихуа-хуа": "чихуахуа", "чихуа хуа"). Entries of the
// author's word groups (search/wordgroups.h) stand for one another. The last word of the
// query, while it is being typed (no space after it), also matches as the beginning of a
// word from its second letter ("кл" finds "клещи"). A diminutive also finds its plain word
// ("ушки": "уши"), and a word found nowhere as it is the others of its family
// ("отморозил": "обморожение"; search/families.h), both weighing less than the word itself.
// A word of five letters or more found nowhere, not even so, is retried with one letter
// changed, added, dropped or two swapped; one in Latin letters is also read as said, in
// Cyrillic («klicker»: «кликер»; search/latin.h), and then so retried. The answer says what
// it searched for.
//
// Which terms a document must hold: all but the author's optional words (question words,
// prepositions), words that more than half of all documents hold («собака», «у») and words
// found nowhere (the answer names them), unless nothing else is asked. Documents holding every
// required term come first, and with them, marked as partial, those missing only words that more
// than a quarter of all documents hold («такое», «щенок») when they hold every rarer one (the
// rare words carry the question), and topics missing one word whose titles hold the rare words
// they have; those where the typed word matched only as a beginning next;
// when fewer than a few documents hold them all, those missing one follow, marked as partial.
// Within each, topics and breeds named by the query come before breeds whose descriptions only
// mention the words, then documents whose title holds every required term, then by score: each term
// weighs by how rare it is across all documents (the inverse document frequency of BM25, with its
// saturating count and length norm; title words count thrice), and terms found close together gain
// up to half the weight of all but the weightiest of them. Equal ones keep the order of the
// sections and of their files, the catalogue last.
//
// Each file is indexed when first searched and again whenever its size, times or identity
// change, so a search sees the files as they are now; a file changed during a search gives
// its old text or its new one, never a mix (results found in the old index are read back
// only when the file still holds what was indexed, else the search starts again). A file
// that cannot be read is named in the answer, and the other files are still searched.
#pragma once

#include "search/index.h"
#include "search/marks.h"
#include "search/span.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
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
    bool partial = false; // holds all but one of the query's words
    // The paragraph of a topic, or the sentences of a breed's description, holding the most
    // matches, cut to about 300 characters around its first match with "…" where cut.
    QString passage;
    QList<Span> marks; // the matched words in passage, in order
    // The forms the query found in the result's file, to mark them in its whole text (one
    // for all of the file's results).
    std::shared_ptr<const FoundWords> found;
};

struct Answer {
    QList<Result> results; // the first MaxResults, best first
    qsizetype found = 0;   // documents holding every word of the query
    qsizetype partial = 0; // listed after them, each missing one word
    // The query as searched when a word was found nowhere and retried with one edit
    // ("лабрадор" for "лабродор"); empty otherwise.
    QString searchedFor;
    // The query's words (as searched) found nowhere, question words aside. The results then
    // hold the other words and are all partial; with none, nothing is listed.
    QStringList unfound;
    QStringList unreadable; // content files that could not be read ("text\\HCD.ssu")
    // False in an early answer: every result listed, the passages of the first ones only.
    bool complete = true;
};

// At most this many results are listed; the answer still counts them all.
constexpr qsizetype MaxResults = 500;

// "source › title", with U+203A between spaces.
QString resultLabel(const QString& source, const QString& title);

// When a search should give way: a newer request (latest moved on from mine) or the end
// of the program. Reading files is never given up for a newer request, only for the end.
struct Yield {
    const std::atomic<quint64>* latest = nullptr;
    quint64 mine = 0;
    const std::atomic<bool>* stopping = nullptr;
    bool stop() const { return stopping && stopping->load(std::memory_order_relaxed); }
    bool giveWay() const {
        return stop() || (latest && latest->load(std::memory_order_relaxed) != mine);
    }
};

// Keeps the index of every file and the stems it has computed; one engine serves one
// thread.
class Engine {
public:
    // groupsFile: the author's word groups (empty: none); a missing one is no failure.
    Engine(QList<Section> sections, QString catalogueFile, QString catalogueLabel,
           QString groupsFile = {});
    ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // Ranked results; none for a query without words. Throws Interrupted when yield says.
    // With many results, early gets them first with the passages of the first ones only.
    using EarlyAnswer = std::function<void(const Answer&)>;
    Answer find(QStringView query, const Yield& yield = {}, const EarlyAnswer& early = {});
    // Brings every index up to date with its file (what the first search would do).
    void refresh(const Yield& yield = {});
    // Gives back the working memory of the last search; the indexes stay.
    void release();
    // The indexes' memory, in bytes.
    qsizetype indexBytes() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace search
