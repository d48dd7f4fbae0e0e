// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/breedchoice.h"

#include <QCollator>
#include <QLocale>
#include <algorithm>
#include <bit>

namespace facts {

namespace {

enum class Verdict { Fits, Reserved, Misses };

Verdict byYes(Yes value) {
    switch (value) {
    case Yes::Yes:
        return Verdict::Fits;
    case Yes::No:
        return Verdict::Misses;
    default:
        return Verdict::Reserved;
    }
}

Verdict byCopes(Copes value) {
    switch (value) {
    case Copes::Well:
        return Verdict::Fits;
    case Copes::Badly:
        return Verdict::Misses;
    default:
        return Verdict::Reserved;
    }
}

// Fits at most fit, a reservation at most reserved, else misses; unknown is a reservation.
Verdict atMost(signed char value, int fit, int reserved) {
    if (value < 0) return Verdict::Reserved;
    return value <= fit ? Verdict::Fits : value <= reserved ? Verdict::Reserved : Verdict::Misses;
}
Verdict atLeast(signed char value, int fit, int reserved) {
    if (value < 0) return Verdict::Reserved;
    return value >= fit ? Verdict::Fits : value >= reserved ? Verdict::Reserved : Verdict::Misses;
}

QString plural(qsizetype n, const char* one, const char* few, const char* many) {
    const qsizetype tens = n % 100, units = n % 10;
    if (tens >= 11 && tens <= 14) return QString::fromUtf8(many);
    if (units == 1) return QString::fromUtf8(one);
    if (units >= 2 && units <= 4) return QString::fromUtf8(few);
    return QString::fromUtf8(many);
}

QString aspectList(unsigned bits) {
    QStringList words;
    for (int a = 0; a < AspectCount; ++a)
        if (bits & (1u << a)) words << aspectWord(Aspect(a));
    return words.join(QStringLiteral(", "));
}

} // namespace

QString aspectWord(Aspect aspect) {
    static const char* const words[AspectCount] = {
        "квартира", "размер", "прогулки",  "первая собака", "дети", "собака", "кошка",
        "линька",   "уход",   "одна дома", "морозы",        "жара", "охрана", "лай"};
    return QString::fromUtf8(words[int(aspect)]);
}

int Fit::reservationCount() const {
    return std::popcount(reservations);
}
int Fit::missCount() const {
    return std::popcount(misses);
}

Fit judge(const Breed& b, const Answers& a) {
    Fit fit;
    const auto take = [&](Aspect aspect, Verdict verdict) {
        if (verdict == Verdict::Reserved) fit.reservations |= 1u << int(aspect);
        if (verdict == Verdict::Misses) fit.misses |= 1u << int(aspect);
    };
    using A = Answers;
    if (a.home == A::Home::Flat) take(Aspect::Flat, byYes(b.flat));
    if (a.sizes)
        take(Aspect::Size, b.size == Size::Unknown         ? Verdict::Reserved
                           : a.sizes & (1u << int(b.size)) ? Verdict::Fits
                                                           : Verdict::Misses);
    switch (a.walks) {
    case A::Walks::UpToHour:
        take(Aspect::Walks, atMost(b.activity, 2, 3));
        break;
    case A::Walks::OneToTwo:
        take(Aspect::Walks, atMost(b.activity, 3, 4));
        break;
    case A::Walks::OverTwo:
        take(Aspect::Walks, atLeast(b.activity, 3, 2));
        break;
    case A::Walks::Any:
        break;
    }
    if (a.experience == A::Experience::First) take(Aspect::Novice, byYes(b.novice));
    if (a.children == A::Children::Small) take(Aspect::Children, byYes(b.children));
    if (a.children == A::Children::School)
        take(Aspect::Children, b.children == Yes::No        ? Verdict::Misses
                               : b.children == Yes::Unknown ? Verdict::Reserved
                                                            : Verdict::Fits);
    if (a.dog) take(Aspect::Dog, byYes(b.dogs));
    if (a.cat) take(Aspect::Cat, byYes(b.cats));
    if (a.lowShedding) take(Aspect::Shedding, atMost(b.shedding, 0, 1));
    if (a.minimalCare) take(Aspect::Grooming, atMost(b.grooming, 1, 2));
    if (a.oftenAlone) take(Aspect::Alone, byCopes(b.alone));
    if (a.frost) take(Aspect::Frost, byCopes(b.cold));
    if (a.heat) take(Aspect::Heat, byCopes(b.heat));
    if (a.guard == A::Guard::Needed) take(Aspect::Guard, atLeast(b.guarding, 3, 2));
    if (a.guard == A::Guard::NotNeeded) take(Aspect::Guard, atMost(b.guarding, 1, 2));
    if (a.quiet) take(Aspect::Bark, atMost(b.barking, 1, 2));
    return fit;
}

void Chooser::setBreeds(const QList<Breed>& breeds) {
    m_breeds = breeds;
    QCollator collator{QLocale(QLocale::Russian)};
    std::vector<QCollatorSortKey> keys;
    keys.reserve(size_t(breeds.size()));
    for (const Breed& b : breeds)
        keys.push_back(collator.sortKey(b.name));
    m_byName.clear();
    for (qsizetype i = 0; i < breeds.size(); ++i)
        if (!breeds[i].extinct()) m_byName.push_back(int(i));
    std::stable_sort(m_byName.begin(), m_byName.end(),
                     [&](int x, int y) { return keys[size_t(x)].compare(keys[size_t(y)]) < 0; });
}

Choice Chooser::choose(const Answers& answers) const {
    // Counting sort on the reservations keeps the alphabetical order within each count.
    std::array<QList<Fit>, AspectCount + 1> fitting, missingOne;
    for (const int i : m_byName) {
        Fit fit = judge(m_breeds[i], answers);
        fit.breed = i;
        const int misses = fit.missCount();
        if (misses > 1) continue;
        (misses == 0 ? fitting : missingOne)[size_t(fit.reservationCount())].append(fit);
    }
    Choice choice;
    for (const auto& part : fitting)
        choice.fitting += part;
    for (const auto& part : missingOne)
        choice.missingOne += part;
    return choice;
}

QString entryText(const Breed& breed, const Fit& fit) {
    QStringList why;
    if (fit.misses) why << QStringLiteral("не подходит: ") + aspectList(fit.misses);
    if (fit.reservations) why << QStringLiteral("с оговорками: ") + aspectList(fit.reservations);
    if (why.isEmpty()) return breed.name;
    return breed.name + QStringLiteral(" — ") + why.join(QStringLiteral("; "));
}

QString countLine(qsizetype fitting, qsizetype total) {
    const QLocale ru(QLocale::Russian);
    return QStringLiteral("Подходят все ответы: %1 %2 из %3")
        .arg(ru.toString(qlonglong(fitting)), plural(fitting, "порода", "породы", "пород"),
             ru.toString(qlonglong(total)));
}

QList<FactRow> factRows(const Breed& b) {
    const auto pair = [](const Range& male, const Range& female, const char* unit) {
        const QString u = QString::fromUtf8(unit);
        if (male.isEmpty() && female.isEmpty()) return QStringLiteral("стандарт не указывает");
        if (male == female) return rangeText(male) + u;
        QStringList parts;
        if (!male.isEmpty()) parts << QStringLiteral("кобели ") + rangeText(male) + u;
        if (!female.isEmpty()) parts << QStringLiteral("суки ") + rangeText(female) + u;
        return parts.join(QStringLiteral(", "));
    };
    const auto pick = [](int value, std::initializer_list<const char*> words) {
        if (value < 0 || value >= int(words.size())) return QStringLiteral("нет данных");
        return QString::fromUtf8(words.begin()[value]);
    };
    const auto yes = [&](Yes v) { return pick(int(v), {"нет", "с оговорками", "да", "спорно"}); };
    const auto copes = [&](Copes v) {
        return pick(int(v), {"переносит плохо", "переносит умеренно", "переносит хорошо"});
    };
    return {
        {QStringLiteral("Рост в холке"), pair(b.heightMale, b.heightFemale, " см")},
        {QStringLiteral("Вес"), pair(b.weightMale, b.weightFemale, " кг")},
        {QStringLiteral("Размер"),
         pick(int(b.size), {"мини", "малая", "средняя", "крупная", "гигантская"})},
        {QStringLiteral("Шерсть"),
         pick(int(b.coat), {"голая", "короткая", "средняя", "длинная", "шнуры"})},
        {QStringLiteral("Линька"),
         pick(b.shedding, {"почти не линяет", "слабая", "сезонная", "сильная"})},
        {QStringLiteral("Уход за шерстью"),
         pick(b.grooming, {"", "щётка раз в неделю или реже", "раз-два в неделю, в линьку чаще",
                           "через день, или тримминг 2–4 раза в год",
                           "каждый день, или грумер раз в 4–8 недель"})},
        {QStringLiteral("Прогулки"),
         pick(b.activity,
              {"", "две спокойные прогулки по 20–30 минут", "около часа в день, с игрой",
               "полтора-два часа в день, со свободным бегом",
               "больше двух часов в день, со спортом",
               "каждый день работа, для которой выведена (охота, пастьба, упряжка)"})},
        {QStringLiteral("Обучаемость"),
         pick(b.trainability,
              {"", "независима, слушается избирательно", "обучается при последовательности",
               "учится легко, работает в спорте и послушании"})},
        {QStringLiteral("С детьми"), yes(b.children)},
        {QStringLiteral("С другими собаками"), yes(b.dogs)},
        {QStringLiteral("С кошками"), yes(b.cats)},
        {QStringLiteral("В квартире"), yes(b.flat)},
        {QStringLiteral("Первой собакой"), yes(b.novice)},
        {QStringLiteral("Одна дома"), copes(b.alone)},
        {QStringLiteral("Морозы"), copes(b.cold)},
        {QStringLiteral("Жара"), copes(b.heat)},
        {QStringLiteral("Охрана"), pick(b.guarding, {"не сторож", "предупреждает лаем",
                                                     "бдительный сторож", "охранник и защитник"})},
        {QStringLiteral("Лай"), pick(b.barking, {"", "редко", "по делу", "часто или звонко"})},
        {QStringLiteral("Продолжительность жизни"),
         b.life.isEmpty() ? QStringLiteral("нет данных") : b.life + QStringLiteral(" лет")},
        {QStringLiteral("Признание"),
         b.recognition.isEmpty() ? QStringLiteral("нет данных") : b.recognition},
        {QStringLiteral("В перечне потенциально опасных собак"), yes(b.list974)},
    };
}

QList<bool> differingRows(const QList<QList<FactRow>>& breeds) {
    QList<bool> differ;
    if (breeds.isEmpty()) return differ;
    for (qsizetype r = 0; r < breeds.first().size(); ++r) {
        bool d = false;
        for (const QList<FactRow>& rows : breeds)
            d = d || rows.value(r).value != breeds.first()[r].value;
        differ << d;
    }
    return differ;
}

} // namespace facts
