// SPDX-License-Identifier: GPL-3.0-or-later
// Content files are 8-bit Windows-1251 text; this is the one place that decodes them.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <memory>
#include <optional>

class QFile;

namespace base {

// Lines end at CR LF, at a CR alone or at an LF alone, and the last line may lack its end.
// This is the one place that says so: both readers and the content checker split here,
// on decoded text and on the file's bytes alike (one byte is one character).
enum class LineEnd { CrLf, Cr, Lf, None };

// The length of the line end at pos: 2 for CR LF, 1 for a CR or an LF alone, else 0.
template <class View> constexpr qsizetype lineEndLength(View text, qsizetype pos) {
    if (pos >= text.size()) return 0;
    if (text[pos] == '\r') return pos + 1 < text.size() && text[pos + 1] == '\n' ? 2 : 1;
    return text[pos] == '\n' ? 1 : 0;
}

struct LineSpan {
    qsizetype start;
    qsizetype length; // without the line end
    LineEnd end;
    qsizetype next() const {
        return start + length + (end == LineEnd::CrLf ? 2 : end == LineEnd::None ? 0 : 1);
    }
};

// The line that begins at start.
template <class View> constexpr LineSpan lineAt(View text, qsizetype start) {
    qsizetype end = start;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n')
        ++end;
    const qsizetype endLength = lineEndLength(text, end);
    const LineEnd kind = endLength == 2      ? LineEnd::CrLf
                         : endLength == 0    ? LineEnd::None
                         : text[end] == '\r' ? LineEnd::Cr
                                             : LineEnd::Lf;
    return {start, end - start, kind};
}

// How many lines end inside text.
template <class View> int countLineEnds(View text) {
    int count = 0;
    for (qsizetype i = 0; i < text.size();)
        if (const qsizetype length = lineEndLength(text, i)) {
            ++count;
            i += length;
        } else {
            ++i;
        }
    return count;
}

// Reads decoded text, or a file's bytes, line by line.
template <class View> class BasicLineReader {
public:
    explicit BasicLineReader(View text) : m_text(text) {}
    bool atEnd() const { return m_pos >= m_text.size(); }
    View next() {
        const LineSpan line = lineAt(m_text, m_pos);
        m_pos = line.next();
        return m_text.sliced(line.start, line.length);
    }

private:
    View m_text;
    qsizetype m_pos = 0;
};
using LineReader = BasicLineReader<QStringView>;

QString decodeCp1251(QByteArrayView bytes);
// Whether the bytes decode to the text, decoding a piece at a time.
bool decodesTo(QByteArrayView bytes, QStringView text);

// The most a content file read whole may hold: no real file of its kind comes near it, and
// reading a larger one (a runaway file, a huge sparse one) fails as too large rather than
// filling the memory.
constexpr qint64 MaxTextBytes = qint64(512) << 20;
constexpr qint64 MaxPictureBytes = qint64(64) << 20;

// Reads a whole content file (path as the program names it, with "\"). Only a regular
// file is opened (a FIFO would block, a device never end): anything else, like a missing
// file, is a failure naming the file, and so are a file that cannot be read and one larger
// than maxBytes.
QByteArray readContentFile(const QString& contentPath, qint64 maxBytes = MaxTextBytes);
// The same for one of the user's own files (the settings, the bookmarks), named by its
// path on this machine as it is.
QByteArray readUserFile(const QString& path, qint64 maxBytes);
[[noreturn]] void failTooLarge(const QString& contentPath);

// Which version of a file was read: a file edited or replaced since has another stamp.
struct FileStamp {
    qint64 size = 0;
    qint64 modified = 0; // ns
    qint64 changed = 0;  // ns, the inode's change time
    quint64 device = 0;
    quint64 inode = 0;
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// The stamp of a content file (path as the program names it), or nothing when it is not
// a regular file.
std::optional<FileStamp> stampOf(const QString& contentPath);

// A content file read a piece at a time, so a large one needs no copy of the whole in
// memory; opening and reading fail as readContentFile() does.
class ContentFileReader {
public:
    explicit ContentFileReader(const QString& contentPath);
    enum class Named { AsContent, ByPath };
    ContentFileReader(const QString& path, Named named);
    ~ContentFileReader();
    ContentFileReader(const ContentFileReader&) = delete;
    ContentFileReader& operator=(const ContentFileReader&) = delete;
    // Up to maxBytes more bytes; empty at the end of the file.
    QByteArray read(qsizetype maxBytes);
    // Up to maxBytes from offset on (then reading goes on from there).
    QByteArray readAt(qint64 offset, qsizetype maxBytes);
    QByteArray readAll(qint64 maxBytes);
    // The open file's stamp.
    FileStamp stamp() const;

private:
    void checkRead();
    QString m_contentPath;
    std::unique_ptr<QFile> m_file;
};

} // namespace base
