// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/ssu-check/check.h"

#include "base/contentfiles.h"
#include "base/contentpath.h"
#include "base/failure.h"
#include "base/text.h"
#include "base/units.h"
#include "formats/breedfacts.h"
#include "formats/catalogfile.h"
#include "formats/framerule.h"
#include "formats/topicfile.h"
#include "search/wordgroups.h"

#include <QBuffer>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <array>
#include <optional>

namespace ssucheck {

namespace {

QString forwardSlashes(QString path) {
    path.replace(u'\\', u'/');
    return path;
}

QStringList forwardSlashes(QStringList paths) {
    for (QString& path : paths)
        path.replace(u'\\', u'/');
    return paths;
}

const QStringList TopicFiles = forwardSlashes(base::content::topicFiles());

// Start-up stops with a failure when one of these is missing or unreadable.
const QStringList StartupFiles =
    forwardSlashes(base::content::startupPictures() << base::content::Catalogue);

// Played from Sound/ beside the executable; the build copies them there from here.
QStringList soundsBesideProgram() {
    QStringList files;
    for (const QString& sound : base::content::soundFiles())
        files.append(forwardSlashes(sound.mid(1)));
    return files;
}
const QStringList SoundFiles = soundsBesideProgram();

// A Cyrillic letter in UTF-8 is D0 or D1 followed by 80..BF. In Windows-1251 that pair is
// a capital Р or С before a dash, a quote or ё: a few by chance, never many of them, nor
// a good share of the bytes above 7F.
constexpr int Utf8LettersAlways = 20;
constexpr int Utf8LettersAtLeast = 4;

const QString CatalogueFile = forwardSlashes(base::content::Catalogue);
const QString WordGroupsFile = forwardSlashes(base::content::WordGroups);
const QString BreedFactsFile = forwardSlashes(base::content::BreedFacts);

struct Line {
    QString text;    // decoded, without its end
    qsizetype start; // offset in the file: one byte is one character in Windows-1251
    base::LineEnd end;
};

// Splits as the readers do.
QList<Line> splitLines(const QByteArray& bytes) {
    QList<Line> lines;
    for (qsizetype pos = 0; pos < bytes.size();) {
        const base::LineSpan span = base::lineAt(QByteArrayView(bytes), pos);
        lines.append(
            {base::decodeCp1251(bytes.sliced(span.start, span.length)), span.start, span.end});
        pos = span.next();
    }
    return lines;
}

// The line (from 1) holding a byte.
int lineOf(const QList<Line>& lines, qsizetype offset) {
    const auto after = std::upper_bound(lines.begin(), lines.end(), offset,
                                        [](qsizetype o, const Line& l) { return o < l.start; });
    return int(after - lines.begin());
}

// Line ends inside a quoted field, counted as the reader counts lines.
int lineEndsIn(const QString& field) {
    return base::countLineEnds(field);
}

bool isBlank(const QString& line) {
    return std::all_of(line.begin(), line.end(), [](QChar c) { return c == u' '; });
}

class Checker {
public:
    explicit Checker(const QString& folder) : m_folder(folder) {}

    QList<Finding> run() {
        for (const QString& file : TopicFiles)
            checkTopicFile(file);
        checkWordGroups();
        checkCatalogue();
        checkBreedFacts();
        checkStartupFiles();
        return std::move(m_findings);
    }

private:
    struct Entry {
        int line;
        catalogue::Record record;
    };

    void add(const QString& file, int line, Severity severity, const QString& message) {
        m_findings.append({file, line, severity, message});
    }
    // A file's findings in line order, whichever check found them.
    void sortFrom(qsizetype first) {
        std::stable_sort(m_findings.begin() + first, m_findings.end(),
                         [](const Finding& a, const Finding& b) { return a.line < b.line; });
    }
    // The file as the program finds it: names match case-insensitively.
    QString pathOf(const QString& file) const { return base::realPath(m_folder + u'/' + file); }
    bool exists(const QString& file) const { return QFileInfo(pathOf(file)).isFile(); }

