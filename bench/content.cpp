// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/content.h"

#include "tests/fixture.h"

#include <QBuffer>
#include <QImage>
#include <QRandomGenerator>

namespace bench {

namespace {

// Russian prose from a small vocabulary: the decoder, the line scanner and the sort see
// the letters and line lengths of real text.
class Prose {
public:
    explicit Prose(quint32 seed) : m_random(seed) {
        static const QStringList words =
            QString::fromUtf8(
                "собака щенок порода шерсть окрас кормление прогулка дрессировка ветеринар "
                "здоровье характер хозяин команда поводок ошейник миска корм мясо каша витамины "
                "вольер будка лапы уши хвост зубы глаза нос холка вес рост охрана охота служба "
                "компаньон семья дети игра упражнение навык поощрение лакомство прививка глисты "
                "блохи клещ расчёсывание купание когти осмотр питание режим возраст взрослая "
                "молодая крупная мелкая средняя активная спокойная умная верная выносливая "
                "послушная ласковая чуткая быстрая сильная обычно часто редко всегда ежедневно "
                "летом зимой утром вечером дома на улице в городе за городом очень весьма")
                .split(u' ', Qt::SkipEmptyParts);
        m_words = &words;
    }

    QString words(int count) {
        QString text;
        for (int i = 0; i < count; ++i) {
            if (i > 0) text += u' ';
            text += pick();
        }
        return text;
    }

    // Sentences until the paragraph has at least minChars characters.
    void appendParagraph(QString& text, int minChars) {
        const qsizetype start = text.size();
        while (text.size() - start < minChars) {
            if (text.size() > start) text += u' ';
            const int count = bounded(6, 15);
            for (int i = 0; i < count; ++i) {
                QString word = pick();
                if (i == 0)
                    word[0] = word[0].toUpper();
                else
                    text += (bounded(0, 8) == 0) ? QStringLiteral(", ") : QStringLiteral(" ");
                text += word;
            }
            text += u'.';
        }
    }

    int bounded(int low, int high) { return int(m_random.bounded(low, high)); }

private:
    const QString& pick() { return (*m_words)[bounded(0, int(m_words->size()))]; }
    QRandomGenerator m_random;
    const QStringList* m_words = nullptr;
};

QString numbered(const char* prefix, int number) {
    return QString::fromUtf8(prefix) + QString::number(number).rightJustified(6, u'0');
}

QByteArray jpeg(QSize size, quint32 seed) {
    QRandomGenerator random(seed);
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int noise = int(random.bounded(48));
            line[x] = qRgb((x * 200 / size.width() + noise) & 0xFF,
                           (y * 200 / size.height() + noise) & 0xFF, (x + y + noise) & 0xFF);
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 85);
    return bytes;
}

// "Graph\\fon.jpg" -> "Graph\\fon@2x.jpg": twice the pixels, read only above pixel ratio 1.
QString doubled(const QString& path) {
    return QString(path).insert(path.lastIndexOf(u'.'), QStringLiteral("@2x"));
}

} // namespace

TopicFile makeTopicFile(qint64 targetBytes, quint32 seed) {
    Prose prose(seed);
    TopicFile file;
    QString text;
    text.reserve(targetBytes + 8192);
    // Windows-1251 has one byte per character, so the text's length is the file's size.
    while (text.size() < targetBytes) {
        ++file.topics;
        const QString title = numbered("Тема ", file.topics) + u' ' + prose.words(3);
        text += u'#' + title + QStringLiteral("\r\n");
        for (int paragraphs = prose.bounded(3, 8); paragraphs > 0; --paragraphs) {
            prose.appendParagraph(text, prose.bounded(150, 700));
            text += u"\r\n";
        }
        text += u'#' + title + QStringLiteral("\r\n");
        file.lastTitle = title;
    }
    file.bytes = toCp1251(text);
    return file;
}

Catalogue writeCatalogue(Fixture& fixture, int records) {
    Prose prose(0xCA7A);
    QString text;
    text.reserve(qsizetype(records) * 1100);
    Catalogue catalogue;
    for (int i = 1; i <= records; ++i) {
        catalogue.lastName = numbered("Порода ", i);
        text += u'"' + catalogue.lastName + QStringLiteral("\",\"");
        prose.appendParagraph(text, prose.bounded(600, 1400));
        text += QStringLiteral("\",\"") + numbered("sob", i) + QStringLiteral(".jpg\"\r\n");
    }
    catalogue.bytes = toCp1251(text);
    fixture.writeBytes(QStringLiteral("text\\FOLDOG.ssu"), catalogue.bytes);
    const struct {
        int number;
        QSize size;
    } photos[] = {{1, {217, 161}}, {records, {186, 209}}};
    quint32 seed = 0;
    for (const auto& photo : photos) {
        const QString path = numbered("dog\\sob", photo.number) + QStringLiteral(".jpg");
        fixture.writeBytes(path, jpeg(photo.size, ++seed));
        fixture.writeBytes(doubled(path), jpeg(photo.size * 2, seed));
    }
    return catalogue;
}

void writeStartupPictures(Fixture& fixture) {
    quint32 seed = 100;
    for (const QString& path : StartupPictures) {
        QSize size(41, 36); // help, minimise and exit buttons
        if (path.startsWith(u"dog"))
            size = {233, 177};
        else if (path.contains(u"fon"))
            size = {640, 512};
        else if (path.contains(u"AR"))
            size = {50, 23};
        fixture.writeBytes(path, jpeg(size, ++seed));
        fixture.writeBytes(doubled(path), jpeg(size * 2, seed));
    }
}

QByteArray standardTopicFile(int section) {
    return makeTopicFile(StandardTopicBytes, quint32(section + 1)).bytes;
}

void writeStandardContent(Fixture& fixture) {
    writeStartupPictures(fixture);
    const char* const files[] = {"HCD", "vos", "kiv", "kvs", "drs"};
    for (int i = 0; i < 5; ++i)
        fixture.writeBytes(QStringLiteral("text\\%1.ssu").arg(QLatin1String(files[i])),
                           standardTopicFile(i));
    writeCatalogue(fixture, StandardBreeds);
}

} // namespace bench
