// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace core {

// Failures are reported in a message box (and on stderr) from now on.
void useMessageBoxReports();

} // namespace core
