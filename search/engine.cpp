// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/engine.h"

#include "base/failure.h"
#include "base/text.h"
#include "search/latin.h"
#include "search/marks.h"
#include "search/passage.h"
#include "search/ranking.h"
#include "search/terms.h"
#include "search/words.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <numeric>
#include <optional>
#include <vector>

namespace search {

namespace {

// A word found nowhere is retried with one edit from this many letters, up to this many
// (some 66 variants a letter, each stemmed and looked up), and never when it is longer by
// more than the letter an edit drops than every word of the content.
constexpr qsizetype TypoLetters = 5;
constexpr qsizetype MaxTypoLetters = 40;
// A family word differs from the word by what the rules of search/families.h take off or
// put on (an ending, a suffix, a prefix, an alternation): well under this many letters. A
// word longer by more than this than every word of the content has no family there.
constexpr qsizetype KinSlack = 20;

// A file that changes under a search is indexed again and the search started over, this
// many times at most.
constexpr int Attempts = 3;
// The first results' passages come in an early answer, before the rest are read back.
constexpr qsizetype FirstPassages = 60;
// A file this small is read whole when its texts are read back.
constexpr qint64 WholeFileBytes = 4 << 20;

// How a document matched a term.
enum Flag : quint8 { Whole = 1, Beginning = 2, Title = 4 };

// A document found for a term in one file.
struct Hit {
    quint32 doc;
    float count; // weighted
    quint8 flags;
};

struct Changed {
    int file;
};

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
        qsizetype longestForm = 0; // in letters
    };
    std::vector<File> files;
    QueryWords words;

    explicit Private(QString groupsFile) : words(std::move(groupsFile)) {}
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
    QList<Hit> hitsOf(const FileIndex& index, const Term& term, const Yield& yield);
    qsizetype documentsFor(const Unit& unit) const;
    std::optional<QString> correction(const Term& term, const Yield& yield);
    // The longest word of any content file, in letters.
    qsizetype longestForm() const;

    // The parts of a search, in order.
    struct Query {
        QList<Term> terms;
        QList<QList<QList<Hit>>> hits; // per term, per file
        QList<qsizetype> holding;      // documents holding each term
        qsizetype documents = 0;
        float averageLength = 1;
        Weights weights;
    };
    void gather(Query& q, qsizetype t, const Yield& yield);
    QString findTerms(Query& q, QStringView query, const Yield& yield);
    QList<Candidate> candidatesOf(const Query& q, Answer& answer, const Yield& yield);
    // The forms each term found in each file, to mark them in the texts read back.
    std::vector<std::shared_ptr<FoundWords>> foundForms(const Query& q) const;
    // Reads a listed document back: its passage and marks, and what closeness adds to its
    // score. A small file is read whole, once.
    struct Reading {
        std::vector<std::unique_ptr<base::ContentFileReader>> readers;
        std::vector<std::optional<QByteArray>> wholes;
        std::vector<std::shared_ptr<FoundWords>> found;
    };
    void readBack(Candidate& c, Result& r, const Query& q, Reading& reading, const Yield& yield);
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
                                       words.stemmer(), [&] { return yield.stop(); });
            f.longestForm = 0;
            for (quint32 id = 0; id < quint32(f.index->formCount()); ++id)
                f.longestForm = std::max(f.longestForm, f.index->form(id).size());
        } catch (const base::RuntimeFailure&) {
            unreadable.append(f.file);
        }
    }
    try {
        words.readGroups();
    } catch (const base::RuntimeFailure&) {
        unreadable.append(words.groupsFile());
        words.forget();
    }
    return unreadable;
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
qsizetype Engine::Private::longestForm() const {
    qsizetype longest = 0;
    for (const File& f : files)
        if (f.index) longest = std::max(longest, f.longestForm);
    return longest;
}

