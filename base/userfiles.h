// SPDX-License-Identifier: GPL-3.0-or-later
// Where the user's own files go: the one place that follows the XDG base folders. An
// environment value that is not an absolute path is ignored; with no usable home at all
// there is no folder, and nothing is written.
#pragma once

#include <QString>

namespace base {

// $XDG_CONFIG_HOME/psograf, else $HOME/.config/psograf; empty when neither is absolute.
QString userConfigDir();
// $XDG_DATA_HOME/psograf, else $HOME/.local/share/psograf; empty likewise.
QString userDataDir();

} // namespace base
