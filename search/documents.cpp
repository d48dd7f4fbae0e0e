// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/documents.h"

namespace search {

namespace {

bool endsSentence(QChar c) {
    return c == u'.' || c == u'!' || c == u'?' || c == QChar(0x2026);
}

} // namespace

QList<Span> splitSentences(QStringView text) {
    QList<Span> sentences;
    qsizetype start = 0;
    for (qsizetype i = 0; i + 2 < text.size(); ++i) {
        if (!endsSentence(text[i]) || !text[i + 1].isSpace()) continue;
        qsizetype next = i + 1;
        while (next < text.size() && text[next].isSpace())
            ++next;
        if (next < text.size() && (text[next].isUpper() || text[next].isDigit())) {
            sentences.append({start, i + 1 - start});
            start = next;
            i = next - 1;
        }
    }
    if (start < text.size() || sentences.isEmpty()) sentences.append({start, text.size() - start});
    return sentences;
}

} // namespace search