    std::optional<QByteArray> read(const QString& file);
    void checkEncoding(const QString& file, const QByteArray& bytes, const QList<Line>& lines);
    void checkTopicFile(const QString& file);
    void checkWordGroups();
    void checkTopics(const QString& file, const QList<Line>& lines, const QString& text);
    void checkCatalogue();
    QList<Entry> readRecords(const QList<Line>& lines, const QString& text);
    void checkRecords(const QList<Entry>& entries);
    void checkBreedFacts();
    std::optional<QImage> decode(const QString& file, QByteArray* format, QString* why) const;
    void checkPhoto(int line, const QString& photo);
    void checkStartupFiles();

    QString m_folder;
    QList<Finding> m_findings;
    std::optional<QStringList> m_breedNames; // the catalogue's, once it could be read
};

std::optional<QByteArray> Checker::read(const QString& file) {
    try {
        return base::readContentFile(m_folder + u'/' + file);
    } catch (const base::RuntimeFailure& failure) {
        add(file, 0, Severity::Error,
            failure.number == base::ErrFileNotFound
                ? QStringLiteral("missing")
                : QStringLiteral("cannot be read (error %1)").arg(failure.number));
        return std::nullopt;
    }
}

void Checker::checkEncoding(const QString& file, const QByteArray& bytes,
                            const QList<Line>& lines) {
    QList<qsizetype> utf8Letters;
    QList<qsizetype> undefined; // 0x98, the one byte without a character
    QList<qsizetype> undefinedInPairs;
    qsizetype highBytes = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const uchar b = uchar(bytes[i]);
        highBytes += b >= 0x80;
        const bool pair = (b == 0xD0 || b == 0xD1) && i + 1 < bytes.size() &&
                          (uchar(bytes[i + 1]) & 0xC0) == 0x80;
        if (pair) {
            utf8Letters.append(i);
            if (uchar(bytes[i + 1]) == 0x98) undefinedInPairs.append(i + 1);
            ++highBytes;
            ++i;
        } else if (b == 0x98) {
            undefined.append(i);
        }
    }

    const qsizetype letters = utf8Letters.size();
    if (letters >= Utf8LettersAlways ||
        (letters >= Utf8LettersAtLeast && 4 * 2 * letters >= highBytes)) { // a quarter
        add(file, lineOf(lines, utf8Letters.first()), Severity::Error,
            QStringLiteral("looks like UTF-8: %1 Cyrillic letters are encoded so, the first "
                           "here; content files are Windows-1251")
                .arg(utf8Letters.size()));
    } else {
        // Windows-1251 after all, where 0x98 has no character.
        undefined += undefinedInPairs;
        std::sort(undefined.begin(), undefined.end());
    }
    for (qsizetype i = 0; i < undefined.size();) {
        const int line = lineOf(lines, undefined[i]);
        qsizetype j = i;
        while (j < undefined.size() && lineOf(lines, undefined[j]) == line)
            ++j;
        QString message = QStringLiteral("byte 0x98 at column %1 has no character in "
                                         "Windows-1251")
                              .arg(undefined[i] - lines[line - 1].start + 1);
        if (j - i > 1) message += QStringLiteral(" (%1 on this line)").arg(j - i);
        add(file, line, Severity::Error, message);
        i = j;
    }

