// SPDX-License-Identifier: GPL-3.0-or-later
// The bookmarks file: its lines, its edits, and the file on disk in every state it can be
// found in, and shared by two running copies.
#include "formats/bookmarks.h"
#include "tests/files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace bookmarks;

namespace {

const QByteArray H = "# Пёсограф: закладки и недавно прочитанные\n";
const Entry FirstAid{"Лечение собаки", "Первая помощь"};
const Entry Laika{QString(), "Лайка"};

// An entry written as the tests write them: "Section › Title", or a breed's name.
Entry entryOf(const QString& text) {
    const qsizetype cut = text.indexOf(" › ");
    return cut < 0 ? Entry{QString(), text} : Entry{text.left(cut), text.mid(cut + 3)};
}

QString textOf(const Entry& e) {
    return e.isBreed() ? e.title : e.section + " › " + e.title;
}

QString listed(const QList<Entry>& entries) {
    QStringList out;
    for (const Entry& e : entries)
        out << textOf(e);
    return out.join(" | ");
}

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

void write(const QString& file, const QByteArray& bytes) {
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(bytes);
}

} // namespace

class TestBookmarks : public QObject {
    Q_OBJECT
private slots:
    void parsing_data();
    void parsing();
    void edits_data();
    void edits();
    void files_data();
    void files();
    void twoCopies();
};

void TestBookmarks::parsing_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("isBookmarks");
    QTest::addColumn<QString>("bookmarks");
    QTest::addColumn<QString>("recent");

    QTest::newRow("empty") << QByteArray() << true << ""
                           << "";
    QTest::newRow("blank lines") << QByteArray("\n \r\n") << true << ""
                                 << "";
    QTest::newRow("header only") << H << true << ""
                                 << "";
    QTest::newRow("both groups, in file order")
        << H + "закладка\tтема\tЛечение собаки\tПервая помощь\n"
               "прочитано\tпорода\tЛайка\n"
               "закладка\tпорода\tЁркширский терьер\n"
               "прочитано\tтема\tФизиология собаки\tЗубы\n"
        << true << "Лечение собаки › Первая помощь | Ёркширский терьер"
        << "Лайка | Физиология собаки › Зубы";
    QTest::newRow("CR LF, a byte order mark, no end on the last line")
        << "\xEF\xBB\xBF" + H.chopped(1) + "\r\nзакладка\tпорода\tЛайка\r\nзакладка\tпорода\tМопс"
        << true << "Лайка | Мопс"
        << "";
    QTest::newRow("a later version's first line")
        << QByteArray("# Пёсограф: закладки, версия 2\nзакладка\tпорода\tЛайка\n") << true
        << "Лайка"
        << "";
    QTest::newRow("tab and backslash in a name") << H + "закладка\tтема\tРаздел\\\\1\tДо\\tпосле\n"
                                                 << true << "Раздел\\1 › До\tпосле"
                                                 << "";
    QTest::newRow("unknown and cut lines are not entries")
        << H + "# мои заметки\nзаметка\tпорода\tЛайка\nзакладка\tтема\tЛечение собаки\n"
               "закладка\tпорода\t\nзакладка\tпорода\tЛайка\tлишнее\nзакл"
        << true << ""
        << "";
    // A file cut off in its last entry still gives the rest.
    QTest::newRow("half-written") << H + "закладка\tпорода\tЛайка\nзакладка\tтема\tЛечение со"
                                  << true << "Лайка"
                                  << "";
    QTest::newRow("each once") << H + "закладка\tпорода\tЛайка\nзакладка\tпорода\tЛайка\n"
                                      "прочитано\tпорода\tМопс\nпрочитано\tпорода\tМопс\n"
                               << true << "Лайка"
                               << "Мопс";
    QTest::newRow("not a bookmarks file") << QByteArray("закладка\tпорода\tЛайка\n") << false << ""
                                          << "";
    QTest::newRow("header cut off") << QByteArray("# Пёсограф: закл") << false << ""
                                    << "";
}

void TestBookmarks::parsing() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, isBookmarks);
    QFETCH(QString, bookmarks);
    QFETCH(QString, recent);
    const std::optional<Lists> lists = parse(bytes);
    QCOMPARE(lists.has_value(), isBookmarks);
    if (!lists) return;
    QCOMPARE(listed(lists->bookmarks), bookmarks);
    QCOMPARE(listed(lists->recent), recent);
}

