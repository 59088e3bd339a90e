#pragma once
// Every window's design is given in twips and plain colours; here they become pixels and palettes.

#include <QColor>
#include <QPalette>
#include <QRect>
#include <QWidget>

namespace palinor::design {

inline constexpr int kTwipsPerPixel = 15;

struct Twips {
    int left, top, width, height;
};

/* The one place where twips become pixels. */
constexpr QRect toPixels(Twips t)
{
    return {t.left / kTwipsPerPixel, t.top / kTwipsPerPixel, t.width / kTwipsPerPixel,
            t.height / kTwipsPerPixel};
}

inline constexpr QColor kBlack(0, 0, 0);
inline constexpr QColor kWhite(255, 255, 255);
// The classic desktop's buttons, edges and navy selected rows; every text keeps 4.5:1 or more on its ground.
inline constexpr QColor kButtonFace(240, 240, 240);
inline constexpr QColor kDimmedButtonText(96, 96, 96); // a disabled button's caption: 5.5:1 on the face
inline constexpr QColor kSelection(0, 0, 128);
inline constexpr QColor kSelectedText(255, 255, 255);
inline constexpr QColor kEdgeLight(255, 255, 255);
inline constexpr QColor kEdgeMidlight(227, 227, 227);
inline constexpr QColor kEdgeShadow(160, 160, 160);
inline constexpr QColor kEdgeDarkShadow(105, 105, 105);

// Whether a widget's text boxes and lists are white, as on the classic desktop, or share its ground.
enum class Boxes { White, Ground };

// Sets every colour group, boxes, selections and buttons too: no theme's light text meets a chosen ground.
inline void setGround(QWidget* widget, const QColor& ground, const QColor& text = kBlack,
                      Boxes boxes = Boxes::White)
{
    const QColor box = boxes == Boxes::Ground ? ground : kWhite;
    const QColor boxText = boxes == Boxes::Ground ? text : kBlack;
    QPalette palette = widget->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Window, ground);
        palette.setColor(group, QPalette::WindowText, text);
        palette.setColor(group, QPalette::Base, box);
        palette.setColor(group, QPalette::AlternateBase, box);
        palette.setColor(group, QPalette::Text, boxText);
        palette.setColor(group, QPalette::PlaceholderText, boxText);
        palette.setColor(group, QPalette::Highlight, kSelection);
        palette.setColor(group, QPalette::HighlightedText, kSelectedText);
        palette.setColor(group, QPalette::Button, kButtonFace);
        palette.setColor(group, QPalette::ButtonText,
                         group == QPalette::Disabled ? kDimmedButtonText : kBlack);
        palette.setColor(group, QPalette::Light, kEdgeLight);
        palette.setColor(group, QPalette::Midlight, kEdgeMidlight);
        palette.setColor(group, QPalette::Mid, kEdgeShadow);
        palette.setColor(group, QPalette::Dark, kEdgeShadow);
        palette.setColor(group, QPalette::Shadow, kEdgeDarkShadow);
    }
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace palinor::design
