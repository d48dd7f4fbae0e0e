// SPDX-License-Identifier: GPL-3.0-or-later
// How a breed fits the chooser's answers, and the order of the results: the breeds that fit
// every answer, fewest reservations first, then those that miss exactly one. Each answer a
// breed fits, fits with a reservation, or does not fit; an unknown fact is a reservation.
// Plain data, no screen: the chooser window shows what this gives.
#pragma once

#include "formats/breedfacts.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <vector>

namespace facts {

struct Answers {
    enum class Home { Any, Flat, House } home = Home::Any;
    unsigned sizes = 0; // a bit per Size; none means any
    enum class Walks { Any, UpToHour, OneToTwo, OverTwo } walks = Walks::Any;
    enum class Experience { Any, First, Had } experience = Experience::Any;
    enum class Children { Any, Small, School, None } children = Children::Any;
    bool dog = false, cat = false;
    bool lowShedding = false, minimalCare = false, oftenAlone = false;
    bool frost = false, heat = false;
    enum class Guard { Any, Needed, NotNeeded } guard = Guard::Any;
    bool quiet = false;
    friend bool operator==(const Answers&, const Answers&) = default;
};

// What an answer asks of a breed, in the order the questions stand.
enum class Aspect {
    Flat,
    Size,
    Walks,
    Novice,
    Children,
    Dog,
    Cat,
    Shedding,
    Grooming,
    Alone,
    Frost,
    Heat,
    Guard,
    Bark
};
inline constexpr int AspectCount = 14;
// As an entry names it: «квартира», «линька».
QString aspectWord(Aspect aspect);

struct Fit {
    int breed = -1;            // its place in the facts table
    unsigned reservations = 0; // a bit per Aspect
    unsigned misses = 0;       // a bit per Aspect
    int reservationCount() const;
    int missCount() const;
};

Fit judge(const Breed& breed, const Answers& answers);

struct Choice {
    QList<Fit> fitting;    // fit every answer, fewest reservations first
    QList<Fit> missingOne; // miss exactly one answer, fewest reservations first
};

class Chooser {
public:
    // The breeds it chooses from, extinct ones left out; ties are listed by name, in
    // Russian alphabetical order.
    void setBreeds(const QList<Breed>& breeds);
    Choice choose(const Answers& answers) const;
    // How many breeds it offers (the total of the count line).
    qsizetype size() const { return qsizetype(m_byName.size()); }

private:
    QList<Breed> m_breeds;
    std::vector<int> m_byName; // indexes of the breeds offered, in alphabetical order
};

// An entry of the results: the name and why («Бигль — с оговорками: квартира, лай»;
// «Бигль — не подходит: линька»).
QString entryText(const Breed& breed, const Fit& fit);
// «Подходят все ответы: 14 пород из 312».
QString countLine(qsizetype fitting, qsizetype total);

// A breed's facts in words, one row each, for its description and for comparing breeds.
struct FactRow {
    QString label; // «Рост в холке»
    QString value; // «кобели 60–65 см, суки 55–60 см»
};
QList<FactRow> factRows(const Breed& breed);
// Whether the rows of the breeds differ, row by row (the same rows for every breed).
QList<bool> differingRows(const QList<QList<FactRow>>& breeds);

} // namespace facts
