// SPDX-License-Identifier: GPL-3.0-or-later
// The facts the breed chooser compares (text\podbor.ssu): Windows-1251, one line per breed,
// fields in double quotes separated by commas, read by the catalogue's field rule. The
// first line names the columns; each column is found by its name, so an author may add
// columns and put them in any order. Every value is checked against its column's words; a
// value that is none of them is unknown and named in the problems.
#pragma once

#include "base/text.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace facts {

// A height or weight as a standard gives it: «60–65», «от 70», «до 30», «около 23», with a
// decimal comma («3,5–4,5»); empty where none is given.
struct Range {
    enum class Kind { None, Between, From, UpTo, About };
    Kind kind = Kind::None;
    double low = 0;  // Between, From, About
    double high = 0; // Between, UpTo, About
    bool isEmpty() const { return kind == Kind::None; }
    // The value the size rule takes: the middle of a range, a + 5 for «от a».
    double middle() const;
    friend bool operator==(const Range&, const Range&) = default;
};
// Nothing when the text is none of the forms (an empty text is an empty range).
std::optional<Range> parseRange(QStringView text);
// As the file writes it: «60–65», «от 70», «3,5».
QString rangeText(const Range& range);

// «да», «с оговорками», «нет» (and «спорно» for the list of dangerous dogs).
enum class Yes : signed char { Unknown = -1, No, Reserved, Yes, Disputed };
// «хорошо», «умеренно», «плохо».
enum class Copes : signed char { Unknown = -1, Badly, Moderately, Well };
// «мини», «малая», «средняя», «крупная», «гигантская».
enum class Size : signed char { Unknown = -1, Mini, Small, Medium, Large, Giant };
inline constexpr int SizeCount = 5;
// «голая», «короткая», «средняя», «длинная», «шнуры».
enum class Coat : signed char { Unknown = -1, Bare, Short, Medium, Long, Corded };

// The size a weight (kg) or, without one, a height (cm) of the males gives.
Size sizeByRule(const Range& maleWeight, const Range& maleHeight);

struct Breed {
    QString name;
    int line = 0; // in the file, from 1
    Range heightMale, heightFemale, weightMale, weightFemale;
    Size size = Size::Unknown;
    Coat coat = Coat::Unknown;
    // The graded columns, -1 where unknown.
    signed char shedding = -1, grooming = -1, activity = -1, trainability = -1, guarding = -1,
                barking = -1;
    Yes children = Yes::Unknown, dogs = Yes::Unknown, cats = Yes::Unknown, flat = Yes::Unknown,
        novice = Yes::Unknown;
    Copes alone = Copes::Unknown, cold = Copes::Unknown, heat = Copes::Unknown;
    Yes list974 = Yes::Unknown;
    QString life, recognition; // as written
    // A breed kept in the catalogue as history («признание» «вымерла»): never offered.
    bool extinct() const { return recognition == u"вымерла"; }
};

// The columns every file has, by the names its first line gives them.
enum class Column {
    Breed,
    HeightMale,
    HeightFemale,
    WeightMale,
    WeightFemale,
    Size,
    Coat,
    Shedding,
    Grooming,
    Activity,
    Trainability,
    Children,
    Dogs,
    Cats,
    Flat,
    Novice,
    Alone,
    Cold,
    Heat,
    Guarding,
    Barking,
    Life,
    Recognition,
    List974,
};
inline constexpr int ColumnCount = 24;
QString columnName(Column column);
// The words a column takes, in the order of their values; empty for the free columns
// (breed, heights and weights, life, recognition).
QStringList columnWords(Column column);

struct Problem {
    int line; // from 1
    QString text;
    friend bool operator==(const Problem&, const Problem&) = default;
};

struct FactsTable {
    QList<Breed> breeds;     // in file order; the first line of a name twice wins
    QList<Problem> problems; // values that are no word of their column, missing columns
    QStringList missing;     // columns the first line does not name
    bool empty() const { return breeds.isEmpty(); }
};

// Reads the file's bytes. A missing column leaves that fact unknown in every breed.
FactsTable parseFacts(QByteArrayView bytes);

// The most the facts file may hold: 100,000 breeds take some 20 MB.
constexpr qint64 MaxFactsBytes = qint64(64) << 20;

// The facts file as the chooser reads it: at its opening, and again only when the file's
// size or time changed since. A file that cannot be read (missing, not a regular file,
// too large, unreadable) leaves no breeds and says why.
class FactsSource {
public:
    explicit FactsSource(const QString& contentPath) : m_path(contentPath) {}
    // True when the file was read again (or became unreadable) since the last call.
    bool refresh();
    const FactsTable& table() const { return m_table; }
    // Why the file could not be read, or empty.
    const QString& failure() const { return m_failure; }
    const QString& path() const { return m_path; }

private:
    QString m_path;
    std::optional<base::FileStamp> m_stamp;
    bool m_read = false;
    FactsTable m_table;
    QString m_failure;
};

} // namespace facts