    const auto notCrLf = [](const Line& l) {
        return l.end == base::LineEnd::Cr || l.end == base::LineEnd::Lf;
    };
    const auto first = std::find_if(lines.begin(), lines.end(), notCrLf);
    if (first != lines.end())
        add(file, int(first - lines.begin()) + 1, Severity::Warning,
            QStringLiteral("line ends in %1 rather than CR LF (%2 such lines in the file)")
                .arg(first->end == base::LineEnd::Cr ? QStringLiteral("CR") : QStringLiteral("LF"))
                .arg(std::count_if(lines.begin(), lines.end(), notCrLf)));
}

void Checker::checkTopicFile(const QString& file) {
    const qsizetype first = m_findings.size();
    const std::optional<QByteArray> bytes = read(file);
    if (!bytes) return;
    const QList<Line> lines = splitLines(*bytes);
    checkEncoding(file, *bytes, lines);
    checkTopics(file, lines, base::decodeCp1251(*bytes));
    sortFrom(first);
}

void Checker::checkTopics(const QString& file, const QList<Line>& lines, const QString& text) {
    struct Opening {
        int line;
        QString title;
    };
    QList<Opening> openings;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& titleLine = lines[i].text;
        if (!titleLine.startsWith(u'#')) continue; // outside a topic: the program skips it
        const int line = int(i) + 1;
        const QString title = titleLine.mid(1);
        openings.append({line, title});
        if (title.isEmpty())
            add(file, line, Severity::Warning, QStringLiteral("empty title"));
        else if (title.back().isSpace())
            add(file, line, Severity::Warning,
                QStringLiteral("title «%1» ends in spaces, which its closing line must repeat "
                               "exactly")
                    .arg(title));

        qsizetype close = i + 1;
        while (close < lines.size() && lines[close].text != titleLine)
            ++close;
        if (close == lines.size()) {
            add(file, line, Severity::Error,
                QStringLiteral("topic «%1» has no closing line «%2» before the end of the file: "
                               "it shows every line after it")
                    .arg(title, titleLine));
            continue; // the next "#" line most likely opens the next topic
        }
        for (qsizetype j = i + 1; j < close; ++j)
            if (lines[j].text.startsWith(u'#'))
                add(file, int(j) + 1, Severity::Error,
                    QStringLiteral("line inside topic «%1» (line %2) begins with «#»: the "
                                   "program takes it for a title")
                        .arg(title, QString::number(line)));
        i = close;
    }
    if (openings.isEmpty()) {
        add(file, 0, Severity::Warning, QStringLiteral("no topics: the section lists nothing"));
        return;
    }

    // The program's own list decides which topics a repeated title hides.
    QHash<QString, int> listed;
    for (const QString& title : topics::scanTitles(text).titles)
        ++listed[title];
    QHash<QString, int> lastLine;
    for (const Opening& o : openings) {
        const auto previous = lastLine.constFind(o.title);
        const QString before =
            previous == lastLine.constEnd() ? QString() : QString::number(*previous);
        if (listed.value(o.title) > 0) {
            --listed[o.title];
            if (!before.isEmpty())
                add(file, o.line, Severity::Error,
                    QStringLiteral("title «%1» repeats the topic at line %2: the list shows it "
                                   "twice, and either shows both texts")
                        .arg(o.title, before));
        } else {
            add(file, o.line, Severity::Error,
                before.isEmpty()
                    ? QStringLiteral("topic «%1» is not listed by the program").arg(o.title)
                    : QStringLiteral("topic «%1» is not listed: its title repeats the topic "
                                     "just before (line %2), and the program reads it as that "
                                     "topic's closing line")
                          .arg(o.title, before));
        }
        lastLine.insert(o.title, o.line);
    }
}

// The search's word groups: laid out as a topic file; the search does without the file.
void Checker::checkWordGroups() {
    if (!exists(WordGroupsFile)) return;
    const qsizetype first = m_findings.size();
    const std::optional<QByteArray> bytes = read(WordGroupsFile);
    if (!bytes) return;
    const QList<Line> lines = splitLines(*bytes);
    checkEncoding(WordGroupsFile, *bytes, lines);
    const QString text = base::decodeCp1251(*bytes);
    checkTopics(WordGroupsFile, lines, text);
    for (const search::WordGroupProblem& problem : search::parseWordGroups(text).problems)
        add(WordGroupsFile, lineOf(lines, problem.offset), Severity::Warning, problem.message);
    sortFrom(first);
}

void Checker::checkCatalogue() {
    if (!exists(CatalogueFile)) return; // reported with the files start-up needs
    const qsizetype first = m_findings.size();
    const std::optional<QByteArray> bytes = read(CatalogueFile);
    if (!bytes) return;
    const QList<Line> lines = splitLines(*bytes);
    checkEncoding(CatalogueFile, *bytes, lines);
    const QList<Entry> entries = readRecords(lines, base::decodeCp1251(*bytes));
    checkRecords(entries);
    m_breedNames.emplace();
    for (const Entry& e : entries)
        m_breedNames->append(e.record.name);
    sortFrom(first);
}

