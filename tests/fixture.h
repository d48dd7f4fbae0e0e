// SPDX-License-Identifier: GPL-3.0-or-later
// Small content folders made on the fly, and seams that record sounds, failures, the end
// of the program and opened addresses instead of acting on them.
#pragma once

#include "app/program.h"
#include "core/failure.h"

#include <QByteArray>
#include <QImage>
#include <QListWidget>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

using app::Program;
using catalogue::Form1;
using dialogs::Form3;
using dialogs::Form5;
using main_window::Form2;
using topics::Form4;

// A content folder with every file start-up needs, as the working directory.
class Fixture {
public:
    Fixture();
    ~Fixture();

    QString root() const { return m_dir.path(); }
    // Writes a file under the content folder; "\" or "/" separate folders. Text is
    // stored in Windows-1251.
    void writeText(const QString& relative, const QString& text);
    void writeBytes(const QString& relative, const QByteArray& bytes);
    void writePicture(const QString& relative, QSize size, QColor color = Qt::darkCyan);
    void remove(const QString& relative);

    // Starts the program on this folder; null (and the failure recorded) if start-up
    // failed.
    Program* start();
    Program* program() const { return m_program.get(); }
    void stop() { m_program.reset(); }

    QStringList sounds;                   // full paths handed to the audio channel
    QList<core::RuntimeFailure> failures; // reports instead of message boxes
    QList<int> endings;                   // statuses the program tried to end with

private:
    QTemporaryDir m_dir;
    QString m_oldCwd;
    std::unique_ptr<Program> m_program;
};

QByteArray toCp1251(const QString& text);

// The pictures start-up reads, in its order, and the lit ones decoded right after.
extern const QStringList StartupPictures;

// Saves a screenshot into the build folder's screenshots/ (for looking at).
void saveScreenshot(QWidget* window, const QString& name);

// Lets queued activations run.
void settle();

// The texts of a list's entries, in order.
QStringList entries(const QListWidget* list);
// A user's mouse click on an entry, scrolled into view first, then settled.
void clickEntry(QListWidget* list, int row);
