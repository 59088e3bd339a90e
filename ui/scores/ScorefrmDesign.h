#pragma once
// The score table window's design: captions, colours, and places in twips from the window's top-left.

#include "ui/Design.h"

#include <QColor>
#include <QString>

namespace palinor::scores {

// 40 spaces place the title near the middle of the title bar.
inline const QString kCaption = QStringLiteral("                                        Tableau des scores");
inline const QString kOk = QStringLiteral("OK");

inline constexpr QColor kLightOrange(255, 192, 128); // the window and the ranking
inline constexpr QColor kText(0, 0, 0);
inline constexpr QColor kPurple(128, 0, 128); // the ranking's text

inline constexpr design::Twips kClientArea{0, 0, 11340, 8490};
inline constexpr design::Twips kCommand1{8760, 6360, 615, 495};
inline constexpr design::Twips kList2{360, 360, 10935, 8220};
inline constexpr double kList2PointSize = 26.25;

} // namespace palinor::scores
