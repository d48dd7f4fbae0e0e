// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/families.h"

#include <QSet>

#include <array>
#include <utility>

namespace search {

namespace {

// Verb and noun prefixes, longest first so that «обо» is tried before «об» and «о».
const std::array<QStringView, 36> Prefixes = {
    u"недо", u"пере", u"пред", u"разо", u"обез", u"обес", u"при", u"про", u"под",
    u"раз",  u"рас",  u"без",  u"бес",  u"воз",  u"вос",  u"над", u"обо", u"ото",
    u"изо",  u"вз",   u"вс",   u"вы",   u"до",   u"за",   u"из",  u"ис",  u"на",
    u"об",   u"от",   u"по",   u"со",   u"во",   u"о",    u"с",   u"у",   u"в"};

// What a root's last consonants become in the other words of its family.
const std::array<std::pair<QStringView, QStringView>, 24> Alternations = {{
    {u"жд", u"д"}, {u"ст", u"щ"}, {u"бл", u"б"}, {u"вл", u"в"}, {u"пл", u"п"}, {u"мл", u"м"},
    {u"д", u"жд"}, {u"д", u"ж"},  {u"з", u"ж"},  {u"ж", u"з"},  {u"ж", u"г"},  {u"ж", u"д"},
    {u"г", u"ж"},  {u"г", u"ч"},  {u"ч", u"г"},  {u"ч", u"к"},  {u"к", u"ч"},  {u"т", u"ч"},
    {u"с", u"ш"},  {u"ш", u"с"},  {u"х", u"ш"},  {u"б", u"бл"}, {u"в", u"вл"}, {u"м", u"мл"},
}};

bool cyrillic(QChar c) {
    return (c >= QChar(0x0430) && c <= QChar(0x044F)) || c == QChar(0x0451);
}

bool consonant(QChar c) {
    return cyrillic(c) && !QStringLiteral("аеиоуыэюяёйьъ").contains(c);
}

// A stem without what verbs and nouns add to a root: the past tense's «л», a verb's vowel
// («хрома» of «хромать»), a noun's «ен», «ени», «ани», «от» («обморожен», «хромот»).
QStringList rootsOf(const QString& stem) {
    QStringList roots{stem};
    QString s = stem;
    if (s.size() >= 4 && s.endsWith(u'л')) s.chop(1);
    if (s.size() >= 4 && !consonant(s.back())) s.chop(1);
    if (s != stem) roots.append(s);
    for (QStringView suffix : {u"ени", u"ани", u"ен", u"от"}) {
        if (stem.size() >= suffix.size() + 3 && stem.endsWith(suffix)) {
            roots.append(stem.chopped(suffix.size()));
            break;
        }
    }
    return roots;
}

// A root with its last consonants alternated, and with the vowel that comes and goes
// between its last two consonants («жг» of «обожгла», «жог» of «ожог»).
QStringList variantsOf(const QString& root) {
    QStringList variants{root};
    for (const auto& [from, to] : Alternations)
        if (root.size() > from.size() && root.endsWith(from))
            variants.append(root.chopped(from.size()) + to.toString());
    const qsizetype n = variants.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QString v = variants[i];
        const qsizetype m = v.size();
        if (m >= 2 && consonant(v[m - 1]) && consonant(v[m - 2])) {
            variants.append(v.first(m - 1) + u'о' + v.back());
            variants.append(v.first(m - 1) + u'е' + v.back());
        }
        if (m >= 4 && (v[m - 2] == u'о' || v[m - 2] == u'е') && consonant(v[m - 1]) &&
            consonant(v[m - 3]))
            variants.append(v.first(m - 2) + v.back());
    }
    return variants;
}

} // namespace

QStringList kinStems(const QString& stem) {
    if (stem.size() < 4) return {};
    for (QChar c : stem)
        if (!cyrillic(c)) return {};
    QSet<QString> kin;
    for (const QString& root : rootsOf(stem)) {
        // The root with its prefix taken off, if it has one; a bare root stands alone only
        // when the prefix taken off was more than one letter (with «о» off, «отрав» is no
        // «трав»).
        QList<std::pair<QString, bool>> bare{{root, true}};
        // A root shorter than KinRoot is too many words' root: «бил» of «сбила» is «забил»,
        // «лог» of «налог» «положено».
        for (QStringView prefix : Prefixes)
            if (root.size() >= prefix.size() + KinRoot && root.startsWith(prefix))
                bare.append({root.sliced(prefix.size()), prefix.size() > 1});
        for (const auto& [core, alone] : std::as_const(bare)) {
            for (const QString& v : variantsOf(core)) {
                if (v.size() < KinRoot) continue;
                if (alone) kin.insert(v);
                for (QStringView prefix : Prefixes)
                    kin.insert(prefix.toString() + v);
            }
        }
    }
    kin.remove(stem);
    QStringList list(kin.cbegin(), kin.cend());
    list.sort();
    return list;
}

QStringList plainStems(const QString& stem) {
    for (QChar c : stem)
        if (!cyrillic(c)) return {};
    QStringList plain;
    const auto add = [&](QString s) {
        if (s.size() < 2) return;
        plain.append(s);
        // «собачк» → «собак», «ножк» → «ног»
        if (s.endsWith(u'ч'))
            plain.append(s.chopped(1) + u'к');
        else if (s.endsWith(u'ж'))
            plain.append(s.chopped(1) + u'г');
    };
    for (QStringView suffix : {u"оньк", u"еньк", u"очк", u"ечк"})
        if (stem.size() >= suffix.size() + 2 && stem.endsWith(suffix)) {
            add(stem.chopped(suffix.size()));
            return plain;
        }
    const qsizetype n = stem.size();
    if (n >= 3 && stem.endsWith(u'к') && consonant(stem[n - 2]))
        add(stem.chopped(1));
    else if (n >= 5 && (stem.endsWith(u"ок") || stem.endsWith(u"ек") || stem.endsWith(u"ик")))
        add(stem.chopped(2));
    return plain;
}

} // namespace search
