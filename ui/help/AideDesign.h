#pragma once
// The help window's caption and colours.

#include <QColor>
#include <QString>

namespace palinor::help {

inline const QString kCaption = QStringLiteral("Aide");

// The window and its page share one ground.
inline constexpr QColor kPaleCyan(192, 255, 255);
inline constexpr QColor kText(0, 0, 0);

} // namespace palinor::help
