// SPDX-License-Identifier: GPL-3.0-or-later
// Small content folders made on the fly, with seams that record failures and the end of the
// program instead of acting on them: for the tests that need no screen (formats/tests,
// tools/ssu-check/tests). tests/content.h adds the sound recorder and the widget helpers.
#pragma once

#include "base/failure.h"

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QSize>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

// A content folder with every file start-up needs, as the working directory; the user's
// configuration folder ($XDG_CONFIG_HOME) is a folder "config" in it, the data folder
// ($XDG_DATA_HOME, the bookmarks) a folder "data".
class ContentFiles {
public:
    ContentFiles();
    ~ContentFiles();
    ContentFiles(const ContentFiles&) = delete;
    ContentFiles& operator=(const ContentFiles&) = delete;

    QString root() const { return m_dir.path(); }
    // Writes a file under the content folder; "\" or "/" separate folders. Text is
    // stored in Windows-1251.
    void writeText(const QString& relative, const QString& text);
    void writeBytes(const QString& relative, const QByteArray& bytes);
    void writePicture(const QString& relative, QSize size, QColor color = Qt::darkCyan);
    void remove(const QString& relative);

    QList<base::RuntimeFailure> failures; // reports instead of message boxes
    QList<int> endings;                   // statuses the program tried to end with

private:
    QTemporaryDir m_dir;
    QString m_oldCwd;
    QByteArray m_oldConfig;
    QByteArray m_oldData;
};

QByteArray toCp1251(const QString& text);

// Runs body on a thread that, even as root, is refused what a file's permissions refuse
// (its capabilities to override them dropped), so that "cannot be read" can be tested in CI.
void asPlainUser(const std::function<void()>& body);

// The pictures start-up reads, in its order (the carousel's photos as its slots are
// filled: Image3, Image4, Image6, Image7, Image5), then the ones only checked then and
// decoded when first shown (hover, the exit's dimmed background).
extern const QStringList StartupPictures;

// The breed chooser's facts (text\podbor.ssu): the column names, and six breeds, each a
// different answer's test, and an extinct one, written as an author would.
extern const QString BreedFactsHeader;
extern const QString BreedFactsFixture;

// A PDF read back with poppler's tools (poppler-utils, among the test packages): the text of
// each page with its white space made single spaces, the page count (-1 when it cannot be
// read), and the lines of «pdfimages -list».
QStringList pdfPageTexts(const QString& pdf);
int pdfPageCount(const QString& pdf);
QStringList pdfImageList(const QString& pdf);
