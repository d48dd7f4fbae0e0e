// SPDX-License-Identifier: GPL-3.0-or-later
#include "print/dialogs.h"

#include "base/failure.h"

#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>

namespace print {

namespace {
void printOn(QPrinter& printer, const Fill& fill, const QString& where) {
    Printout printout(printer);
    fill(printout);
    if (!printout.print())
        base::fail(base::ErrPathAccess, QStringLiteral("Не удалось напечатать: %1").arg(where));
}
} // namespace

void printWithDialog(QWidget* parent, const Fill& fill) {
    QPrinter printer(QPrinter::HighResolution);
    preparePage(printer);
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Печать"));
    if (dialog.exec() != QDialog::Accepted) return;
    printOn(printer, fill,
            printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName());
}

void saveAsPdf(QWidget* parent, const QString& suggestedName, const Fill& fill) {
    QString name = suggestedName;
    // A name fit for a file on any system: no folder separators or reserved signs.
    static const QRegularExpression unfit(QStringLiteral(R"([\\/:*?"<>|\x00-\x1f])"));
    name.replace(unfit, QStringLiteral(" "));
    const QString path = QFileDialog::getSaveFileName(
        parent, QStringLiteral("Сохранить в PDF"),
        QDir::home().filePath(name.simplified() + QStringLiteral(".pdf")),
        QStringLiteral("PDF (*.pdf)"));
    if (path.isEmpty()) return;
    writePdf(path, fill);
}

void writePdf(const QString& path, const Fill& fill) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    preparePage(printer);
    printOn(printer, fill, path);
}

void printJob(QWidget* parent, const MakeJob& job) {
    base::guarded([&] {
        const Job made = job();
        printWithDialog(parent, made.fill);
    });
}

void addEntries(QMenu& menu, QWidget* parent, bool shown, const MakeJob& job,
                const QString& printCaption, const QString& pdfCaption, const QKeySequence& key) {
    QAction* printing =
        menu.addAction(printCaption, parent, [parent, job] { printJob(parent, job); });
    QAction* pdf = menu.addAction(pdfCaption, parent, [parent, job] {
        base::guarded([&] {
            const Job made = job();
            saveAsPdf(parent, made.name, made.fill);
        });
    });
    // Shown only: the window takes the key itself, whichever of its controls has the focus.
    printing->setShortcut(key);
    printing->setShortcutVisibleInContextMenu(true);
    printing->setEnabled(shown);
    pdf->setEnabled(shown);
}

} // namespace print