std::optional<QString> Engine::Private::correction(const Term& term, const Yield& yield) {
    const QString& key = term.key;
    if (key.size() > MaxTypoLetters || key.size() > longestForm() + 1) return std::nullopt;
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
        if (yield.giveWay()) throw Interrupted{};
        qsizetype documents = documentsFor(words.unitOf(variant, false));
        if (term.typed) documents += documentsFor(words.unitOf(variant, true));
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

void Engine::Private::gather(Query& q, qsizetype t, const Yield& yield) {
    q.holding[t] = 0;
    for (qsizetype f = 0; f < qsizetype(files.size()); ++f) {
        q.hits[t][f] = files[f].index ? hitsOf(*files[f].index, q.terms[t], yield) : QList<Hit>();
        q.holding[t] += q.hits[t][f].size();
    }
}

// Which documents of each file hold each term; a word found nowhere retried as a typo.
// Returns the query as searched when a word was retried, else nothing.
QString Engine::Private::findTerms(Query& q, QStringView query, const Yield& yield) {
    q.hits = QList<QList<QList<Hit>>>(q.terms.size(), QList<QList<Hit>>(qsizetype(files.size())));
    q.holding = QList<qsizetype>(q.terms.size(), 0);
    bool corrected = false;
    QString searchedFor = query.toString();
    for (qsizetype t = q.terms.size() - 1; t >= 0; --t) {
        gather(q, t, yield);
        // An optional word found nowhere is no typo: it is simply not needed.
        if (q.holding[t] > 0 || words.isOptional(q.terms[t].key)) continue;
        // A word found nowhere as it is may be asked by another of its family; one found
        // nowhere, not even so, may be mistyped.
        if (q.terms[t].key.size() <= longestForm() + KinSlack) {
            words.addKin(q.terms[t], true);
            gather(q, t, yield);
            if (q.holding[t] > 0) continue;
        }
        std::optional<QString> other = correction(q.terms[t], yield);
        // A foreign name in Latin letters: as it is said, in Cyrillic, or within one letter.
        if (const QString reading = cyrillicReading(q.terms[t].key); !other && !reading.isEmpty()) {
            const Term read = words.termOf(reading, q.terms[t].inQuery, q.terms[t].typed);
            other = documentsFor(words.unitOf(reading, false)) > 0 ? std::optional<QString>(reading)
                                                                   : correction(read, yield);
        }
        if (other) {
            searchedFor.replace(q.terms[t].inQuery.offset, q.terms[t].inQuery.length, *other);
            q.terms[t] = words.termOf(*other, q.terms[t].inQuery, q.terms[t].typed);
            corrected = true;
            gather(q, t, yield);
        }
    }
    return corrected ? searchedFor.simplified() : QString();
}

// Scores, and the documents worth listing, unsorted.
QList<Candidate> Engine::Private::candidatesOf(const Query& q, Answer& answer, const Yield& yield) {
    const int n = int(q.terms.size());
    const quint32 required = q.weights.required;
    const int needed = std::popcount(required);
    const quint32 common = q.weights.common, rare = required & ~common;
    QList<Candidate> candidates;
    Scratch& s = scratch;
    for (int f = 0; f < int(files.size()); ++f) {
        if (!files[f].index) continue;
        if (yield.giveWay()) throw Interrupted{};
        const FileIndex& index = *files[f].index;
        for (int t = 0; t < n; ++t) {
            const quint32 bit = quint32(1) << t;
            for (const Hit& h : std::as_const(q.hits[t][f])) {
                s.score[h.doc] += termScore(q.weights.idf[t], h.count, float(index.length(h.doc)),
                                            q.averageLength);
                s.mask[h.doc] |= bit;
                if (h.flags & Whole) s.whole[h.doc] |= bit;
                if (h.flags & Title) s.title[h.doc] |= bit;
                s.touched[h.doc / 64] |= quint64(1) << (h.doc % 64);
            }
        }
        for (qsizetype w = 0; w < (index.documentCount() + 63) / 64; ++w) {
            for (quint64 bits = std::exchange(s.touched[w], 0); bits; bits &= bits - 1) {
                const quint32 doc = quint32(w * 64 + std::countr_zero(bits));
                const bool mentionsOnly =
                    files[f].kind == Kind::Breed && (s.title[doc] & required) == 0;
                std::optional<Group> group = groupOf(std::popcount(s.mask[doc] & required), needed,
                                                     (s.whole[doc] & required) == required);
                // Missing only words one document in four holds, it still answers; a breed
                // that merely mentions the rare ones does not. A topic whose title holds the
                // rare words it has is about them, though its text lacks one word asked.
                const quint32 rareHeld = s.mask[doc] & rare;
                if (rare && (!group || *group == Group::Partial) && !mentionsOnly &&
                    (s.whole[doc] & rare) == rare)
                    group = Group::Nearly;
                else if (group == Group::Partial && files[f].kind == Kind::Topic && rareHeld &&
                         (s.title[doc] & rareHeld) == rareHeld)
                    group = Group::Nearly;
                if (group)
                    candidates.append({f, doc, *group, (s.title[doc] & required) == required,
                                       s.score[doc], mentionsOnly});
                s.score[doc] = 0;
                s.mask[doc] = s.whole[doc] = s.title[doc] = 0;
            }
        }
    }
    answer.found = std::count_if(candidates.cbegin(), candidates.cend(), [](const Candidate& c) {
        return c.group == Group::Whole || c.group == Group::Beginning;
    });
    if (answer.found >= FewFull)
        candidates.erase(
            std::remove_if(candidates.begin(), candidates.end(),
                           [](const Candidate& c) { return c.group == Group::Partial; }),
            candidates.end());
    answer.partial = candidates.size() - answer.found;
    return candidates;
}

std::vector<std::shared_ptr<FoundWords>> Engine::Private::foundForms(const Query& q) const {
    std::vector<std::shared_ptr<FoundWords>> found(files.size());
    for (int f = 0; f < int(files.size()); ++f) {
        if (!files[f].index) continue;
        found[f] = std::make_shared<FoundWords>();
        for (int t = 0; t < int(q.terms.size()); ++t)
            for (const Alternative& alt : std::as_const(q.terms[t].alternatives))
                for (const Unit& unit : alt.units)
                    for (const auto& form : formsOf(*files[f].index, unit))
                        found[f]->add(files[f].index->form(form.first), quint32(1) << t);
    }
    return found;
}

void Engine::Private::readBack(Candidate& c, Result& r, const Query& q, Reading& reading,
                               const Yield& yield) {
    if (yield.giveWay()) throw Interrupted{};
    const File& file = files[c.file];
    const FileIndex& index = *file.index;
    std::optional<DocumentText> text;
    try {
        auto& reader = reading.readers[c.file];
        if (!reader) reader = std::make_unique<base::ContentFileReader>(file.file);
        std::optional<QByteArray>& whole = reading.wholes[c.file];
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
    const FoundWords& forms = *reading.found[c.file];

    QList<Mark> marks;
    QList<QList<Mark>> byParagraph;
    QList<Span> paragraphs;
    int position = 0;
    for (const ByteRange& p : text->paragraphs) {
        paragraphs.append({p.offset, p.length});
        QList<Mark>& inParagraph = byParagraph.emplace_back();
        const QByteArrayView bytes = QByteArrayView(text->bytes).sliced(p.offset, p.length);
        const int first = position;
        position += forms.forEachFound(bytes, [&](Span span, quint32 terms, int word) {
            for (quint32 m = terms; m; m &= m - 1)
                inParagraph.append(
                    {{p.offset + span.offset, span.length}, std::countr_zero(m), first + word});
        });
        marks += inParagraph;
    }

    c.score += closeness(marks, q.weights.idf);

    const Span window = passageWindow(file.kind == Kind::Breed, decoded, paragraphs, marks,
                                      byParagraph, int(q.terms.size()));
    QList<Span> spans;
    for (const Mark& m : std::as_const(marks))
        if (m.span.offset >= window.offset && m.span.end() <= window.end())
            spans.append({m.span.offset - window.offset, m.span.length});
    Passage passage = cutPassage(QStringView(decoded).sliced(window.offset, window.length),
                                 mergeSpans(std::move(spans)));
    r.passage = std::move(passage.text);
    r.marks = std::move(passage.marks);
}

Answer Engine::Private::search(QStringView typed, const Yield& yield, const EarlyAnswer& early) {
    Answer answer;
    const QString cleaned = withoutInvisible(typed);
    const QStringView query = cleaned;
    answer.unreadable = refresh(yield);

    Query q;
    q.terms = words.termsOf(foldCase(query));
    if (q.terms.isEmpty()) return answer;
    quint64 length = 0;
    for (const File& f : std::as_const(files)) {
        if (!f.index) continue;
        q.documents += f.index->documentCount();
        length += f.index->totalLength();
        scratch.fit(f.index->documentCount());
    }
    if (q.documents == 0) return answer;
    q.averageLength = std::max(1.0f, float(length) / float(q.documents));

    answer.searchedFor = findTerms(q, query, yield);
    quint32 optional = 0, unfound = 0;
    for (int t = 0; t < int(q.terms.size()); ++t) {
        if (words.isOptional(q.terms[t].key)) {
            optional |= quint32(1) << t;
        } else if (q.holding[t] == 0) {
            unfound |= quint32(1) << t;
            answer.unfound.append(q.terms[t].key);
        }
    }
    // A word found nowhere is not asked of the documents, so that the others still find
    // what they can; none of those holds every word.
    q.weights = weigh(q.holding, optional | unfound, q.documents);

    QList<Candidate> candidates = candidatesOf(q, answer, yield);
    if (unfound) {
        for (Candidate& c : candidates)
            c.group = Group::Partial;
        answer.partial += std::exchange(answer.found, 0);
    }
    const qsizetype shown = std::min(candidates.size(), MaxResults);
    std::partial_sort(candidates.begin(), candidates.begin() + shown, candidates.end(),
                      ranksBefore);
    candidates.resize(shown);

    Reading reading{std::vector<std::unique_ptr<base::ContentFileReader>>(files.size()),
                    std::vector<std::optional<QByteArray>>(files.size()), foundForms(q)};
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
        r.partial = c.group == Group::Partial || c.group == Group::Nearly;
        r.found = reading.found[c.file];
    }
    // The first ones read back now, closeness reordering them; an early answer lists them
    // all with these passages, while the rest are read.
    const qsizetype first = std::min(candidates.size(), FirstPassages);
    for (qsizetype i = 0; i < first; ++i)
        readBack(candidates[i], results[i], q, reading, yield);
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
        readBack(candidates[i], results[i], q, reading, yield);
    unchanged(first, candidates.size());
    for (qsizetype i : std::as_const(order))
        answer.results.append(std::move(results[i]));
    return answer;
}

Engine::Engine(QList<Section> sections, QString catalogueFile, QString catalogueLabel,
               QString groupsFile)
    : d(new Private(std::move(groupsFile))) {
    for (const Section& s : sections)
        d->files.push_back({s.file, s.title, Kind::Topic, nullptr});
    if (!catalogueFile.isEmpty())
        d->files.push_back({catalogueFile, catalogueLabel, Kind::Breed, nullptr});
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
