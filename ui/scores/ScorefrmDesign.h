#pragma once
// The score table window's captions and colours.

#include <QColor>
#include <QString>

namespace palinor::scores {

// 40 spaces place the title near the middle of the title bar.
inline const QString kCaption = QStringLiteral("                                        Tableau des scores");
inline const QString kOk = QStringLiteral("OK");

inline constexpr QColor kLightOrange(255, 192, 128); // the window and the ranking
inline constexpr QColor kText(0, 0, 0);
inline constexpr QColor kPurple(128, 0, 128); // the ranking's text

} // namespace palinor::scores
