#pragma once
// Readability for the window tests: WCAG contrast of palette roles and of rendered text, under a dark theme.

#include <QAbstractItemView>
#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QStringList>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace palinor::testing {

// WCAG relative luminance of an sRGB colour.
inline double luminance(const QColor& c)
{
    const auto linear = [](int channel) {
        const double v = channel / 255.0;
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.red()) + 0.7152 * linear(c.green()) + 0.0722 * linear(c.blue());
}

inline double contrast(const QColor& a, const QColor& b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

inline constexpr double kReadable = 4.5;

// What Adwaita dark gives every widget: light text on dark grounds, dim disabled text, a blue selection.
inline QPalette darkPalette()
{
    QPalette p(QColor(53, 53, 53), QColor(53, 53, 53));
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const QColor text = group == QPalette::Disabled ? QColor(145, 145, 145) : QColor(238, 238, 236);
        for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
            p.setColor(group, role, text);
        }
        p.setColor(group, QPalette::Base, QColor(45, 45, 45));
        p.setColor(group, QPalette::AlternateBase, QColor(60, 60, 60));
        p.setColor(group, QPalette::Highlight, QColor(21, 83, 158));
        p.setColor(group, QPalette::HighlightedText, Qt::white);
    }
    return p;
}

// The application wears the dark theme while this lives; windows must be built after it.
struct DarkTheme {
    const QPalette saved = QApplication::palette();
    DarkTheme() { QApplication::setPalette(darkPalette()); }
    ~DarkTheme() { QApplication::setPalette(saved); }
    DarkTheme(const DarkTheme&) = delete;
    DarkTheme& operator=(const DarkTheme&) = delete;
};

// The ground and text roles a widget is drawn with, in every colour group, that fall short of 4.5:1;
// boxes and lists are also drawn with their selection.
inline QStringList unreadable(const QWidget* widget)
{
    QList<std::pair<QPalette::ColorRole, QPalette::ColorRole>> pairs{
        {widget->backgroundRole(), widget->foregroundRole()}};
    if (qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QAbstractItemView*>(widget) ||
        qobject_cast<const QPlainTextEdit*>(widget)) {
        pairs.append({QPalette::Highlight, QPalette::HighlightedText});
    }
    const QString name =
        widget->objectName().isEmpty() ? widget->metaObject()->className() : widget->objectName();
    QStringList found;
    for (auto [group, state] :
         {std::pair{QPalette::Active, "active"}, std::pair{QPalette::Inactive, "inactive"},
          std::pair{QPalette::Disabled, "disabled"}}) {
        for (const auto& [ground, text] : pairs) {
            const QColor g = widget->palette().color(group, ground);
            const QColor t = widget->palette().color(group, text);
            if (contrast(g, t) < kReadable) {
                found << QStringLiteral("%1 %2: %3 on %4 = %5")
                             .arg(name, state, t.name(), g.name())
                             .arg(contrast(g, t), 0, 'f', 2);
            }
        }
    }
    return found;
}

// The same for a window and everything in it.
inline QStringList unreadableIn(const QWidget* window)
{
    QStringList found = unreadable(window);
    for (const QWidget* child : window->findChildren<QWidget*>()) {
        found << unreadable(child);
    }
    return found;
}

// The pixel of a rendered area that stands out most from its ground, "dark" when text drawn there is darker
// than the ground by at least 4.5:1, "faint" otherwise.
inline QString inkOn(const QImage& image, const QRect& area, const QColor& ground)
{
    QColor strongest = ground;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (contrast(pixel, ground) > contrast(strongest, ground)) {
                strongest = pixel;
            }
        }
    }
    const bool dark = luminance(strongest) < luminance(ground);
    return QStringLiteral("%1 %2").arg(dark && contrast(strongest, ground) >= kReadable ? "dark" : "faint",
                                       strongest.name());
}

} // namespace palinor::testing
