// SPDX-License-Identifier: GPL-3.0-or-later
// The words of a query as the index is asked for them: each query word becomes a term with
// the ways it can be found (its stem, its hyphenated parts, the entries of the author's word
// groups, the word being typed as a beginning), and the author's groups and optional words
// are read here from text\slova.ssu (search/wordgroups.h).
#pragma once

#include "search/index.h"
#include "search/span.h"
#include "search/words.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

namespace search {

// Query words beyond this many are ignored (each is one bit of a mask), and so are the words
// of a phrase beyond what four bits count.
constexpr qsizetype MaxTerms = 32;
constexpr qsizetype MaxUnits = 15;
// A stem this long or longer also finds the stems that begin with it; one this short or
// shorter finds only its own word form.
constexpr qsizetype PrefixStem = 4;
constexpr qsizetype ShortStem = 2;
// The word being typed matches as a beginning from this many letters.
constexpr qsizetype TypedBeginning = 2;
// An entry of a word group weighs a little below the word itself, a word derived from it
// ("японская" for "японск") lower.
constexpr float GroupWeight = 0.8f;
constexpr float DerivedWeight = 0.6f;

// One word to look for in the index.
struct Unit {
    std::optional<QByteArray> key; // folded; nothing when no content file can hold it
    QByteArray stem;
    bool beginning = false; // any form that begins with key
    bool derived = true;    // also forms whose stem begins with this one ("японская")
    // Other words of its family (search/families.h), each a stem in content bytes: forms of
    // exactly that stem, or with kinDerived those that go on by a few letters.
    QList<QByteArray> kin;
    bool kinDerived = false;
};

// Ways a term can be found; an alternative of several units needs all of them.
struct Alternative {
    QList<Unit> units;
    float weight = 1;
    bool beginning = false;
};

struct Term {
    QString key;  // folded, as typed
    Span inQuery; // in the query
    bool typed = false;
    QList<Alternative> alternatives;
};

// The forms of the file a unit finds, each with its weight: a form of the same stem counts
// whole, one whose stem only begins with the unit's (a word derived from it) less.
QList<std::pair<quint32, float>> formsOf(const FileIndex& index, const Unit& unit);

// Russian drops a vowel as some words bend ("щенок", "щенка"; "коготь", "когти"): a stem
// ending in о or е between consonants also stands for the stem without it, and one ending
// in two consonants for the stem with о or е between them.
QStringList fleetingStems(const QString& stem);

// The author's word groups and optional words, and the terms of a query made with them.
class QueryWords {
public:
    explicit QueryWords(QString groupsFile) : m_groupsFile(std::move(groupsFile)) {}

    const QString& groupsFile() const { return m_groupsFile; }
    // Reads the groups again when their file changed; none without the file. Throws
    // base::RuntimeFailure when it cannot be read (then call forget()).
    void readGroups();
    void forget();

    // What a word is known by in the groups: its stem, or itself when the stem is short; a
    // hyphenated word written together.
    QString matchKey(const QString& key);
    bool isOptional(const QString& key) { return m_optionalWords.contains(matchKey(key)); }

    Unit unitOf(const QString& key, bool beginning, bool derived = true);
    Term termOf(const QString& key, Span inQuery, bool typed);
    // Adds the other words of the term's family (search/families.h): a diminutive's plain
    // word always (termOf does), with rare the words of its root too.
    void addKin(Term& term, bool rare);
    // The query's terms, each word once; the last one is typed when nothing follows it.
    QList<Term> termsOf(const QString& folded);

    Stemmer& stemmer() { return m_stemmer; }

private:
    QList<Alternative> alternativesOf(QStringView phrase, float weight, bool derived);

    QString m_groupsFile;
    std::optional<FileStamp> m_groupsStamp;
    QList<QStringList> m_groups;              // entries, folded
    QHash<QString, QList<int>> m_groupsByKey; // an entry's match key → its groups
    QSet<QString> m_optionalWords;            // match keys
    Stemmer m_stemmer;
};

} // namespace search