void TestBookmarks::edits_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("edit");     // "+ entry", "- entry", "read entry", "forget entry"
    QTest::addColumn<QByteArray>("after"); // "(none)": not a bookmarks file, not edited

    QTest::newRow("first bookmark in an empty file")
        << QByteArray() << "+ Лечение собаки › Первая помощь"
        << H + "закладка\tтема\tЛечение собаки\tПервая помощь\n";
    QTest::newRow("added after the last bookmark, other lines kept")
        << H + "закладка\tпорода\tЛайка\n# моё\nпрочитано\tпорода\tМопс\r\n"
        << "+ Ёркширский терьер"
        << H + "закладка\tпорода\tЛайка\nзакладка\tпорода\tЁркширский терьер\n# моё\n"
               "прочитано\tпорода\tМопс\n";
    QTest::newRow("the first bookmark goes before the recent")
        << H + "# моё\nпрочитано\tпорода\tМопс\n"
        << "+ Лайка" << H + "# моё\nзакладка\tпорода\tЛайка\nпрочитано\tпорода\tМопс\n";
    QTest::newRow("bookmarked already: the same bytes")
        << H + "закладка\tпорода\tЛайка\r\n"
        << "+ Лайка" << H + "закладка\tпорода\tЛайка\r\n";
    QTest::newRow("removed, every copy of it")
        << H + "закладка\tпорода\tЛайка\nпрочитано\tпорода\tЛайка\nзакладка\tпорода\tЛайка\n"
        << "- Лайка" << H + "прочитано\tпорода\tЛайка\n";
    QTest::newRow("read: first of the recent")
        << H + "закладка\tпорода\tЛайка\nпрочитано\tпорода\tМопс\n"
        << "read Лечение собаки › Первая помощь"
        << H + "закладка\tпорода\tЛайка\nпрочитано\tтема\tЛечение собаки\tПервая помощь\n"
               "прочитано\tпорода\tМопс\n";
    QTest::newRow("read again: moved up, once")
        << H + "прочитано\tпорода\tМопс\nпрочитано\tпорода\tЛайка\n"
        << "read Лайка" << H + "прочитано\tпорода\tЛайка\nпрочитано\tпорода\tМопс\n";
    QTest::newRow("read last already: the same bytes")
        << H + "прочитано\tпорода\tЛайка\r\n"
        << "read Лайка" << H + "прочитано\tпорода\tЛайка\r\n";
    QByteArray twenty = H, twentyAfter = H + "прочитано\tпорода\tНовая\n";
    for (int i = 1; i <= 20; ++i) {
        twenty += "прочитано\tпорода\tПорода " + QByteArray::number(i) + "\n";
        if (i < 20) twentyAfter += "прочитано\tпорода\tПорода " + QByteArray::number(i) + "\n";
    }
    QTest::newRow("the oldest beyond twenty goes") << twenty << "read Новая" << twentyAfter;
    QTest::newRow("a name with a tab") << QByteArray() << "+ Раздел\\1 › До\tпосле"
                                       << H + "закладка\tтема\tРаздел\\\\1\tДо\\tпосле\n";
    QTest::newRow("forgotten from the recent only")
        << H + "закладка\tпорода\tЛайка\nпрочитано\tпорода\tЛайка\n"
        << "forget Лайка" << H + "закладка\tпорода\tЛайка\n";
    QTest::newRow("forgetting what is not there: the same bytes")
        << H + "закладка\tпорода\tЛайка\r\n"
        << "forget Лайка" << H + "закладка\tпорода\tЛайка\r\n";
    QTest::newRow("not a bookmarks file")
        << QByteArray("мои заметки\n") << "+ Лайка" << QByteArray("(none)");
}

void TestBookmarks::edits() {
    QFETCH(QByteArray, before);
    QFETCH(QString, edit);
    QFETCH(QByteArray, after);
    const QString verb = edit.section(' ', 0, 0);
    const Entry entry = entryOf(edit.section(' ', 1));
    const std::optional<QByteArray> got = verb == "+"      ? withBookmark(before, entry, true)
                                          : verb == "-"    ? withBookmark(before, entry, false)
                                          : verb == "read" ? withRead(before, entry)
                                                           : without(before, entry, Group::Recent);
    QCOMPARE(got.value_or("(none)"), after);
    // What was written reads back as what was asked for.
    if (!got) return;
    const Lists lists = *parse(*got);
    if (verb == "+") QVERIFY(lists.bookmarks.contains(entry));
    if (verb == "-") QVERIFY(!lists.bookmarks.contains(entry));
    if (verb == "read") QCOMPARE(lists.recent.value(0), entry);
    if (verb == "forget") QVERIFY(!lists.recent.contains(entry));
}

