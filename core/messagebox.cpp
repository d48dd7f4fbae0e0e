// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/messagebox.h"

#include "base/failure.h"

#include <QMessageBox>
#include <cstdio>

namespace core {

void useMessageBoxReports() {
    base::setFailureReporter([](const base::RuntimeFailure& failure) {
        const QString text = failureMessage(failure);
        std::fprintf(stderr, "psograf: %s\n", qPrintable(text.simplified()));
        QMessageBox::critical(nullptr, QStringLiteral("Пёсограф"), text);
    });
}

} // namespace core
