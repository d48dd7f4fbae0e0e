// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/engine.h"

#include "base/failure.h"
#include "base/text.h"
#include "search/documents.h"
#include "search/passage.h"
#include "search/wordgroups.h"
#include "search/words.h"

#include <QHash>
#include <QSet>
#include <QVarLengthArray>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <numeric>
#include <optional>
#include <vector>

namespace search {

namespace {

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
// A word found nowhere is retried with one edit from this many letters.
constexpr qsizetype TypoLetters = 5;
// Fewer documents than this holding every word: those missing one follow.
constexpr qsizetype FewFull = 5;

// Ranking: BM25's saturation and length norm, words in the title counted thrice, an entry
// of a word group a little below the word itself, a word derived from it ("японская"
// for "японск") lower, an optional word (see search/wordgroups.h) at under a third; words close
// together gain up to half the weight of all but the weightiest of them.
constexpr float K1 = 1.2f;
constexpr float B = 0.75f;
constexpr float TitleWeight = 3;
constexpr float GroupWeight = 0.8f;
constexpr float DerivedWeight = 0.6f;
constexpr float OptionalWeight = 0.3f;
constexpr float ProximityWeight = 0.5f;

// A file that changes under a search is indexed again and the search started over, this
// many times at most.
constexpr int Attempts = 3;
// The first results' passages come in an early answer, before the rest are read back.
constexpr qsizetype FirstPassages = 60;
// A file this small is read whole when its texts are read back.
constexpr qint64 WholeFileBytes = 4 << 20;
// The word groups file is small; anything larger is no such file.
constexpr qint64 MaxGroupsBytes = 4 << 20;

// How a document matched a term.
enum Flag : quint8 { Whole = 1, Beginning = 2, Title = 4 };

// One word to look for in the index.
struct Unit {
    std::optional<QByteArray> key; // folded; nothing when no content file can hold it
    QByteArray stem;
    bool beginning = false; // any form that begins with key
    bool derived = true;    // also forms whose stem begins with this one ("японская")
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

// A document found for a term in one file.
struct Hit {
    quint32 doc;
    float count; // weighted
    quint8 flags;
};

struct Candidate {
    int file;
    quint32 doc;
    int group; // 0 every term whole, 1 the typed one as a beginning, 2 partial
    bool titleAll;
    float score;
};

bool ranksBefore(const Candidate& a, const Candidate& b) {
    if (a.group != b.group) return a.group < b.group;
    if (a.titleAll != b.titleAll) return a.titleAll;
    if (a.score != b.score) return a.score > b.score;
    if (a.file != b.file) return a.file < b.file;
    return a.doc < b.doc;
}

struct Changed {
    int file;
};

struct Mark {
    Span span; // in the document's text
    int term;
    int position; // the word's place in the document
};

// The sentence with the most of the query words, then the most matches; the first of equals.
qsizetype bestSentence(const QList<Span>& sentences, const QList<Mark>& hits, qsizetype terms) {
    qsizetype best = 0, bestWords = 0, bestCount = 0;
    for (qsizetype i = 0; i < sentences.size(); ++i) {
        QVarLengthArray<bool, 8> seen(terms, false);
        qsizetype distinct = 0, count = 0;
        for (const Mark& h : hits) {
            if (h.span.offset < sentences[i].offset || h.span.end() > sentences[i].end()) continue;
            ++count;
            if (!std::exchange(seen[h.term], true)) ++distinct;
        }
        if (distinct > bestWords || (distinct == bestWords && count > bestCount)) {
            best = i;
            bestWords = distinct;
            bestCount = count;
        }
    }
    return best;
}

// Around the best sentence, the neighbours that fit in a passage.
Span sentenceWindow(const QList<Span>& sentences, qsizetype best) {
    qsizetype lo = best, hi = best;
    for (bool grew = true; grew;) {
        grew = false;
        if (hi + 1 < sentences.size() &&
            sentences[hi + 1].end() - sentences[lo].offset <= PassageLength) {
            ++hi;
            grew = true;
        }
        if (lo > 0 && sentences[hi].end() - sentences[lo - 1].offset <= PassageLength) {
            --lo;
            grew = true;
        }
    }
    return {sentences[lo].offset, sentences[hi].end() - sentences[lo].offset};
}

// The fewest words in a row holding every term found in the document (by position).
int narrowestWindow(const QList<Mark>& marks, int terms, int present) {
    QList<Mark> sorted = marks;
    std::sort(sorted.begin(), sorted.end(),
              [](const Mark& a, const Mark& b) { return a.position < b.position; });
    QVarLengthArray<int, 8> inWindow(terms, 0);
    int covered = 0, best = std::numeric_limits<int>::max();
    for (qsizetype lo = 0, hi = 0; hi < sorted.size(); ++hi) {
        if (inWindow[sorted[hi].term]++ == 0) ++covered;
        while (covered == present) {
            best = std::min(best, sorted[hi].position - sorted[lo].position + 1);
            if (--inWindow[sorted[lo].term] == 0) --covered;
            ++lo;
        }
    }
    return best;
}

// Russian drops a vowel as some words bend ("щенок", "щенка"; "коготь", "когти"): a stem
// ending in о or е between consonants also stands for the stem without it, and one ending
// in two consonants for the stem with о or е between them.
QStringList fleetingStems(const QString& stem) {
    const auto consonant = [](QChar c) {
        return c >= QChar(0x0430) && c <= QChar(0x044F) &&
               !QStringLiteral("аеиоуыэюяйьъ").contains(c);
    };
    const qsizetype n = stem.size();
    if (n < 4 || !consonant(stem[n - 1])) return {};
    if ((stem[n - 2] == u'о' || stem[n - 2] == u'е') && consonant(stem[n - 3]))
        return {QString(stem).remove(n - 2, 1)};
    if (consonant(stem[n - 2]))
        return {QString(stem).insert(n - 1, u'о'), QString(stem).insert(n - 1, u'е')};
    return {};
}

} // namespace

QString resultLabel(const QString& source, const QString& title) {
    return source + QStringLiteral(" \u203A ") + title;
}

struct Engine::Private {
    struct File {
        QString file;
        QString source;
        Kind kind;
        std::unique_ptr<FileIndex> index;
    };
    std::vector<File> files;
    QString groupsFile;
    std::optional<FileStamp> groupsStamp;
    QList<QStringList> groups;              // entries, folded
    QHash<QString, QList<int>> groupsByKey; // an entry's match key → its groups
    QSet<QString> optionalWords;            // match keys
    Stemmer stemmer;

