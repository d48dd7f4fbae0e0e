// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/breedfacts.h"

#include "base/failure.h"
#include "formats/catalogfile.h"

#include <QHash>
#include <QSet>

namespace facts {

namespace {

const QChar Dash(0x2013); // en dash, as «60–65»

std::optional<double> number(QStringView text) {
    text = text.trimmed();
    if (text.isEmpty()) return std::nullopt;
    for (QChar c : text)
        if (!c.isDigit() && c != u',') return std::nullopt;
    QString dotted = text.toString();
    dotted.replace(u',', u'.');
    bool ok = false;
    const double value = dotted.toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

QString numberText(double value) {
    QString text = QString::number(value, 'g', 6);
    text.replace(u'.', u',');
    return text;
}

struct ColumnInfo {
    const char* name;
    const char* words; // "|"-separated, in the order of their values; empty for free text
};
// In the order of enum Column. The graded columns' words are their digits.
constexpr std::array<ColumnInfo, ColumnCount> Columns = {{
    {"порода", ""},
    {"рост кобелей", ""},
    {"рост сук", ""},
    {"вес кобелей", ""},
    {"вес сук", ""},
    {"размер", "мини|малая|средняя|крупная|гигантская"},
    {"шерсть", "голая|короткая|средняя|длинная|шнуры"},
    {"линька", "0|1|2|3"},
    {"уход", "|1|2|3|4"},
    {"активность", "|1|2|3|4|5"},
    {"обучаемость", "|1|2|3"},
    {"дети", "нет|с оговорками|да"},
    {"собаки", "нет|с оговорками|да"},
    {"кошки", "нет|с оговорками|да"},
    {"квартира", "нет|с оговорками|да"},
    {"новичку", "нет|с оговорками|да"},
    {"одна дома", "плохо|умеренно|хорошо"},
    {"холод", "плохо|умеренно|хорошо"},
    {"жара", "плохо|умеренно|хорошо"},
    {"охрана", "0|1|2|3"},
    {"лай", "|1|2|3"},
    {"жизнь", ""},
    {"признание", ""},
    {"перечень 974", "нет||да|спорно"},
}};

// The value of a word in its column (its place among the words), -1 for none.
int wordValue(Column column, QStringView value) {
    static const std::array<QStringList, ColumnCount> all = [] {
        std::array<QStringList, ColumnCount> lists;
        for (size_t c = 0; c < lists.size(); ++c)
            lists[c] = QString::fromUtf8(Columns[c].words).split(u'|');
        return lists;
    }();
    const QStringList& words = all[size_t(column)];
    for (qsizetype i = 0; i < words.size(); ++i)
        if (!words[i].isEmpty() && words[i] == value) return int(i);
    return -1;
}

bool isRangeColumn(Column c) {
    return c == Column::HeightMale || c == Column::HeightFemale || c == Column::WeightMale ||
           c == Column::WeightFemale;
}

QList<QString> fieldsOf(QStringView line) {
    QList<QString> fields;
    catalogue::BasicFieldReader<QStringView> reader(line);
    while (const std::optional<QStringView> field = reader.readFieldView())
        fields.append(field->toString());
    return fields;
}

} // namespace

double Range::middle() const {
    switch (kind) {
    case Kind::Between:
    case Kind::About:
        return (low + high) / 2;
    case Kind::From:
        return low + 5;
    case Kind::UpTo:
        return high;
    case Kind::None:
        break;
    }
    return 0;
}

std::optional<Range> parseRange(QStringView text) {
    text = text.trimmed();
    if (text.isEmpty()) return Range{};
    const auto after = [&](QStringView prefix) -> std::optional<double> {
        if (!text.startsWith(prefix)) return std::nullopt;
        return number(text.sliced(prefix.size()));
    };
    if (const auto a = after(u"от ")) return Range{Range::Kind::From, *a, *a};
    if (const auto a = after(u"до ")) return Range{Range::Kind::UpTo, 0, *a};
    if (const auto a = after(u"около ")) return Range{Range::Kind::About, *a, *a};
    const qsizetype dash = text.indexOf(Dash);
    if (dash > 0) {
        const auto low = number(text.first(dash));
        const auto high = number(text.sliced(dash + 1));
        if (low && high && *low <= *high) return Range{Range::Kind::Between, *low, *high};
        return std::nullopt;
    }
    if (const auto a = number(text)) return Range{Range::Kind::About, *a, *a};
    return std::nullopt;
}

QString rangeText(const Range& r) {
    switch (r.kind) {
    case Range::Kind::Between:
        return numberText(r.low) + Dash + numberText(r.high);
    case Range::Kind::From:
        return QStringLiteral("от ") + numberText(r.low);
    case Range::Kind::UpTo:
        return QStringLiteral("до ") + numberText(r.high);
    case Range::Kind::About:
        return QStringLiteral("около ") + numberText(r.low);
    case Range::Kind::None:
        break;
    }
    return QString();
}

Size sizeByRule(const Range& maleWeight, const Range& maleHeight) {
    const auto grade = [](double value, std::array<double, 4> limits) {
        for (size_t i = 0; i < limits.size(); ++i)
            if (value <= limits[i]) return Size(i);
        return Size::Giant;
    };
    if (!maleWeight.isEmpty()) return grade(maleWeight.middle(), {5, 12, 25, 50});
    if (!maleHeight.isEmpty()) return grade(maleHeight.middle(), {25, 38, 55, 69});
    return Size::Unknown;
}

QString columnName(Column column) {
    return QString::fromUtf8(Columns[size_t(column)].name);
}

QStringList columnWords(Column column) {
    QStringList words = QString::fromUtf8(Columns[size_t(column)].words).split(u'|');
    words.removeAll(QString());
    return words;
}

FactsTable parseFacts(QByteArrayView bytes) {
    FactsTable table;
    const QString text = base::decodeCp1251(bytes);
    base::LineReader lines(text);
    if (lines.atEnd()) {
        for (int c = 0; c < ColumnCount; ++c)
            table.missing.append(columnName(Column(c)));
        return table;
    }
    // Where each column stands, from the first line's names.
    std::array<int, ColumnCount> at;
    at.fill(-1);
    const QList<QString> header = fieldsOf(lines.next());
    for (int c = 0; c < ColumnCount; ++c) {
        at[size_t(c)] = int(header.indexOf(columnName(Column(c))));
        if (at[size_t(c)] < 0) {
            table.missing.append(columnName(Column(c)));
            table.problems.append(
                {1, QStringLiteral("нет столбца «%1»").arg(columnName(Column(c)))});
        }
    }
    QSet<QString> seen;
    for (int line = 2; !lines.atEnd(); ++line) {
        const QStringView lineText = lines.next();
        if (lineText.trimmed().isEmpty()) continue;
        const QList<QString> fields = fieldsOf(lineText);
        const auto value = [&](Column c) {
            const int i = at[size_t(c)];
            return i >= 0 && i < fields.size() ? fields[i].trimmed() : QString();
        };
        Breed b;
        b.name = value(Column::Breed);
        b.line = line;
        if (b.name.isEmpty()) {
            table.problems.append({line, QStringLiteral("нет названия породы")});
            continue;
        }
        if (seen.contains(b.name)) {
            table.problems.append({line, QStringLiteral("«%1» уже была выше").arg(b.name)});
            continue;
        }
        seen.insert(b.name);
        const auto bad = [&](Column c, const QString& v) {
            table.problems.append(
                {line, QStringLiteral("%1: «%2» в столбце «%3»").arg(b.name, v, columnName(c))});
        };
        for (int ci = 0; ci < ColumnCount; ++ci) {
            const Column c = Column(ci);
            if (at[size_t(ci)] < 0 || c == Column::Breed) continue;
            const QString v = value(c);
            if (isRangeColumn(c)) {
                const std::optional<Range> r = parseRange(v);
                if (!r) {
                    bad(c, v);
                    continue;
                }
                (c == Column::HeightMale     ? b.heightMale
                 : c == Column::HeightFemale ? b.heightFemale
                 : c == Column::WeightMale   ? b.weightMale
                                             : b.weightFemale) = *r;
                continue;
            }
            if (c == Column::Life) {
                b.life = v;
                continue;
            }
            if (c == Column::Recognition) {
                b.recognition = v;
                continue;
            }
            const int w = wordValue(c, v);
            if (w < 0) {
                bad(c, v);
                continue;
            }
            const auto grade = static_cast<signed char>(w);
            switch (c) {
            case Column::Size:
                b.size = Size(w);
                break;
            case Column::Coat:
                b.coat = Coat(w);
                break;
            case Column::Shedding:
                b.shedding = grade;
                break;
            case Column::Grooming:
                b.grooming = grade;
                break;
            case Column::Activity:
                b.activity = grade;
                break;
            case Column::Trainability:
                b.trainability = grade;
                break;
            case Column::Guarding:
                b.guarding = grade;
                break;
            case Column::Barking:
                b.barking = grade;
                break;
            case Column::Children:
                b.children = Yes(w);
                break;
            case Column::Dogs:
                b.dogs = Yes(w);
                break;
            case Column::Cats:
                b.cats = Yes(w);
                break;
            case Column::Flat:
                b.flat = Yes(w);
                break;
            case Column::Novice:
                b.novice = Yes(w);
                break;
            case Column::Alone:
                b.alone = Copes(w);
                break;
            case Column::Cold:
                b.cold = Copes(w);
                break;
            case Column::Heat:
                b.heat = Copes(w);
                break;
            case Column::List974:
                b.list974 = Yes(w);
                break;
            default:
                break;
            }
        }
        table.breeds.append(std::move(b));
    }
    return table;
}

bool FactsSource::refresh() {
    const std::optional<base::FileStamp> stamp = base::stampOf(m_path);
    if (m_read && stamp == m_stamp) return false;
    m_read = true;
    m_stamp = stamp;
    m_table = {};
    m_failure.clear();
    try {
        m_table = parseFacts(base::readContentFile(m_path, MaxFactsBytes));
    } catch (const base::RuntimeFailure& failure) {
        m_failure = failure.text;
    } catch (const std::bad_alloc&) {
        m_failure = QStringLiteral("Недостаточно памяти: %1").arg(m_path);
    }
    return true;
}

} // namespace facts
