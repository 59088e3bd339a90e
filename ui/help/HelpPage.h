#pragma once

#include <QString>

namespace palinor {

inline constexpr const char* kAuthorSite = "https://www.example.org/zelk/";
inline constexpr const char* kAuthorMail = "zelk@example.org";

// The help page: 43 lines joined by CR LF, no line break after the last one.
QString helpPage();

} // namespace palinor
