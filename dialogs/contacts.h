// The author's contacts, shown in the help window.
#pragma once

namespace contacts {
inline constexpr char Email[] = "psograf@example.org";
inline constexpr char WebSite[] = "https://psograf.example.org";
} // namespace contacts