// The chooser's facts: every value one of its column's words, one line for each catalogue
// breed by its exact name, and the rules the file's values follow. The chooser does
// without the file, and says so.
void Checker::checkBreedFacts() {
    if (!exists(BreedFactsFile)) return;
    const qsizetype first = m_findings.size();
    const std::optional<QByteArray> bytes = read(BreedFactsFile);
    if (!bytes) return;
    const QList<Line> lines = splitLines(*bytes);
    checkEncoding(BreedFactsFile, *bytes, lines);
    const facts::FactsTable table = facts::parseFacts(*bytes);
    for (const facts::Problem& p : table.problems)
        add(BreedFactsFile, p.line, Severity::Error, p.text);
    const auto word = [](facts::Column column, int value) {
        return facts::columnWords(column).value(value);
    };
    QSet<QString> catalogue;
    if (m_breedNames) catalogue = QSet<QString>(m_breedNames->begin(), m_breedNames->end());
    QSet<QString> listed;
    for (const facts::Breed& b : table.breeds) {
        listed.insert(b.name);
        if (m_breedNames && !catalogue.contains(b.name))
            add(BreedFactsFile, b.line, Severity::Error,
                QStringLiteral("«%1» is no breed of %2: the chooser would offer a breed the "
                               "catalogue cannot show")
                    .arg(b.name, CatalogueFile));
        const facts::Size bySize = facts::sizeByRule(b.weightMale, b.heightMale);
        if (b.size != facts::Size::Unknown && bySize != facts::Size::Unknown && b.size != bySize)
            add(BreedFactsFile, b.line, Severity::Error,
                QStringLiteral("%1: size «%2», the males' %3 give «%4»")
                    .arg(b.name, word(facts::Column::Size, int(b.size)),
                         b.weightMale.isEmpty() ? QStringLiteral("height")
                                                : QStringLiteral("weight"),
                         word(facts::Column::Size, int(bySize))));
        if ((b.guarding == 3 || b.activity == 5) && b.novice != facts::Yes::No &&
            b.novice != facts::Yes::Unknown)
            add(BreedFactsFile, b.line, Severity::Error,
                QStringLiteral("%1: «новичку» must be «нет» for «охрана» 3 or «активность» 5")
                    .arg(b.name));
    }
    if (m_breedNames)
        for (const QString& name : std::as_const(*m_breedNames))
            if (!listed.contains(name))
                add(BreedFactsFile, 0, Severity::Warning,
                    QStringLiteral("no line for «%1»: the chooser leaves the breed out").arg(name));
    sortFrom(first);
}

