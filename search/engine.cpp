// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/engine.h"

#include "catalogue/catalogfile.h"
#include "core/failure.h"
#include "search/documents.h"
#include "search/passage.h"
#include "search/words.h"
#include "topics/topicfile.h"

#include <QSet>
#include <QVarLengthArray>

#include <algorithm>
#include <bit>
#include <optional>

namespace search {

namespace {

// Prefix matching needs this many letters, so that a short stem does not find every word
// that happens to begin with it.
constexpr qsizetype PrefixStem = 4;

// Query words beyond this many are ignored (each is one bit of a mask).
constexpr qsizetype MaxQueryWords = 64;

struct QueryWord {
    QString stem;
    // What a document word must begin with to be worth stemming: a Russian stem is always
    // the beginning of its word; for other stems only the first letter is sure.
    QString screen;
};

struct Hit {
    Span span;
    int word;
};

class Matcher {
public:
    Matcher(QStringView query, Stemmer& stemmer) : m_stemmer(stemmer) {
        const QString folded = foldCase(query);
        WordReader reader(folded);
        Word word;
        while (reader.next(word) && m_words.size() < MaxQueryWords) {
            const QString key =
                wordKey(QStringView(folded).mid(word.whole.offset, word.whole.length), word.marked);
            QString stem = m_stemmer.stem(key);
            if (std::any_of(m_words.cbegin(), m_words.cend(),
                            [&](const QueryWord& w) { return w.stem == stem; }))
                continue;
            QString screen = isCyrillicStem(stem) ? stem : stem.left(1);
            m_words.append({std::move(stem), std::move(screen)});
        }
    }

    qsizetype size() const { return m_words.size(); }
    quint64 everyWord() const {
        return m_words.size() == 64 ? ~quint64(0) : (quint64(1) << m_words.size()) - 1;
    }

    // Appends the matches in folded text (spans of it) and returns which words matched.
    quint64 scan(QStringView folded, QList<Hit>& hits) {
        WordReader reader(folded);
        Word word;
        quint64 all = 0;
        while (reader.next(word)) {
            quint64 found = 0;
            for (int i = 0; i < word.partCount; ++i)
                found |= record(word.parts[i],
                                match(folded, word.parts[i], word.marked, everyWord()), hits);
            // The whole of a hyphenated word counts only for what none of its parts found.
            if (word.partCount > 1 && (found != everyWord())) {
                const quint64 rest = everyWord() & ~found;
                found |= record(word.whole, match(folded, word.whole, word.marked, rest), hits);
            }
            all |= found;
        }
        return all;
    }

private:
    quint64 match(QStringView folded, Span span, bool marked, quint64 wanted) {
        QStringView key = folded.mid(span.offset, span.length);
        QString bare;
        if (marked) {
            bare = wordKey(key, true);
            key = bare;
        }
        quint64 mask = 0;
        std::optional<QString> stem;
        for (qsizetype i = 0; i < m_words.size(); ++i) {
            const QueryWord& w = m_words[i];
            if (!(wanted & (quint64(1) << i)) || !key.startsWith(w.screen)) continue;
            if (!stem) stem = m_stemmer.stem(key);
            if (*stem == w.stem || (w.stem.size() >= PrefixStem && stem->startsWith(w.stem)))
                mask |= quint64(1) << i;
        }
        return mask;
    }

    static quint64 record(Span span, quint64 mask, QList<Hit>& hits) {
        for (quint64 m = mask; m; m &= m - 1)
            hits.append({span, std::countr_zero(m)});
        return mask;
    }

