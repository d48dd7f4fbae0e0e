// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace core {

// Hands an address to the desktop's default handler without waiting for it. Returns a
// value above 32 when the handler was started, an error code otherwise; callers may
// ignore it.
int ShellOpen(QString address);

} // namespace core
