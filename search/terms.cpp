// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/terms.h"

#include "base/failure.h"
#include "base/text.h"
#include "search/families.h"
#include "search/wordgroups.h"

#include <algorithm>

namespace search {

namespace {

// The word groups file is small; anything larger is no such file.
constexpr qint64 MaxGroupsBytes = 4 << 20;

} // namespace

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

// The author's groups: none without the file.
void QueryWords::readGroups() {
    if (m_groupsFile.isEmpty()) return;
    const std::optional<FileStamp> stamp = stampOf(m_groupsFile);
    if (stamp == m_groupsStamp) return;
    forget();
    m_groupsStamp = stamp;
    if (!stamp) return;
    if (stamp->size > MaxGroupsBytes)
        base::fail(base::ErrPathAccess, QStringLiteral("Файл слишком велик: %1").arg(m_groupsFile));
    base::ContentFileReader reader(m_groupsFile);
    const QString text = base::decodeCp1251(reader.read(MaxGroupsBytes));
    const WordGroups parsed = parseWordGroups(text);
    for (const QString& word : parsed.optionalWords)
        m_optionalWords.insert(matchKey(word));
    for (const WordGroup& g : parsed.groups) {
        const int id = int(m_groups.size());
        m_groups.append(g.entries);
        for (const QString& entry : g.entries) {
            WordReader words(entry);
            Word word;
            words.next(word);
            if (word.whole.length != entry.size()) continue; // several words: found, not finding
            QList<int>& list = m_groupsByKey[matchKey(entry)];
            if (!list.contains(id)) list.append(id);
        }
    }
}

void QueryWords::forget() {
    m_groupsStamp.reset();
    m_groups.clear();
    m_groupsByKey.clear();
    m_optionalWords.clear();
}

QString QueryWords::matchKey(const QString& key) {
    QString joined = key;
    joined.remove(u'-');
    const QString stem = m_stemmer.stem(joined);
    return stem.size() <= ShortStem ? joined : stem;
}

Unit QueryWords::unitOf(const QString& key, bool beginning, bool derived) {
    Unit unit;
    unit.key = toContentBytes(key);
    unit.beginning = beginning;
    unit.derived = derived;
    if (unit.key && !beginning) unit.stem = toContentBytes(m_stemmer.stem(key)).value_or(*unit.key);
    return unit;
}

// The words of a phrase (a query word, a group's entry), each hyphenated one written
// together, or else apart. An entry of a group finds only its own word's forms, not the
// words derived from it.
QList<Alternative> QueryWords::alternativesOf(QStringView phrase, float weight, bool derived) {
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
                for (const QString& stem : fleetingStems(m_stemmer.stem(key)))
                    others.append({{{unit.key, *toContentBytes(stem), false, false, {}, false}},
                                   weight,
                                   false});
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

// The other words of a term's family; with rare, those of its root too, else only a
// diminutive's plain word.
void QueryWords::addKin(Term& term, bool rare) {
    if (term.key.contains(u'-')) return;
    const QString stem = m_stemmer.stem(term.key);
    const auto kinOf = [&](const QStringList& stems, bool derived, float weight) {
        Unit unit;
        for (const QString& s : stems)
            if (const std::optional<QByteArray> bytes = toContentBytes(s)) unit.kin.append(*bytes);
        if (unit.kin.isEmpty()) return;
        unit.key = unit.kin.first();
        unit.kinDerived = derived;
        term.alternatives.append({{unit}, weight, false});
    };
    if (rare)
        kinOf(kinStems(stem), true, KinWeight);
    else
        kinOf(plainStems(stem), false, DiminutiveWeight);
}

Term QueryWords::termOf(const QString& key, Span inQuery, bool typed) {
    Term term{key, inQuery, typed, alternativesOf(key, 1, true)};
    for (int g : m_groupsByKey.value(matchKey(key))) {
        for (const QString& entry : std::as_const(m_groups[g]))
            if (entry != key) term.alternatives += alternativesOf(entry, GroupWeight, false);
    }
    addKin(term, false);
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
QList<std::pair<quint32, float>> formsOf(const FileIndex& index, const Unit& unit) {
    QList<std::pair<quint32, float>> forms;
    if (!unit.key || unit.key->isEmpty()) return forms;
    if (!unit.kin.isEmpty()) {
        for (const QByteArray& kin : unit.kin) {
            const auto [first, last] = index.formsBeginning(kin);
            for (quint32 id = first; id < last; ++id) {
                const QByteArrayView stem = index.stem(id), form = index.form(id);
                if (stem == kin || (unit.kinDerived && ((stem.startsWith(kin) &&
                                                         stem.size() <= kin.size() + KinLetters) ||
                                                        form.size() <= kin.size() + KinLetters)))
                    forms.append({id, 1});
            }
        }
        return forms;
    }
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

QList<Term> QueryWords::termsOf(const QString& folded) {
    QList<Term> terms;
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
    return terms;
}

} // namespace search
