#pragma once
// What every run of the program sets up before its first window: names, French texts, fonts, pictures.

class QApplication;

namespace palinor {

// The design asks for fonts that Debian lacks; these are the installed fonts that stand in for them.
inline constexpr const char* kSansSubstitute = "Liberation Sans";
// A Garamond-like serif whose figures are lining by default: a score reads as a number, never "ooo".
inline constexpr const char* kGaramondSubstitute = "Cardo";

void setUpApplication(QApplication& app);

} // namespace palinor