    Stemmer& m_stemmer;
    QList<QueryWord> m_words;
};

struct Found {
    bool titleHasAll = false;
    qsizetype count = 0;
    Result result;
};

// A document: a title and a body searched by paragraphs, spans of the body. A breed's
// description is one paragraph, and its passage is made of sentences.
struct Document {
    const QString& title;
    QStringView body;
    QStringView folded; // body, case folded
    const QList<Span>& paragraphs;
    bool sentences;
};

QList<Span> spansOf(const QList<Hit>& hits) {
    QList<Span> spans;
    spans.reserve(hits.size());
    for (const Hit& h : hits)
        spans.append(h.span);
    return mergeSpans(std::move(spans));
}

// The sentence with the most of the query words, then the most matches; the first of equals.
qsizetype bestSentence(const QList<Span>& sentences, const QList<Hit>& hits, qsizetype words) {
    qsizetype best = 0, bestWords = 0, bestCount = 0;
    for (qsizetype i = 0; i < sentences.size(); ++i) {
        QVarLengthArray<bool, 8> seen(words, false);
        qsizetype distinct = 0, count = 0;
        for (const Hit& h : hits) {
            if (h.span.offset < sentences[i].offset || h.span.end() > sentences[i].end()) continue;
            ++count;
            if (!std::exchange(seen[h.word], true)) ++distinct;
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

} // namespace

QString resultLabel(const QString& source, const QString& title) {
    return source + QStringLiteral(" \u203A ") + title;
}

struct Engine::Private {
    QList<Section> sections;
    QString catalogueFile;
    QString catalogueLabel;
    Stemmer stemmer;
    QSet<QString> unreadable; // reported already

    std::optional<QString> read(const QString& file, QString (*reader)(const QString&));
    std::optional<Found> score(Matcher& matcher, const Document& doc);
    void searchSection(Matcher& matcher, const Section& section, QList<Found>& found);
    void searchCatalogue(Matcher& matcher, QList<Found>& found);
};

std::optional<QString> Engine::Private::read(const QString& file,
                                             QString (*reader)(const QString&)) {
    try {
        QString text = reader(file);
        unreadable.remove(file);
        return text;
    } catch (const core::RuntimeFailure& failure) {
        // A search runs as the reader types: one report, not one per key.
        if (!unreadable.contains(file)) {
            unreadable.insert(file);
            core::reportFailure(failure);
        }
        return std::nullopt;
    }
}

std::optional<Found> Engine::Private::score(Matcher& matcher, const Document& doc) {
    QVarLengthArray<qsizetype, 8> counts(matcher.size(), 0);
    QList<Hit> hits;
    const quint64 titleWords = matcher.scan(foldCase(doc.title), hits);
    quint64 words = titleWords;
    qsizetype best = -1, bestWords = 0, bestCount = 0;
    auto count = [&] {
        for (const Hit& h : std::as_const(hits))
            ++counts[h.word];
    };
    count();
    for (qsizetype i = 0; i < doc.paragraphs.size(); ++i) {
        hits.clear();
        const Span& paragraph = doc.paragraphs[i];
        const quint64 paragraphWords =
            matcher.scan(doc.folded.mid(paragraph.offset, paragraph.length), hits);
        words |= paragraphWords;
        count();
        const qsizetype distinct = std::popcount(paragraphWords);
        if (distinct > bestWords || (distinct == bestWords && hits.size() > bestCount)) {
            best = i;
            bestWords = distinct;
            bestCount = hits.size();
        }
    }
    if (words != matcher.everyWord()) return std::nullopt;

    Found found;
    found.titleHasAll = titleWords == matcher.everyWord();
    for (qsizetype c : counts)
        found.count += c;

    if (doc.paragraphs.isEmpty()) return found;
    Span window;
    if (doc.sentences) {
        // Sentences are found only now, for the few breeds that match.
        const QList<Span> sentences = splitSentences(doc.body);
        window = sentenceWindow(sentences, bestSentence(sentences, hits, matcher.size()));
    } else if (best >= 0) {
        window = doc.paragraphs[best];
    } else {
        // Found by the title alone: the first paragraph shows what the topic is about.
        const auto first =
            std::find_if(doc.paragraphs.cbegin(), doc.paragraphs.cend(), [&](const Span& p) {
                return !doc.body.mid(p.offset, p.length).trimmed().isEmpty();
            });
        window = first == doc.paragraphs.cend() ? doc.paragraphs.first() : *first;
    }
    hits.clear();
    matcher.scan(doc.folded.mid(window.offset, window.length), hits);
    Passage passage = cutPassage(doc.body.mid(window.offset, window.length), spansOf(hits));
    found.result.passage = std::move(passage.text);
    found.result.marks = std::move(passage.marks);
    return found;
}

void Engine::Private::searchSection(Matcher& matcher, const Section& section, QList<Found>& found) {
    const std::optional<QString> text = read(section.file, topics::readTopicFile);
    if (!text) return;
    const QString folded = foldCase(*text);
    for (const TopicLines& topic : splitTopics(*text)) {
        auto hit = score(matcher, {topic.title, *text, folded, topic.lines, false});
        if (!hit) continue;
        Result& r = hit->result;
        r.kind = Kind::Topic;
        r.file = section.file;
        r.source = section.title;
        r.title = topic.title;
        r.row = topic.row;
        r.label = resultLabel(section.title, topic.title);
        found.append(std::move(*hit));
    }
}

void Engine::Private::searchCatalogue(Matcher& matcher, QList<Found>& found) {
    if (catalogueFile.isEmpty()) return;
    const std::optional<QString> text = read(catalogueFile, catalogue::readCatalogueFile);
    if (!text) return;
    const QList<catalogue::Record> records = catalogue::parseRecords(*text);
    for (qsizetype i = 0; i < records.size(); ++i) {
        const catalogue::Record& breed = records[i];
        const QString folded = foldCase(breed.description);
        const QList<Span> whole{{0, breed.description.size()}};
        auto hit = score(matcher, {breed.name, breed.description, folded, whole, true});
        if (!hit) continue;
        Result& r = hit->result;
        r.kind = Kind::Breed;
        r.file = catalogueFile;
        r.source = catalogueLabel;
        r.title = breed.name;
        r.row = int(i);
        r.label = resultLabel(catalogueLabel, breed.name);
        found.append(std::move(*hit));
    }
}

Engine::Engine(QList<Section> sections, QString catalogueFile, QString catalogueLabel)
    : d(new Private{
          std::move(sections), std::move(catalogueFile), std::move(catalogueLabel), {}, {}}) {}

Engine::~Engine() = default;

QList<Result> Engine::find(QStringView query) {
    Matcher matcher(query, d->stemmer);
    if (matcher.size() == 0) return {};

    QList<Found> found;
    for (const Section& section : std::as_const(d->sections))
        d->searchSection(matcher, section, found);
    d->searchCatalogue(matcher, found);

    std::stable_sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        if (a.titleHasAll != b.titleHasAll) return a.titleHasAll;
        return a.count > b.count;
    });
    QList<Result> results;
    results.reserve(found.size());
    for (Found& f : found)
        results.append(std::move(f.result));
    return results;
}

} // namespace search
