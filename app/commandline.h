// SPDX-License-Identifier: GPL-3.0-or-later
// The command line. --help and --version are answered on the terminal before anything
// connects to a display; a mistake gets one line on stderr and status 2. --content names
// the folder the pictures and texts are read from (the installed launcher passes it when
// that folder is missing, so that the failure names it). Qt's own options (-style,
// -platform, ...) are left to QApplication.
#pragma once

#include "base/failure.h"

#include <QString>
#include <optional>

namespace app {

struct CommandLine {
    std::optional<int> exitStatus; // answered: the program ends with this status
    QString contentFolder;         // --content, or empty
};

CommandLine readCommandLine(int argc, char* argv[]);

// Makes the content folder, when one is given, the working directory. Before any picture
// is read; the failure is for reporting once reports can be seen.
std::optional<base::RuntimeFailure> enterContentFolder(const QString& folder);

} // namespace app
