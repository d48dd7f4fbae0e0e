// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/shellopen.h"

#include <QDesktopServices>
#include <QUrl>

namespace core {

int ShellOpen(QString address) {
    constexpr int Started = 42;
    constexpr int NoAssociation = 31;
    return QDesktopServices::openUrl(QUrl::fromUserInput(address)) ? Started : NoAssociation;
}

} // namespace core
