// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/passage.h"

#include "search/documents.h"

#include <QVarLengthArray>

#include <algorithm>
#include <bit>
#include <utility>

namespace search {

namespace {

const QChar Ellipsis(0x2026);

// Words are not cut when a boundary is this close; a longer run is cut where it stands.
constexpr qsizetype BoundarySearch = 24;

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

} // namespace

QList<Span> mergeSpans(QList<Span> spans) {
    std::sort(spans.begin(), spans.end(),
              [](const Span& a, const Span& b) { return a.offset < b.offset; });
    QList<Span> merged;
    for (const Span& s : std::as_const(spans)) {
        if (!merged.isEmpty() && s.offset <= merged.last().end()) {
            Span& last = merged.last();
            last.length = std::max(last.end(), s.end()) - last.offset;
        } else {
            merged.append(s);
        }
    }
    return merged;
}

Passage cutPassage(QStringView text, const QList<Span>& matches) {
    qsizetype first = 0, last = text.size();
    while (first < last && text[first].isSpace())
        ++first;
    while (last > first && text[last - 1].isSpace())
        --last;

    qsizetype start = first, end = last;
    if (last - first > PassageLength) {
        // A little of what leads up to the first match, the rest after it.
        const qsizetype anchor = matches.isEmpty() ? first : matches.first().offset;
        start = std::max(first, anchor - PassageLength / 4);
        end = std::min(last, start + PassageLength);
        start = std::max(first, end - PassageLength);

        // Start at a word: forward to the next word start, never past the match.
        for (qsizetype p = start, stop = std::min(anchor, start + BoundarySearch);
             start > first && p <= stop; ++p) {
            if (p == anchor || (text[p - 1].isSpace() && !text[p].isSpace())) {
                start = p;
                break;
            }
        }
        // End at a word: a match that crosses the end is kept whole, then back to a space.
        for (const Span& m : matches)
            if (m.offset < end && m.end() > end) end = m.end();
        const qsizetype keep = end;
        for (qsizetype p = end; end < last && p > keep - BoundarySearch && p > start; --p) {
            if (text[p].isSpace()) {
                end = p;
                break;
            }
        }
        while (end > start && text[end - 1].isSpace())
            --end;
    }

    Passage passage;
    if (start > first) passage.text += Ellipsis;
    const qsizetype shift = passage.text.size() - start;
    passage.text += text.mid(start, end - start);
    // Paragraphs of a breed may hold line breaks; the passage is one line.
    for (QChar& c : passage.text)
        if (c == u'\r' || c == u'\n' || c == u'\t') c = u' ';
    if (end < last) passage.text += Ellipsis;
    for (const Span& m : matches)
        if (m.offset >= start && m.end() <= end) passage.marks.append({m.offset + shift, m.length});
    return passage;
}

Span passageWindow(bool breed, QStringView text, const QList<Span>& paragraphs,
                   const QList<Mark>& marks, const QList<QList<Mark>>& byParagraph, int terms) {
    if (paragraphs.isEmpty()) return {};
    if (breed) {
        QList<Span> sentences =
            splitSentences(text.sliced(paragraphs[0].offset, paragraphs[0].length));
        for (Span& sentence : sentences)
            sentence.offset += paragraphs[0].offset;
        return sentenceWindow(sentences, bestSentence(sentences, marks, terms));
    }
    qsizetype best = -1, bestTerms = 0, bestCount = 0;
    for (qsizetype i = 0; i < paragraphs.size(); ++i) {
        quint32 held = 0;
        for (const Mark& m : byParagraph[i])
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
            if (!text.sliced(paragraphs[i].offset, paragraphs[i].length).trimmed().isEmpty()) {
                best = i;
                break;
            }
    }
    return paragraphs[best];
}

} // namespace search
