// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/latin.h"

#include <array>
#include <utility>

namespace search {

namespace {

// Letter groups first, longest first; a single letter last.
const std::array<std::pair<QStringView, QStringView>, 28> Groups = {{
    {u"shch", u"щ"}, {u"tsch", u"ч"}, {u"sch", u"ш"}, {u"sh", u"ш"}, {u"ch", u"ч"}, {u"zh", u"ж"},
    {u"kh", u"х"},   {u"ts", u"ц"},   {u"tz", u"ц"},  {u"ck", u"к"}, {u"ph", u"ф"}, {u"th", u"т"},
    {u"qu", u"кв"},  {u"ee", u"и"},   {u"ea", u"и"},  {u"oo", u"у"}, {u"ou", u"у"}, {u"ei", u"ей"},
    {u"ey", u"ей"},  {u"ay", u"ей"},  {u"oy", u"ой"}, {u"ya", u"я"}, {u"yu", u"ю"}, {u"yo", u"е"},
    {u"ye", u"е"},   {u"ja", u"я"},   {u"ju", u"ю"},  {u"wh", u"в"},
}};

QStringView letter(QChar c, QChar next) {
    switch (c.unicode()) {
    case u'a':
        return u"а";
    case u'b':
        return u"б";
    case u'c':
        return next == u'e' || next == u'i' || next == u'y' ? u"с" : u"к";
    case u'd':
        return u"д";
    case u'e':
        return u"е";
    case u'f':
        return u"ф";
    case u'g':
        return u"г";
    case u'h':
        return u"х";
    case u'i':
        return u"и";
    case u'j':
        return u"дж";
    case u'k':
        return u"к";
    case u'l':
        return u"л";
    case u'm':
        return u"м";
    case u'n':
        return u"н";
    case u'o':
        return u"о";
    case u'p':
        return u"п";
    case u'q':
        return u"к";
    case u'r':
        return u"р";
    case u's':
        return u"с";
    case u't':
        return u"т";
    case u'u':
        return u"у";
    case u'v':
        return u"в";
    case u'w':
        return u"в";
    case u'x':
        return u"кс";
    case u'y':
        return u"и";
    case u'z':
        return u"з";
    default:
        return {};
    }
}

} // namespace

QString cyrillicReading(const QString& latin) {
    if (latin.isEmpty()) return {};
    for (QChar c : latin)
        if (c < u'a' || c > u'z') return {};
    // A doubled letter is said once («rottweiler»); a final «le» is soft («beagle»).
    QString word;
    word.reserve(latin.size());
    for (qsizetype i = 0; i < latin.size(); ++i)
        if (i == 0 || latin[i] != latin[i - 1] || latin[i] == u'e' || latin[i] == u'o')
            word += latin[i];
    QString reading;
    for (qsizetype i = 0; i < word.size();) {
        if (i + 2 == word.size() && word.endsWith(QStringLiteral("le")) && i > 0) {
            reading += QStringLiteral("ль");
            break;
        }
        bool matched = false;
        for (const auto& [from, to] : Groups)
            if (QStringView(word).sliced(i).startsWith(from)) {
                reading += to;
                i += from.size();
                matched = true;
                break;
            }
        if (matched) continue;
        reading += letter(word[i], i + 1 < word.size() ? word[i + 1] : QChar());
        ++i;
    }
    return reading;
}

} // namespace search
