// SPDX-License-Identifier: GPL-3.0-or-later
// Words of one family that a reader's word may stand for, made by rule from its stem and
// looked up in the content's own vocabulary: the same root with another prefix or none, as a
// verb or as a noun, with the consonant alternations of Russian roots («отморозил» and
// «обморожение», «переохладилась» and «переохлаждение», «хромает» and «хромота»; a root of
// fewer than four letters once its prefix is off is too many words' root to be one family),
// and a diminutive's plain word («лапка» for «лапа», «ушки» for «уши», «собачка» for
// «собака»). Only words the content holds are ever found, so a rule that makes a stem no text
// has costs nothing; what it does find weighs below the word itself.
#pragma once

#include <QString>
#include <QStringList>

namespace search {

// A family stem finds the forms that begin with it and go on by at most this many letters
// beyond it (in the form or in its stem): «хром» finds «хромота», not «хромосома».
constexpr qsizetype KinLetters = 3;
// The root a family shares, with its prefix taken off, has at least this many letters.
constexpr qsizetype KinRoot = 4;
// A kin word weighs this much of the word itself; a diminutive's plain word more.
constexpr float KinWeight = 0.5f;
constexpr float DiminutiveWeight = 0.7f;

// The stems of a Russian stem's family, without the stem itself; none for a stem under four
// letters or with a letter that is not Cyrillic.
QStringList kinStems(const QString& stem);

// The plain word's stems for a diminutive's stem («лапк» → «лап», «собачк» → «собак»); none
// for a stem that is no diminutive.
QStringList plainStems(const QString& stem);

} // namespace search
