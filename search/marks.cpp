// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/marks.h"

#include "search/passage.h"

#include <algorithm>
#include <cstring>

namespace search {

void FoundWords::add(QByteArrayView form, quint32 terms) {
    if (form.isEmpty()) return;
    m_terms[form.toByteArray()] |= terms;
    m_lengths[uchar(form[0])] |= quint64(1) << std::min<qsizetype>(form.size(), 63);
}

quint32 FoundWords::termsOf(QByteArrayView bytes, const Span* parts, int count) const {
    const char* fold = byteFolding().data();
    qsizetype length = 0;
    for (int i = 0; i < count; ++i)
        length += parts[i].length;
    // A soft hyphen inside is no letter.
    const qsizetype span = parts[count - 1].end() - parts[0].offset;
    if (std::memchr(bytes.data() + parts[0].offset, '\xAD', size_t(span)))
        for (int i = 0; i < count; ++i)
            length -=
                std::count(bytes.data() + parts[i].offset, bytes.data() + parts[i].end(), '\xAD');
    const char first = fold[uchar(bytes[parts[0].offset])];
    if (!(m_lengths[uchar(first)] & (quint64(1) << std::min<qsizetype>(length, 63)))) return 0;
    char key[64];
    length = 0;
    for (int i = 0; i < count; ++i)
        for (qsizetype b = parts[i].offset; b < parts[i].end(); ++b) {
            if (length == qsizetype(sizeof key)) return 0;
            if (const char f = fold[uchar(bytes[b])]) key[length++] = f;
        }
    return m_terms.value(QByteArray::fromRawData(key, length), 0);
}

QList<Span> FoundWords::marksIn(QStringView text) const {
    QList<Span> spans;
    if (m_terms.isEmpty()) return spans;
    // One byte for each character, so the words and their places are the index's.
    const QByteArray bytes = asContentBytes(text);
    forEachFound(bytes, [&](Span span, quint32, int) { spans.append(span); });
    return mergeSpans(std::move(spans));
}

} // namespace search
