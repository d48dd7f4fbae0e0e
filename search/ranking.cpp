// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/ranking.h"

#include <QVarLengthArray>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace search {

namespace {

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

int tier(Group g) {
    switch (g) {
    case Group::Whole:
    case Group::Nearly:
        return 0;
    case Group::Beginning:
        return 1;
    case Group::Partial:
        break;
    }
    return 2;
}

} // namespace

bool ranksBefore(const Candidate& a, const Candidate& b) {
    if (tier(a.group) != tier(b.group)) return tier(a.group) < tier(b.group);
    if (a.mentionsOnly != b.mentionsOnly) return b.mentionsOnly;
    if (a.titleAll != b.titleAll) return a.titleAll;
    if (a.score != b.score) return a.score > b.score;
    if (a.file != b.file) return a.file < b.file;
    return a.doc < b.doc;
}

std::optional<Group> groupOf(int present, int needed, bool wholly) {
    if (present == needed) return wholly ? Group::Whole : Group::Beginning;
    if (needed >= 2 && present == needed - 1) return Group::Partial;
    return std::nullopt;
}

Weights weigh(const QList<qsizetype>& holding, quint32 optional, qsizetype documents) {
    const int n = int(holding.size());
    const quint32 every = n == 32 ? ~quint32(0) : (quint32(1) << n) - 1;
    quint32 asked = 0;
    Weights w;
    for (int t = 0; t < n; ++t) {
        if (optional & (quint32(1) << t)) continue;
        asked |= quint32(1) << t;
        if (holding[t] * 2 <= documents) w.required |= quint32(1) << t;
    }
    if (w.required == 0) w.required = asked ? asked : every;
    for (int t = 0; t < n; ++t)
        if ((w.required & (quint32(1) << t)) && holding[t] * CommonShare > documents)
            w.common |= quint32(1) << t;
    w.idf.resize(n);
    for (int t = 0; t < n; ++t)
        w.idf[t] = (asked && !(asked & (quint32(1) << t)) ? OptionalWeight : 1) *
                   std::log(1.0f + (float(documents) - float(holding[t]) + 0.5f) /
                                       (float(holding[t]) + 0.5f));
    return w;
}

float termScore(float idf, float count, float length, float averageLength) {
    const float norm = K1 * (1 - B + B * length / averageLength);
    return idf * count * (K1 + 1) / (count + norm);
}

float closeness(const QList<Mark>& marks, const QList<float>& idf) {
    quint32 present = 0;
    for (const Mark& m : marks)
        present |= quint32(1) << m.term;
    if (std::popcount(present) < 2) return 0;
    const int width = narrowestWindow(marks, int(idf.size()), std::popcount(present));
    float weight = 0, heaviest = 0;
    for (quint32 m = present; m; m &= m - 1) {
        weight += idf[std::countr_zero(m)];
        heaviest = std::max(heaviest, idf[std::countr_zero(m)]);
    }
    return ProximityWeight * (weight - heaviest) * float(std::popcount(present) - 1) /
           float(std::max(width - 1, 1));
}

} // namespace search
