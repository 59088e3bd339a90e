#pragma once
// What every run of the program sets up before its first window: names, French texts, fonts, pictures.

class QApplication;

namespace palinor {

// The design asks for fonts that Debian lacks; these are the installed fonts that stand in for them.
inline constexpr const char* kSansSubstitute = "Liberation Sans";
inline constexpr const char* kGaramondSubstitute = "EB Garamond";

void setUpApplication(QApplication& app);

} // namespace palinor
