// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/settingsfile.h"

#include "base/failure.h"
#include "base/userfiles.h"

#include <QList>

namespace base::settings {

namespace {

const QByteArray General = "General";

void say(const QString& problem) {
    noticeOnce(QStringLiteral("настройка не сохранена: %1").arg(problem));
}

// The file as it is now, read only when it is a regular file of a size this program
// writes and holds text.
UserFileNow readNow(const QString& file) {
    return readUserFileNow(file, MaxBytes, QStringLiteral("не текст настроек"));
}

struct Line {
    QByteArray text; // without its end
    QByteArray end;
};

QList<Line> linesOf(const QByteArray& bytes) {
    QList<Line> lines;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        qsizetype end = pos;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        qsizetype next = end;
        if (next < bytes.size() && bytes[next] == '\r') ++next;
        if (next < bytes.size() && bytes[next] == '\n') ++next;
        lines.append({bytes.mid(pos, end - pos), bytes.mid(end, next - end)});
        pos = next;
    }
    return lines;
}

// The group a line opens, or a null array.
QByteArray groupOf(const QByteArray& line) {
    const QByteArray t = line.trimmed();
    return t.size() >= 2 && t.startsWith('[') && t.endsWith(']') ? t.mid(1, t.size() - 2).trimmed()
                                                                 : QByteArray();
}

// Whether the line sets key; its value then.
bool setsKey(const QByteArray& line, const QByteArray& key, QByteArray* value = nullptr) {
    const QByteArray t = line.trimmed();
    if (t.startsWith(';') || t.startsWith('#')) return false;
    const qsizetype eq = t.indexOf('=');
    if (eq < 0 || t.left(eq).trimmed() != key) return false;
    if (value) {
        QByteArray v = t.mid(eq + 1).trimmed();
        if (v.size() >= 2 && v.startsWith('"') && v.endsWith('"')) v = v.mid(1, v.size() - 2);
        *value = v;
    }
    return true;
}

// Lines before any group belong to [General], as with every INI reader.
template <class F> void forGeneral(const QList<Line>& lines, F&& each) {
    bool inGeneral = true;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray group = groupOf(lines[i].text);
        if (!group.isNull())
            inGeneral = group == General;
        else if (inGeneral)
            each(i);
    }
}

QByteArray edited(const QByteArray& old, const QByteArray& key, const QByteArray& value) {
    QList<Line> lines = linesOf(old);
    const QByteArray newLine = key + '=' + value;
    const QByteArray end = old.contains("\r\n") ? "\r\n" : "\n";
    bool found = false;
    forGeneral(lines, [&](qsizetype i) {
        if (!found && setsKey(lines[i].text, key)) {
            lines[i].text = newLine;
            found = true;
        }
    });
    if (!found) {
        qsizetype header = -1;
        for (qsizetype i = 0; i < lines.size() && header < 0; ++i)
            if (groupOf(lines[i].text) == General) header = i;
        if (header < 0) {
            lines.prepend({newLine, end});
            lines.prepend({"[" + General + "]", end});
        } else {
            if (lines[header].end.isEmpty()) lines[header].end = end;
            lines.insert(header + 1, {newLine, end});
        }
    }
    QByteArray out;
    for (const Line& line : std::as_const(lines))
        out += line.text + line.end;
    return out;
}

} // namespace

QString path() {
    const QString dir = userConfigDir();
    return dir.isEmpty() ? QString() : dir + QLatin1String("/psograf.conf");
}

QString value(const QString& key) {
    const QString file = path();
    if (file.isEmpty()) return {};
    const UserFileNow c = readNow(file);
    if (!c.readable) return {};
    const QList<Line> lines = linesOf(c.bytes);
    const QByteArray k = key.toUtf8();
    QString found;
    forGeneral(lines, [&](qsizetype i) {
        QByteArray v;
        if (found.isNull() && setsKey(lines[i].text, k, &v)) found = QString::fromUtf8(v);
    });
    return found;
}

bool store(const QString& key, const QString& value) {
    const QString file = path();
    if (file.isEmpty()) {
        say(QStringLiteral("нет домашней папки (HOME)"));
        return false;
    }
    const QString problem = saveUserFile(file, MaxBytes, QStringLiteral("не текст настроек"),
                                         [&](const QByteArray& now) -> std::optional<QByteArray> {
                                             return edited(now, key.toUtf8(), value.toUtf8());
                                         });
    if (problem.isEmpty()) return true;
    say(problem);
    return false;
}

} // namespace base::settings
