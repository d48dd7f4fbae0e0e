// SPDX-License-Identifier: GPL-3.0-or-later
// What «Печать…» and «Сохранить в PDF…» ask the reader before print/printout.h typesets:
// Qt's print dialog (starting from A4), or a file name for the PDF. The windows call these
// with what they show; a printout that cannot be written is a failure (base/failure.h).
#pragma once

#include "print/printout.h"

#include <QKeySequence>
#include <functional>

class QMenu;
class QWidget;

namespace print {

// Adds the parts to print to a printout laid out for the printer chosen.
using Fill = std::function<void(Printout&)>;

// Qt's print dialog; prints when the reader confirms it.
void printWithDialog(QWidget* parent, const Fill& fill);
// Asks for the file (suggesting this name, in the home folder) and writes the PDF there.
void saveAsPdf(QWidget* parent, const QString& suggestedName, const Fill& fill);
// Writes the PDF to this file, A4: what saveAsPdf does once it has the name.
void writePdf(const QString& path, const Fill& fill);

// What a window prints: the name a PDF of it is offered under, and its parts (read when
// the reader has confirmed).
struct Job {
    QString name;
    Fill fill;
};
using MakeJob = std::function<Job()>;

// The print dialog for the job; a failure to read or print is reported.
void printJob(QWidget* parent, const MakeJob& job);
// A text's right-click entries «Печать…» (showing its key, Ctrl+P, which the window binds)
// and «Сохранить в PDF…», or others of these captions (a section's, with no key); disabled
// while nothing is shown.
void addEntries(QMenu& menu, QWidget* parent, bool shown, const MakeJob& job,
                const QString& printCaption = QStringLiteral("Печать…"),
                const QString& pdfCaption = QStringLiteral("Сохранить в PDF…"),
                const QKeySequence& key = QKeySequence::Print);

} // namespace print
