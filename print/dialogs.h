// SPDX-License-Identifier: GPL-3.0-or-later
// What «Печать…» and «Сохранить в PDF…» ask the reader before print/printout.h typesets:
// Qt's print dialog (starting from A4), or a file name for the PDF. The windows call these
// with what they show; a printout that cannot be written is a failure (base/failure.h).
#pragma once

#include "print/printout.h"

#include <functional>

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

} // namespace print