// Reads with the program's reader and checks that every record fills exactly one line.
// After a record that does not, the reader starts again at the start of a line, so that
// the records after it are checked as they were meant.
QList<Checker::Entry> Checker::readRecords(const QList<Line>& lines, const QString& text) {
    static const QRegularExpression quotedLayout(QStringLiteral(R"(^"[^"]*","[^"]*","[^"]*"$)"));
    QList<Entry> entries;
    qsizetype from = 0; // the line the reader starts on, from 0
    while (from < lines.size()) {
        catalogue::FieldReader reader(QStringView(text).sliced(lines[from].start));
        const int offset = int(from);
        from = lines.size();
        while (!reader.atEnd()) {
            const int line = offset + reader.line();
            std::array<QString, 3> fields;
            std::array<bool, 3> endsLine{}; // the field ended at a line end, not a comma
            int count = 0;
            int breaksInQuotes = 0;
            for (QString& field : fields) {
                const int before = reader.line();
                std::optional<QString> value = reader.readField();
                if (!value) break;
                field = std::move(*value);
                const int breaks = lineEndsIn(field);
                breaksInQuotes += breaks;
                endsLine[count++] = reader.line() - before > breaks;
            }
            if (count < 3) {
                const bool blankTail = std::all_of(lines.begin() + line - 1, lines.end(),
                                                   [](const Line& l) { return isBlank(l.text); });
                if (blankTail)
                    add(CatalogueFile, line, Severity::Warning,
                        QStringLiteral("blank line after the last record"));
                else
                    add(CatalogueFile, line, Severity::Error,
                        QStringLiteral("incomplete record: %1 of 3 fields before the end of the "
                                       "file; the program leaves it out")
                            .arg(count));
                break;
            }
            const int fieldsOnLine = endsLine[0] ? 1 : endsLine[1] ? 2 : 3;
            if (fieldsOnLine < 3 || !(endsLine[2] || reader.atEnd())) {
                QString message =
                    isBlank(lines[line - 1].text)
                        ? QStringLiteral("blank line: the program reads it as an empty field")
                    : fieldsOnLine < 3
                        ? QStringLiteral("only %1 of 3 fields on the line").arg(fieldsOnLine)
                        : QStringLiteral("more than 3 fields on the line");
                add(CatalogueFile, line, Severity::Error,
                    message + QStringLiteral(", which shifts every later record"));
                // The line the reader got to, or else the next one.
                from = std::max<qsizetype>(offset + reader.line() - 1, line);
                break;
            }
            if (breaksInQuotes > 0)
                add(CatalogueFile, line, Severity::Warning,
                    QStringLiteral("record runs over %1 lines: a line break inside quotes")
                        .arg(breaksInQuotes + 1));
            else if (!quotedLayout.match(lines[line - 1].text).hasMatch())
                add(CatalogueFile, line, Severity::Warning,
                    QStringLiteral("record not in the layout \"name\",\"description\","
                                   "\"sobNNN.jpg\""));
            entries.append({line, {fields[0], fields[1], fields[2]}});
        }
    }
    return entries;
}

void Checker::checkRecords(const QList<Entry>& entries) {
    static const QRegularExpression photoShape(QStringLiteral(R"(^sob\d{3}\.jpg$)"),
                                               QRegularExpression::CaseInsensitiveOption);
    if (entries.isEmpty()) {
        add(CatalogueFile, 0, Severity::Warning, QStringLiteral("no records"));
        return;
    }
    QHash<QString, int> nameLines;
    QStringList withoutPhoto;
    int firstWithoutPhoto = 0;
    for (const Entry& e : entries) {
        const catalogue::Record& r = e.record;
        if (const auto seen = nameLines.constFind(r.name); seen != nameLines.constEnd())
            add(CatalogueFile, e.line, Severity::Error,
                QStringLiteral("name «%1» repeats line %2: choosing either shows the last")
                    .arg(r.name, QString::number(*seen)));
        else
            nameLines.insert(r.name, e.line);

        const std::optional<QString> path = catalogue::photoPath(r.photoFile);
        if (!path) {
            add(CatalogueFile, e.line, Severity::Error,
                QStringLiteral("photo file name «%1» is shorter than 3 characters: the breed "
                               "shows «Нет фото»")
                    .arg(r.photoFile));
            continue;
        }
        if (!photoShape.match(r.photoFile).hasMatch())
            add(CatalogueFile, e.line, Severity::Warning,
                QStringLiteral("photo file name «%1» is not of the form sobNNN.jpg")
                    .arg(r.photoFile));
        const QString photo = forwardSlashes(*path);
        if (exists(photo)) {
            checkPhoto(e.line, photo);
            continue;
        }
        withoutPhoto.append(QStringLiteral("%1 (%2)").arg(r.name, QFileInfo(photo).fileName()));
        if (!firstWithoutPhoto) firstWithoutPhoto = e.line;
        if (&e == &entries.constFirst())
            add(CatalogueFile, e.line, Severity::Warning,
                QStringLiteral("no photo %1 for the first breed: the catalogue opens on "
                               "«Нет фото»")
                    .arg(photo));
    }
    if (!withoutPhoto.isEmpty())
        add(CatalogueFile, firstWithoutPhoto, Severity::Note,
            QStringLiteral("%1 of %2 breeds show «Нет фото», their photo is not in dog/: %3")
                .arg(QString::number(withoutPhoto.size()), QString::number(entries.size()),
                     withoutPhoto.join(QStringLiteral(", "))));
}

// Reads and decodes as the program does: a file of at most the program's bound, by content
// whatever the name says.
std::optional<QImage> Checker::decode(const QString& file, QByteArray* format, QString* why) const {
    QBuffer bytes;
    try {
        bytes.setData(base::readContentFile(m_folder + u'/' + file, base::MaxPictureBytes));
    } catch (const base::RuntimeFailure& failure) {
        *why = failure.text;
        return std::nullopt;
    }
    QImageReader reader(&bytes);
    reader.setDecideFormatFromContent(true);
    *format = reader.format(); // known only before reading
    QImage image = reader.read();
    if (image.isNull()) {
        *why = reader.errorString();
        return std::nullopt;
    }
    return image;
}

void Checker::checkPhoto(int line, const QString& photo) {
    QByteArray format;
    QString why;
    const std::optional<QImage> image = decode(photo, &format, &why);
    if (!image) {
        add(CatalogueFile, line, Severity::Error,
            QStringLiteral("photo %1 cannot be decoded (%2): the breed shows «Нет фото»")
                .arg(photo, why));
        return;
    }
    if (format != "jpeg")
        add(CatalogueFile, line, Severity::Warning,
            QStringLiteral("photo %1 is %2, not JPEG").arg(photo, QString::fromLatin1(format)));
    const bool landscape = catalogue::frame::isLandscape(base::pxToTwips(image->width()));
    const QSize frame =
        landscape ? catalogue::frame::LandscapeMaxPhoto : catalogue::frame::PortraitMaxPhoto;
    if (image->width() > frame.width() || image->height() > frame.height())
        add(CatalogueFile, line, Severity::Warning,
            QStringLiteral("photo %1 is %2x%3, larger than the %4 frame (at most %5x%6)")
                .arg(photo, QString::number(image->width()), QString::number(image->height()),
                     landscape ? QStringLiteral("landscape") : QStringLiteral("portrait"),
                     QString::number(frame.width()), QString::number(frame.height())));
}

void Checker::checkStartupFiles() {
    for (const QString& file : StartupFiles) {
        if (!exists(file)) {
            add(file, 0, Severity::Error, QStringLiteral("missing: start-up fails without it"));
            continue;
        }
        QByteArray format;
        QString why;
        if (file.endsWith(QStringLiteral(".jpg")) && !decode(file, &format, &why))
            add(file, 0, Severity::Error,
                QStringLiteral("cannot be decoded (%1): start-up fails on it").arg(why));
    }
    for (const QString& file : SoundFiles)
        if (!exists(file))
            add(file, 0, Severity::Warning,
                QStringLiteral("missing: the build copies Sound/ beside the executable, and "
                               "the program stays silent without it"));
}

} // namespace

QList<Finding> checkContent(const QString& folder) {
    return Checker(folder).run();
}

QStringList contentFiles() {
    return TopicFiles + StartupFiles;
}

QStringList soundFiles() {
    return SoundFiles;
}

QString formatFinding(const Finding& finding) {
    static const QString names[] = {QStringLiteral("error"), QStringLiteral("warning"),
                                    QStringLiteral("note")};
    QString where = finding.file;
    if (finding.line > 0) where += u':' + QString::number(finding.line);
    return QStringLiteral("%1: %2: %3").arg(where, names[int(finding.severity)], finding.message);
}

int countOf(const QList<Finding>& findings, Severity severity) {
    return int(std::count_if(findings.begin(), findings.end(),
                             [&](const Finding& f) { return f.severity == severity; }));
}

QString formatSummary(const QList<Finding>& findings) {
    const auto counted = [&](Severity severity, const char* one, const char* many) {
        const int n = countOf(findings, severity);
        return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
    };
    return QStringLiteral("ssu-check: %1, %2, %3")
        .arg(counted(Severity::Error, "error", "errors"),
             counted(Severity::Warning, "warning", "warnings"),
             counted(Severity::Note, "note", "notes"));
}

} // namespace ssucheck