// The file in every state it may be found in: the program goes on, says once what it could
// not keep, and never writes over what it could not read.
void TestBookmarks::files_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<bool>("kept");
    QTest::addColumn<QByteArray>("after"); // "(none)": no regular file there
    QTest::addColumn<QString>("problem");  // %1 the file, %2 its folder

    const QByteArray added = "закладка\tпорода\tЛайка\n";
    QTest::newRow("missing") << "missing" << QByteArray() << true << H + added << "";
    QTest::newRow("missing folder") << "no folder" << QByteArray() << true << H + added << "";
    QTest::newRow("empty") << "file" << QByteArray() << true << H + added << "";
    QTest::newRow("half-written") << "file" << H + "прочитано\tпорода\tМо" << true
                                  << H + added + "прочитано\tпорода\tМо\n"
                                  << "";
    QTest::newRow("huge") << "file" << H + QByteArray(2 << 20, '#') << false
                          << H + QByteArray(2 << 20, '#')
                          << "Закладки не сохранены: Файл слишком велик: %1";
    QTest::newRow("binary") << "file" << QByteArray("\x00\xff\x9c\x01\x00", 5) << false
                            << QByteArray("\x00\xff\x9c\x01\x00", 5)
                            << "Закладки не сохранены: %1 не файл закладок";
    QTest::newRow("someone else's text")
        << "file" << QByteArray("мои заметки\n") << false << QByteArray("мои заметки\n")
        << "Закладки не сохранены: %1 не файл закладок";
    QTest::newRow("unreadable") << "unreadable" << H << false << H
                                << "Закладки не сохранены: Нет доступа к файлу: %1";
    QTest::newRow("read-only") << "read-only" << H << false << H
                               << "Закладки не сохранены: %1 только для чтения";
    QTest::newRow("folder not writable")
        << "folder read-only" << QByteArray() << false << QByteArray("(none)")
        << "Закладки не сохранены: %1 не записан";
    QTest::newRow("a directory") << "directory" << QByteArray() << false << QByteArray("(none)")
                                 << "Закладки не сохранены: %1 не обычный файл";
    QTest::newRow("a FIFO") << "fifo" << QByteArray() << false << QByteArray("(none)")
                            << "Закладки не сохранены: %1 не обычный файл";
    QTest::newRow("a link to /dev/zero") << "zero" << QByteArray() << false << QByteArray("(none)")
                                         << "Закладки не сохранены: %1 не обычный файл";
    QTest::newRow("folder held by another")
        << "held" << H << false << H << "Закладки не сохранены: папка %2 занята";
    QTest::newRow("disk full") << "full" << H << false << H
                               << "Закладки не сохранены: %1 не записан";
    QTest::newRow("no home") << "no home" << QByteArray() << false << QByteArray("(none)")
                             << "Закладки не сохранены: нет домашней папки (HOME)";
}