    // Working memory of a search, as large as the largest file's documents.
    struct Scratch {
        QList<float> count, sum;
        QList<quint8> flags;
        QList<quint8> units;
        QList<quint64> touched;
        QList<float> score;
        QList<quint32> mask, whole, title;
        void fit(qsizetype docs) {
            if (count.size() >= docs) return;
            count.resize(docs);
            sum.resize(docs);
            flags.resize(docs);
            units.resize(docs);
            touched.resize((docs + 63) / 64);
            score.resize(docs);
            mask.resize(docs);
            whole.resize(docs);
            title.resize(docs);
        }
    } scratch;

    QStringList refresh(const Yield& yield);
    void readGroups();
    QString matchKey(const QString& key);
    Unit unitOf(const QString& key, bool beginning, bool derived = true);
    QList<Alternative> alternativesOf(QStringView phrase, float weight, bool derived);
    Term termOf(const QString& key, Span inQuery, bool typed);
    QList<std::pair<quint32, float>> formsOf(const FileIndex& index, const Unit& unit) const;
    QList<Hit> hitsOf(const FileIndex& index, const Term& term, const Yield& yield);
    qsizetype documentsFor(const Unit& unit) const;
    std::optional<QString> correction(const Term& term);
    Answer search(QStringView query, const Yield& yield, const EarlyAnswer& early);
};

QStringList Engine::Private::refresh(const Yield& yield) {
    QStringList unreadable;
    for (File& f : files) {
        if (f.file.isEmpty()) continue;
        const std::optional<FileStamp> stamp = stampOf(f.file);
        if (f.index && stamp && f.index->stamp() == *stamp) continue;
        f.index.reset();
        try {
            f.index = FileIndex::build(f.file,
                                       f.kind == Kind::Breed ? FileIndex::Layout::Catalogue
                                                             : FileIndex::Layout::Topics,
                                       stemmer, [&] { return yield.stop(); });
        } catch (const base::RuntimeFailure&) {
            unreadable.append(f.file);
        }
    }
    try {
        readGroups();
    } catch (const base::RuntimeFailure&) {
        unreadable.append(groupsFile);
        groupsStamp.reset();
        groups.clear();
        groupsByKey.clear();
        optionalWords.clear();
    }
    return unreadable;
}

// The author's groups: none without the file.
void Engine::Private::readGroups() {
    if (groupsFile.isEmpty()) return;
    const std::optional<FileStamp> stamp = stampOf(groupsFile);
    if (stamp == groupsStamp) return;
    groupsStamp = stamp;
    groups.clear();
    groupsByKey.clear();
    optionalWords.clear();
    if (!stamp) return;
    if (stamp->size > MaxGroupsBytes)
        base::fail(base::ErrPathAccess, QStringLiteral("Файл слишком велик: %1").arg(groupsFile));
    base::ContentFileReader reader(groupsFile);
    const QString text = base::decodeCp1251(reader.read(MaxGroupsBytes));
    const WordGroups parsed = parseWordGroups(text);
    for (const QString& word : parsed.optionalWords)
        optionalWords.insert(matchKey(word));
    for (const WordGroup& g : parsed.groups) {
        const int id = int(groups.size());
        groups.append(g.entries);
        for (const QString& entry : g.entries) {
            WordReader words(entry);
            Word word;
            words.next(word);
            if (word.whole.length != entry.size()) continue; // several words: found, not finding
            QList<int>& list = groupsByKey[matchKey(entry)];
            if (!list.contains(id)) list.append(id);
        }
    }
}

// What a word is known by in the groups: its stem, or itself when the stem is short; a
// hyphenated word written together.
QString Engine::Private::matchKey(const QString& key) {
    QString joined = key;
    joined.remove(u'-');
    const QString stem = stemmer.stem(joined);
    return stem.size() <= ShortStem ? joined : stem;
}

Unit Engine::Private::unitOf(const QString& key, bool beginning, bool derived) {
    Unit unit;
    unit.key = toContentBytes(key);
    unit.beginning = beginning;
    unit.derived = derived;
    if (unit.key && !beginning) unit.stem = toContentBytes(stemmer.stem(key)).value_or(*unit.key);
    return unit;
}

// The words of a phrase (a query word, a group's entry), each hyphenated one written
// together, or else apart. An entry of a group finds only its own word's forms, not the
// words derived from it.
QList<Alternative> Engine::Private::alternativesOf(QStringView phrase, float weight, bool derived) {
    Alternative together{{}, weight, false}, apart{{}, weight, false};
    bool hyphen = false;
    WordReader reader(phrase);
    Word word;
    QList<Alternative> others;
    while (reader.next(word) && together.units.size() < MaxUnits && apart.units.size() < MaxUnits) {
        if (word.partCount == 1) {
            const QString key =
                wordKey(phrase.sliced(word.whole.offset, word.whole.length), word.marked);
            const Unit unit = unitOf(key, false, derived);
            together.units.append(unit);
            apart.units.append(unit);
            if (phrase.size() == word.whole.length)
                for (const QString& stem : fleetingStems(stemmer.stem(key)))
                    others.append(
                        {{{unit.key, *toContentBytes(stem), false, false}}, weight, false});
            continue;
        }
        hyphen = true;
        QString joined;
        for (int i = 0; i < word.partCount; ++i) {
            const QString part =
                wordKey(phrase.sliced(word.parts[i].offset, word.parts[i].length), word.marked);
            joined += part;
            apart.units.append(unitOf(part, false, derived));
        }
        together.units.append(unitOf(joined, false, derived));
    }
    if (together.units.isEmpty()) return {};
    if (!hyphen) return QList<Alternative>{together} + others;
    return {together, apart};
}

Term Engine::Private::termOf(const QString& key, Span inQuery, bool typed) {
    Term term{key, inQuery, typed, alternativesOf(key, 1, true)};
    for (int g : groupsByKey.value(matchKey(key))) {
        for (const QString& entry : std::as_const(groups[g]))
            if (entry != key) term.alternatives += alternativesOf(entry, GroupWeight, false);
    }
    if (typed) {
        QString joined = key;
        joined.remove(u'-');
        if (joined.size() >= TypedBeginning)
            term.alternatives.append({{unitOf(joined, true)}, 1, true});
    }
    return term;
}

// The forms of the file a unit finds, each with its weight: a form of the same stem counts
// whole, one whose stem only begins with the unit's (a word derived from it) less.
QList<std::pair<quint32, float>> Engine::Private::formsOf(const FileIndex& index,
                                                          const Unit& unit) const {
    QList<std::pair<quint32, float>> forms;
    if (!unit.key || unit.key->isEmpty()) return forms;
    if (unit.beginning) {
        const auto [first, last] = index.formsBeginning(*unit.key);
        for (quint32 id = first; id < last; ++id)
            forms.append({id, 1});
        return forms;
    }
    if (unit.stem.size() <= ShortStem) {
        if (const auto id = index.find(*unit.key)) forms.append({*id, 1});
        return forms;
    }
    // A Russian stem begins every word that has it; for other stems only the first letter
    // is sure.
    const bool cyrillic = isCyrillicStem(QByteArrayView(unit.stem));
    const auto [first, last] = index.formsBeginning(cyrillic ? QByteArrayView(unit.stem)
                                                             : QByteArrayView(unit.stem).first(1));
    for (quint32 id = first; id < last; ++id) {
        const QByteArrayView stem = index.stem(id);
        if (stem == unit.stem)
            forms.append({id, 1});
        else if (unit.derived && unit.stem.size() >= PrefixStem && stem.startsWith(unit.stem))
            forms.append({id, DerivedWeight});
    }
    return forms;
}

// Every document of the file that holds the term, in document order.
QList<Hit> Engine::Private::hitsOf(const FileIndex& index, const Term& term, const Yield& yield) {
    Scratch& s = scratch;
    qsizetype postings = 0;
    const auto tick = [&] {
        if ((++postings & 0xFFFF) == 0 && yield.giveWay()) throw Interrupted{};
    };
    for (const Alternative& alt : term.alternatives) {
        const quint8 how = alt.beginning ? Beginning : Whole;
        if (alt.units.size() == 1) {
            for (const auto& [id, weight] : formsOf(index, alt.units[0]))
                index.forEachPosting(id, [&](quint32 doc, quint32 count, bool inTitle) {
                    tick();
                    s.count[doc] +=
                        alt.weight * weight * (float(count) + (inTitle ? TitleWeight : 0));
                    s.flags[doc] |= how | (inTitle ? Title : 0);
                    s.touched[doc / 64] |= quint64(1) << (doc % 64);
                });
            continue;
        }
        // Several words: a document needs each of them in its text, or each in its title;
        // a word of its title and another of its text are no phrase. units holds how many
        // of them it has so far in its text (low half) and in its title (high half).
        QList<quint32> docs;
        for (qsizetype u = 0; u < alt.units.size(); ++u) {
            for (const auto& [id, weight] : formsOf(index, alt.units[u]))
                index.forEachPosting(id, [&](quint32 doc, quint32 count, bool inTitle) {
                    tick();
                    quint8& held = s.units[doc];
                    if (u == 0 && held == 0) docs.append(doc);
                    if (count > 0 && (held & 0x0F) == u) held = quint8((held & 0xF0) | (u + 1));
                    if (inTitle && (held >> 4) == u) held = quint8((held & 0x0F) | ((u + 1) << 4));
                    if (count > 0 && (held & 0x0F) == u + 1) s.sum[doc] += weight * float(count);
                });
        }
        const int all = int(alt.units.size());
        for (quint32 doc : std::as_const(docs)) {
            const bool inText = (s.units[doc] & 0x0F) == all, titled = (s.units[doc] >> 4) == all;
            if (inText || titled) {
                s.count[doc] +=
                    alt.weight * ((inText ? s.sum[doc] : 0) + (titled ? TitleWeight : 0));
                s.flags[doc] |= how | (titled ? Title : 0);
                s.touched[doc / 64] |= quint64(1) << (doc % 64);
            }
            s.units[doc] = 0;
            s.sum[doc] = 0;
        }
    }
    QList<Hit> hits;
    for (qsizetype w = 0; w < (index.documentCount() + 63) / 64; ++w) {
        for (quint64 bits = std::exchange(s.touched[w], 0); bits; bits &= bits - 1) {
            const quint32 doc = quint32(w * 64 + std::countr_zero(bits));
            hits.append({doc, s.count[doc], s.flags[doc]});
            s.count[doc] = 0;
            s.flags[doc] = 0;
        }
    }
    return hits;
}

// About how many documents a unit is found in (a form's documents counted once per form).
qsizetype Engine::Private::documentsFor(const Unit& unit) const {
    qsizetype documents = 0;
    for (const File& f : files)
        if (f.index)
            for (const auto& form : formsOf(*f.index, unit))
                documents += f.index->documentsWith(form.first);
    return documents;
}

// The word with one edit that is found in the most documents, for a word found nowhere.
std::optional<QString> Engine::Private::correction(const Term& term) {
    const QString& key = term.key;
    qsizetype letters = 0;
    bool cyrillic = true, latin = true;
    for (QChar c : key) {
        if (!c.isLetter()) return std::nullopt;
        ++letters;
        cyrillic = cyrillic && c >= QChar(0x0430) && c <= QChar(0x044F);
        latin = latin && c >= u'a' && c <= u'z';
    }
    if (letters < TypoLetters || !(cyrillic || latin)) return std::nullopt;
    const char16_t from = cyrillic ? 0x0430 : u'a', to = cyrillic ? 0x044F : u'z';

    std::optional<QString> best;
    qsizetype bestDocuments = 0;
    const auto consider = [&](const QString& variant) {
        qsizetype documents = documentsFor(unitOf(variant, false));
        if (term.typed) documents += documentsFor(unitOf(variant, true));
        if (documents > bestDocuments) {
            best = variant;
            bestDocuments = documents;
        }
    };
    for (qsizetype i = 0; i <= key.size(); ++i) {
        if (i < key.size()) consider(QString(key).remove(i, 1));
        if (i + 1 < key.size() && key[i] != key[i + 1]) {
            QString swapped = key;
            std::swap(swapped[i], swapped[i + 1]);
            consider(swapped);
        }
        for (char16_t c = from; c <= to; ++c) {
            if (i < key.size() && key[i] != QChar(c)) {
                QString changed = key;
                changed[i] = QChar(c);
                consider(changed);
            }
            consider(QString(key).insert(i, QChar(c)));
        }
    }
    return best;
}

Answer Engine::Private::search(QStringView query, const Yield& yield, const EarlyAnswer& early) {
    Answer answer;
    answer.unreadable = refresh(yield);

    // The terms, each word once.
    const QString folded = foldCase(query);
    QList<Term> terms;
    {
        WordReader reader(folded);
        Word word;
        QList<Span> spans;
        while (reader.next(word))
            spans.append(word.whole);
        for (qsizetype i = 0; i < spans.size() && terms.size() < MaxTerms; ++i) {
            const QString key =
                wordKey(QStringView(folded).sliced(spans[i].offset, spans[i].length), true);
            const bool typed = i + 1 == spans.size() && spans[i].end() == folded.size();
            if (std::any_of(terms.cbegin(), terms.cend(),
                            [&](const Term& t) { return matchKey(t.key) == matchKey(key); }))
                continue;
            terms.append(termOf(key, spans[i], typed));
        }
    }
    if (terms.isEmpty()) return answer;

    qsizetype documents = 0;
    quint64 words = 0;
    for (const File& f : std::as_const(files)) {
        if (!f.index) continue;
        documents += f.index->documentCount();
        words += f.index->totalLength();
        scratch.fit(f.index->documentCount());
    }
    if (documents == 0) return answer;
    const float averageLength = std::max(1.0f, float(words) / float(documents));

    // Which documents of each file hold each term.
    QList<QList<QList<Hit>>> hits(terms.size(), QList<QList<Hit>>(qsizetype(files.size())));
    QList<qsizetype> holding(terms.size(), 0);
    const auto gather = [&](qsizetype t) {
        holding[t] = 0;
        for (qsizetype f = 0; f < qsizetype(files.size()); ++f) {
            hits[t][f] = files[f].index ? hitsOf(*files[f].index, terms[t], yield) : QList<Hit>();
            holding[t] += hits[t][f].size();
        }
    };
    bool corrected = false;
    QString searchedFor = query.toString();
    for (qsizetype t = terms.size() - 1; t >= 0; --t) {
        gather(t);
        // An optional word found nowhere is no typo: it is simply not needed.
        if (holding[t] > 0 || optionalWords.contains(matchKey(terms[t].key))) continue;
        if (const std::optional<QString> other = correction(terms[t])) {
            searchedFor.replace(terms[t].inQuery.offset, terms[t].inQuery.length, *other);
            terms[t] = termOf(*other, terms[t].inQuery, terms[t].typed);
            corrected = true;
            gather(t);
        }
    }
    if (corrected) answer.searchedFor = searchedFor.simplified();

    // Scores, and the documents worth listing. The author's optional words and words most
    // documents hold are not required, unless nothing else is asked (then the words most
    // documents hold are, and failing those the optional ones).
    const int n = int(terms.size());
    const quint32 every = n == 32 ? ~quint32(0) : (quint32(1) << n) - 1;
    quint32 asked = 0, required = 0;
    for (int t = 0; t < n; ++t) {
        if (optionalWords.contains(matchKey(terms[t].key))) continue;
        asked |= quint32(1) << t;
        if (holding[t] * 2 <= documents) required |= quint32(1) << t;
    }
    if (required == 0) required = asked ? asked : every;
    const int needed = std::popcount(required);
    // Optional words weigh less, unless they are all that is asked.
    QList<float> idf(n);
    for (int t = 0; t < n; ++t)
        idf[t] = (asked && !(asked & (quint32(1) << t)) ? OptionalWeight : 1) *
                 std::log(1.0f + (float(documents) - float(holding[t]) + 0.5f) /
                                     (float(holding[t]) + 0.5f));
    QList<Candidate> candidates;
    Scratch& s = scratch;
    for (int f = 0; f < int(files.size()); ++f) {
        if (!files[f].index) continue;
        if (yield.giveWay()) throw Interrupted{};
        const FileIndex& index = *files[f].index;
        for (int t = 0; t < n; ++t) {
            const quint32 bit = quint32(1) << t;
            for (const Hit& h : std::as_const(hits[t][f])) {
                const float norm = K1 * (1 - B + B * float(index.length(h.doc)) / averageLength);
                s.score[h.doc] += idf[t] * h.count * (K1 + 1) / (h.count + norm);
                s.mask[h.doc] |= bit;
                if (h.flags & Whole) s.whole[h.doc] |= bit;
                if (h.flags & Title) s.title[h.doc] |= bit;
                s.touched[h.doc / 64] |= quint64(1) << (h.doc % 64);
            }
        }
        for (qsizetype w = 0; w < (index.documentCount() + 63) / 64; ++w) {
            for (quint64 bits = std::exchange(s.touched[w], 0); bits; bits &= bits - 1) {
                const quint32 doc = quint32(w * 64 + std::countr_zero(bits));
                const int present = std::popcount(s.mask[doc] & required);
                int group = -1;
                if (present == needed)
                    group = (s.whole[doc] & required) == required ? 0 : 1;
                else if (needed >= 2 && present == needed - 1)
                    group = 2;
                if (group >= 0)
                    candidates.append(
                        {f, doc, group, (s.title[doc] & required) == required, s.score[doc]});
                s.score[doc] = 0;
                s.mask[doc] = s.whole[doc] = s.title[doc] = 0;
            }
        }
    }
    answer.found = std::count_if(candidates.cbegin(), candidates.cend(),
                                 [](const Candidate& c) { return c.group < 2; });
    if (answer.found >= FewFull)
        candidates.erase(std::remove_if(candidates.begin(), candidates.end(),
                                        [](const Candidate& c) { return c.group == 2; }),
                         candidates.end());
    answer.partial = candidates.size() - answer.found;
    const qsizetype shown = std::min(candidates.size(), MaxResults);
    std::partial_sort(candidates.begin(), candidates.begin() + shown, candidates.end(),
                      ranksBefore);
    candidates.resize(shown);

    // The forms each term found, per file, to mark them in the texts read back; and by
    // first byte, the lengths they have, so that most words need not be looked up.
    struct Found {
        QHash<QByteArray, quint32> terms;
        std::array<quint64, 256> lengths{};
    };
    std::vector<Found> found(files.size());
    for (int f = 0; f < int(files.size()); ++f) {
        if (!files[f].index) continue;
        for (int t = 0; t < n; ++t)
            for (const Alternative& alt : std::as_const(terms[t].alternatives))
                for (const Unit& unit : alt.units)
                    for (const auto& form : formsOf(*files[f].index, unit)) {
                        const QByteArrayView bytes = files[f].index->form(form.first);
                        found[f].terms[bytes.toByteArray()] |= quint32(1) << t;
                        found[f].lengths[uchar(bytes[0])] |=
                            quint64(1) << std::min<qsizetype>(bytes.size(), 63);
                    }
    }

    // A listed document read back: its passage, and how close its words stand (which
    // adds to its score). A small file is read whole, once.
    std::vector<std::unique_ptr<base::ContentFileReader>> readers(files.size());
    std::vector<std::optional<QByteArray>> wholes(files.size());
    const char* fold = byteFolding().data();
    const auto readBack = [&](Candidate& c, Result& r) {
        if (yield.giveWay()) throw Interrupted{};
        const File& file = files[c.file];
        const FileIndex& index = *file.index;
        std::optional<DocumentText> text;
        try {
            auto& reader = readers[c.file];
            if (!reader) reader = std::make_unique<base::ContentFileReader>(file.file);
            std::optional<QByteArray>& whole = wholes[c.file];
            if (!whole && index.stamp().size <= WholeFileBytes)
                whole = reader->readAt(0, qsizetype(index.stamp().size));
            text = index.readText(c.doc, [&](qint64 offset, qsizetype length) {
                return whole ? whole->mid(offset, length) : reader->readAt(offset, length);
            });
        } catch (const base::RuntimeFailure&) {
            // Gone or unreadable since it was indexed: the next attempt says which.
        }
        if (!text) throw Changed{c.file};
        const QString decoded = base::decodeCp1251(text->bytes);
        const Found& forms = found[c.file];
        // The terms a word of the text stands for (the parts of a hyphenated one joined).
        const auto termsOf = [&](QByteArrayView bytes, const Span* parts, int count) {
            qsizetype length = 0;
            for (int i = 0; i < count; ++i)
                length += parts[i].length;
            const char first = fold[uchar(bytes[parts[0].offset])];
            if (!(forms.lengths[uchar(first)] & (quint64(1) << std::min<qsizetype>(length, 63))))
                return quint32(0);
            char key[64];
            length = 0;
            for (int i = 0; i < count; ++i)
                for (qsizetype b = parts[i].offset; b < parts[i].end(); ++b) {
                    if (length == qsizetype(sizeof key)) return quint32(0);
                    key[length++] = fold[uchar(bytes[b])];
                }
            return forms.terms.value(QByteArray::fromRawData(key, length), 0);
        };

        QList<Mark> marks;
        QList<QList<Mark>> byParagraph;
        int position = 0;
        for (const ByteRange& p : text->paragraphs) {
            QList<Mark>& inParagraph = byParagraph.emplace_back();
            const QByteArrayView bytes = QByteArrayView(text->bytes).sliced(p.offset, p.length);
            ByteWordReader reader(bytes);
            Word word;
            while (reader.next(word)) {
                // A hyphenated word written together marks whole; its parts mark what it
                // did not find.
                quint32 wordTerms = 0;
                if (word.partCount > 1) {
                    wordTerms = termsOf(bytes, word.parts.data(), word.partCount);
                    for (quint32 m = wordTerms; m; m &= m - 1)
                        inParagraph.append({{p.offset + word.whole.offset, word.whole.length},
                                            std::countr_zero(m),
                                            position});
                }
                for (int i = 0; i < word.partCount; ++i) {
                    const Span part = word.parts[i];
                    for (quint32 m = termsOf(bytes, &word.parts[i], 1) & ~wordTerms; m; m &= m - 1)
                        inParagraph.append(
                            {{p.offset + part.offset, part.length}, std::countr_zero(m), position});
                }
                ++position;
            }
            marks += inParagraph;
        }

        // Close together: the fewest words holding every term the text holds.
        quint32 present = 0;
        for (const Mark& m : std::as_const(marks))
            present |= quint32(1) << m.term;
        if (std::popcount(present) >= 2) {
            // Weighed by all but the weightiest word: a rare word beside a common one
            // gains little.
            const int width = narrowestWindow(marks, n, std::popcount(present));
            float weight = 0, heaviest = 0;
            for (quint32 m = present; m; m &= m - 1) {
                weight += idf[std::countr_zero(m)];
                heaviest = std::max(heaviest, idf[std::countr_zero(m)]);
            }
            c.score += ProximityWeight * (weight - heaviest) * float(std::popcount(present) - 1) /
                       float(std::max(width - 1, 1));
        }

        // The passage: a topic's paragraph with the most terms, then the most matches (the
        // first paragraph with text when only the title matched); a breed's sentences.
        Span window;
        const QList<ByteRange>& paragraphs = text->paragraphs;
        QList<Mark> inWindow;
        if (file.kind == Kind::Breed) {
            const QStringView description =
                QStringView(decoded).sliced(paragraphs[0].offset, paragraphs[0].length);
            QList<Span> sentences = splitSentences(description);
            for (Span& sentence : sentences)
                sentence.offset += paragraphs[0].offset;
            window = sentenceWindow(sentences, bestSentence(sentences, marks, n));
        } else if (!paragraphs.isEmpty()) {
            qsizetype best = -1, bestTerms = 0, bestCount = 0;
            for (qsizetype i = 0; i < paragraphs.size(); ++i) {
                quint32 held = 0;
                for (const Mark& m : std::as_const(byParagraph[i]))
                    held |= quint32(1) << m.term;
                const int distinct = std::popcount(held);
                if (distinct > bestTerms ||
                    (distinct == bestTerms && distinct > 0 && byParagraph[i].size() > bestCount)) {
                    best = i;
                    bestTerms = distinct;
                    bestCount = byParagraph[i].size();
                }
            }
            if (best < 0) {
                best = 0;
                for (qsizetype i = 0; i < paragraphs.size(); ++i)
                    if (!QStringView(decoded)
                             .sliced(paragraphs[i].offset, paragraphs[i].length)
                             .trimmed()
                             .isEmpty()) {
                        best = i;
                        break;
                    }
            }
            window = {paragraphs[best].offset, paragraphs[best].length};
        }
        QList<Span> spans;
        for (const Mark& m : std::as_const(marks))
            if (m.span.offset >= window.offset && m.span.end() <= window.end())
                spans.append({m.span.offset - window.offset, m.span.length});
        Passage passage = cutPassage(QStringView(decoded).sliced(window.offset, window.length),
                                     mergeSpans(std::move(spans)));

        r.passage = std::move(passage.text);
        r.marks = std::move(passage.marks);
    };
    // A file changed while its texts were read: its titles may be another version's.
    const auto unchanged = [&](qsizetype from, qsizetype to) {
        for (int f = 0; f < int(files.size()); ++f)
            if (std::any_of(candidates.cbegin() + from, candidates.cbegin() + to,
                            [&](const Candidate& c) { return c.file == f; }) &&
                stampOf(files[f].file) != files[f].index->stamp())
                throw Changed{f};
    };

    QList<Result> results(candidates.size());
    for (qsizetype i = 0; i < candidates.size(); ++i) {
        const Candidate& c = candidates[i];
        const File& file = files[c.file];
        Result& r = results[i];
        r.kind = file.kind;
        r.file = file.file;
        r.source = file.source;
        r.title = file.index->title(c.doc);
        r.row = file.index->row(c.doc);
        r.label = resultLabel(r.source, r.title);
        r.partial = c.group == 2;
    }
    // The first ones read back now, closeness reordering them; an early answer lists them
    // all with these passages, while the rest are read.
    const qsizetype first = std::min(candidates.size(), FirstPassages);
    for (qsizetype i = 0; i < first; ++i)
        readBack(candidates[i], results[i]);
    unchanged(0, first);
    QList<qsizetype> order(candidates.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.begin() + first, [&](qsizetype a, qsizetype b) {
        return ranksBefore(candidates[a], candidates[b]);
    });
    if (first < candidates.size() && early) {
        Answer soon = answer;
        for (qsizetype i : std::as_const(order))
            soon.results.append(results[i]);
        soon.complete = false;
        early(soon);
    }
    for (qsizetype i = first; i < candidates.size(); ++i)
        readBack(candidates[i], results[i]);
    unchanged(first, candidates.size());
    for (qsizetype i : std::as_const(order))
        answer.results.append(std::move(results[i]));
    return answer;
}

Engine::Engine(QList<Section> sections, QString catalogueFile, QString catalogueLabel,
               QString groupsFile)
    : d(new Private) {
    for (const Section& s : sections)
        d->files.push_back({s.file, s.title, Kind::Topic, nullptr});
    if (!catalogueFile.isEmpty())
        d->files.push_back({catalogueFile, catalogueLabel, Kind::Breed, nullptr});
    d->groupsFile = std::move(groupsFile);
}

Engine::~Engine() = default;

Answer Engine::find(QStringView query, const Yield& yield, const EarlyAnswer& early) {
    for (int attempt = 1;; ++attempt) {
        try {
            return d->search(query, yield, early);
        } catch (const Changed& changed) {
            // Indexed again at the next attempt.
            d->files[changed.file].index.reset();
            if (attempt == Attempts) {
                Answer answer;
                answer.unreadable.append(d->files[changed.file].file);
                return answer;
            }
        }
    }
}

void Engine::refresh(const Yield& yield) {
    d->refresh(yield);
}

void Engine::release() {
    d->scratch = {};
}

qsizetype Engine::indexBytes() const {
    qsizetype bytes = 0;
    for (const Private::File& f : d->files)
        if (f.index) bytes += f.index->memoryBytes();
    return bytes;
}

} // namespace search
