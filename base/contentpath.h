// SPDX-License-Identifier: GPL-3.0-or-later
// Content is named as it was on the system it was written for: "dog\sob133.jpg",
// relative to the working directory, case-insensitive. This turns such a name into a
// path on this machine.
#pragma once

#include <QString>

namespace base {

// "\" and "/" both separate folders. Each component is matched exactly when it exists,
// otherwise case-insensitively; an unmatched component is kept as written.
QString realPath(const QString& contentPath);

// The folder of the executable: sounds are found under it.
QString programDirectory();

} // namespace base
