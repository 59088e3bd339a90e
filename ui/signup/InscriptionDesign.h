#pragma once
// The sign-up window's design: captions, colours, and places in twips from the window's top-left.

#include "ui/Design.h"

#include <QColor>
#include <QString>

namespace palinor::signup {

inline const QString kCaption = QStringLiteral("Inscription");
// The text box's design text: it stays until the user or a pick changes it.
inline const QString kText1Text = QStringLiteral("Text1");
inline const QString kOk = QStringLiteral("OK");

// The window, its text box and its list share one ground.
inline constexpr QColor kPaleYellow(255, 255, 192);
inline constexpr QColor kText(0, 0, 0);

inline constexpr design::Twips kClientArea{0, 0, 4905, 2280};
inline constexpr design::Twips kText1{120, 120, 3735, 375};
inline constexpr design::Twips kList1{120, 600, 4575, 1425};
inline constexpr design::Twips kCommand1{3960, 120, 735, 375};

} // namespace palinor::signup
