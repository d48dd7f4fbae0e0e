// SPDX-License-Identifier: GPL-3.0-or-later
#include "print/dialogs.h"

#include "base/failure.h"

#include <QDir>
#include <QFileDialog>
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

} // namespace print
