// SPDX-License-Identifier: GPL-3.0-or-later
// Small content folders made on the fly, and seams that record sounds, failures and the
// end of the program instead of acting on them: for the tests of a library (core/tests,
// tools/ssu-check/tests). tests/fixture.h starts the whole program on such a folder.
#pragma once

#include "core/failure.h"

#include <QByteArray>
#include <QImage>
#include <QListWidget>
#include <QStringList>
#include <QTemporaryDir>

// A content folder with every file start-up needs, as the working directory; the user's
// configuration folder ($XDG_CONFIG_HOME) is a folder "config" in it.
class ContentFolder {
public:
    ContentFolder();
    ~ContentFolder();
    ContentFolder(const ContentFolder&) = delete;
    ContentFolder& operator=(const ContentFolder&) = delete;

    QString root() const { return m_dir.path(); }
    // Writes a file under the content folder; "\" or "/" separate folders. Text is
    // stored in Windows-1251.
    void writeText(const QString& relative, const QString& text);
    void writeBytes(const QString& relative, const QByteArray& bytes);
    void writePicture(const QString& relative, QSize size, QColor color = Qt::darkCyan);
    void remove(const QString& relative);

    QStringList sounds;                   // full paths handed to the audio channel
    QList<core::RuntimeFailure> failures; // reports instead of message boxes
    QList<int> endings;                   // statuses the program tried to end with

private:
    QTemporaryDir m_dir;
    QString m_oldCwd;
    QByteArray m_oldConfig;
};

QByteArray toCp1251(const QString& text);

// The pictures start-up reads, in its order (the carousel's photos as its slots are
// filled: Image3, Image4, Image6, Image7, Image5), then the ones only checked then and
// decoded when first shown (hover, the exit's dimmed background).
extern const QStringList StartupPictures;

// Saves a screenshot into the build folder's screenshots/ (for looking at).
void saveScreenshot(QWidget* window, const QString& name);

// Lets queued activations run.
void settle();

// The texts of a list's entries, in order.
QStringList entries(const QListWidget* list);
// A user's mouse click on an entry, scrolled into view first, then settled.
void clickEntry(QListWidget* list, int row);