void TestBookmarks::files() {
    QFETCH(QString, kind);
    QFETCH(QByteArray, before);
    QFETCH(bool, kept);
    QFETCH(QByteArray, after);
    QFETCH(QString, problem);
    const QByteArray added = "закладка\tпорода\tЛайка\n";

    ContentFiles f; // its own data folder
    takeProblems();
    const QString file = path();
    const QString dir = QFileInfo(file).path();
    QCOMPARE(file, f.root() + "/data/psograf/bookmarks.txt");
    if (kind != "no folder" && kind != "no home") QVERIFY(QDir().mkpath(dir));
    const QByteArray name = QFile::encodeName(file);
    if (kind == "file" || kind == "unreadable" || kind == "read-only" || kind == "held" ||
        kind == "full")
        write(file, before);
    int held = -1;
    if (kind == "unreadable") {
        QCOMPARE(chmod(name.constData(), 0), 0);
    } else if (kind == "read-only") {
        QCOMPARE(chmod(name.constData(), 0444), 0);
    } else if (kind == "folder read-only") {
        QCOMPARE(chmod(QFile::encodeName(dir).constData(), 0555), 0);
    } else if (kind == "directory") {
        QVERIFY(QDir().mkpath(file));
    } else if (kind == "fifo") {
        QCOMPARE(mkfifo(name.constData(), 0600), 0);
    } else if (kind == "zero") {
        QVERIFY(QFile::link("/dev/zero", file));
    } else if (kind == "held") {
        held = open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY);
        QCOMPARE(flock(held, LOCK_EX | LOCK_NB), 0);
    }
    const QByteArray home = qgetenv("HOME");
    if (kind == "no home") {
        qunsetenv("XDG_DATA_HOME");
        qunsetenv("HOME");
    }
    rlimit limit = {};
    getrlimit(RLIMIT_FSIZE, &limit);
    const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    if (kind == "full") {
        rlimit small = limit;
        small.rlim_cur = 8; // no room for the new file
        setrlimit(RLIMIT_FSIZE, &small);
    }
    bool result = false, again = false;
    Lists loaded, shown;
    asPlainUser([&] {
        loaded = load(); // the program starts whatever the file is
        result = setBookmarked(Laika, true);
        again = setBookmarked(Laika, true);
        shown = load(); // kept or not, this run shows it
    });
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, oldSignal);
    if (held >= 0) close(held);
    if (kind == "no home") qputenv("HOME", home);
    chmod(name.constData(), 0644);
    chmod(QFile::encodeName(dir).constData(), 0755);

    QCOMPARE(result, kept);
    QCOMPARE(again, kept);
    QCOMPARE(loaded.bookmarks.size(), 0);
    QCOMPARE(listed(shown.bookmarks), QString("Лайка"));
    QCOMPARE(QFileInfo(file).isFile() ? bytesOf(file) : QByteArray("(none)"), after);
    if (kind == "no home")
        QCOMPARE(QDir(f.root()).entryList({"data", ".local"}, QDir::AllEntries | QDir::Hidden),
                 QStringList());
    else
        QCOMPARE(QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System |
                                     QDir::Hidden),
                 QFileInfo::exists(file) || QFileInfo(file).isSymLink()
                     ? QStringList{"bookmarks.txt"}
                     : QStringList()); // no temporary file left behind
    // Said once, however often it recurs; reading and keeping are said apart.
    const QStringList said = takeProblems();
    const QString expected = QString(problem).replace("%1", file).replace("%2", dir);
    if (problem.isEmpty()) {
        QCOMPARE(said, QStringList());
    } else {
        QVERIFY2(!said.isEmpty() && said.last().startsWith(expected), qPrintable(said.join('\n')));
        QCOMPARE(said.filter("не сохранены").size(), 1);
    }
    // Once the file can be written again, the next change writes what could not be kept.
    if (kind == "read-only" || kind == "folder read-only" || kind == "held" || kind == "full") {
        QVERIFY(setBookmarked(FirstAid, true));
        QCOMPARE(bytesOf(file), H + added + "закладка\tтема\tЛечение собаки\tПервая помощь\n");
    }
    if (kind == "directory") QDir(file).removeRecursively();
}

// Two running copies: what the other wrote since is read again and kept, and two changing
// the file at once lose nothing of each other's.
void TestBookmarks::twoCopies() {
    ContentFiles f;
    takeProblems();
    QVERIFY(setBookmarked(FirstAid, true));
    {
        QFile other(path());
        QVERIFY(other.open(QIODevice::Append));
        other.write("закладка\tпорода\tМопс\nпрочитано\tпорода\tМопс\n");
    }
    QVERIFY(setBookmarked(Laika, true));
    QVERIFY(noteRead(Laika));
    QCOMPARE(listed(load().bookmarks), QString("Лечение собаки › Первая помощь | Мопс | Лайка"));
    QCOMPARE(listed(load().recent), QString("Лайка | Мопс"));
    QVERIFY(isBookmarked(Laika));
    QVERIFY(remove(Laika, Group::Bookmarks));
    QVERIFY(!isBookmarked(Laika));

    const auto copy = [](const QString& prefix) {
        for (int i = 1; i <= 30; ++i) {
            const Entry e{QString(), prefix + QString::number(i)};
            for (int attempt = 0; attempt < 50 && !setBookmarked(e, true); ++attempt) {
            }
            for (int attempt = 0; attempt < 50 && !noteRead(e); ++attempt) {
            }
        }
    };
    std::thread a(copy, QString("А")), b(copy, QString("Б"));
    a.join();
    b.join();
    const Lists lists = load();
    QCOMPARE(lists.bookmarks.size(), 2 + 60);
    for (int i = 1; i <= 30; ++i) {
        QVERIFY(lists.bookmarks.contains(Entry{QString(), "А" + QString::number(i)}));
        QVERIFY(lists.bookmarks.contains(Entry{QString(), "Б" + QString::number(i)}));
    }
    QCOMPARE(lists.recent.size(), MaxRecent);
    // The newest is the last one either read.
    QVERIFY(lists.recent[0] == (Entry{QString(), "А30"}) ||
            lists.recent[0] == (Entry{QString(), "Б30"}));
}

QTEST_GUILESS_MAIN(TestBookmarks)
#include "test_bookmarks.moc"
