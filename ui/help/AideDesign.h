#pragma once
// The help window's design: caption, colours, and places in twips from the window's top-left.

#include "ui/Design.h"

#include <QColor>
#include <QString>

namespace palinor::help {

inline const QString kCaption = QStringLiteral("Aide");

// The window and its page share one ground.
inline constexpr QColor kPaleCyan(192, 255, 255);
inline constexpr QColor kText(0, 0, 0);

inline constexpr design::Twips kClientArea{0, 0, 10620, 3090};
inline constexpr design::Twips kText1{360, 240, 9975, 2535};

} // namespace palinor::help
