// SPDX-License-Identifier: GPL-3.0-or-later
// The author's contacts, shown in the help window.
#pragma once

namespace dialogs::contacts {
inline constexpr char Email[] = "psograf@example.org";
inline constexpr char WebSite[] = "https://psograf.example.org";
} // namespace dialogs::contacts
