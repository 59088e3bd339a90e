#pragma once
// The sign-up window's captions and colours.

#include <QColor>
#include <QString>

namespace palinor::signup {

inline const QString kCaption = QStringLiteral("Inscription");
// The text box's design text: it stays until the user or a pick changes it.
inline const QString kText1 = QStringLiteral("Text1");
inline const QString kOk = QStringLiteral("OK");

// The window, its text box and its list share one ground.
inline constexpr QColor kPaleYellow(255, 255, 192);
inline constexpr QColor kText(0, 0, 0);

} // namespace palinor::signup
