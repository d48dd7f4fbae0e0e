// SPDX-License-Identifier: GPL-3.0-or-later
// A stretch of text: where it starts and how many UTF-16 code units it takes.
#pragma once

#include <QtGlobal>

namespace search {

struct Span {
    qsizetype offset = 0;
    qsizetype length = 0;
    qsizetype end() const { return offset + length; }
    friend bool operator==(const Span&, const Span&) = default;
};

} // namespace search
