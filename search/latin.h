// SPDX-License-Identifier: GPL-3.0-or-later
// A word typed in Latin letters read as an English speaker would say it, in Cyrillic
// («beagle» → «бигль», «klicker» → «кликер»): breeds and training words are written so in
// the reference, and a reader who types the foreign spelling is looking for them. The reading
// need only come within one letter of the reference's spelling, which the typo retry mends.
#pragma once

#include <QString>

namespace search {

// Empty unless the word is Latin letters only.
QString cyrillicReading(const QString& latin);

} // namespace search
