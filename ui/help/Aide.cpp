#include "ui/help/Aide.h"

#include "ui/help/HelpPage.h"

#include <QPlainTextEdit>

namespace palinor {

namespace {

constexpr int kTwipsPerPixel = 15;
const QColor kPaleCyan(192, 255, 255);

QRect twips(int left, int top, int width, int height)
{
    return {left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel, height / kTwipsPerPixel};
}

} // namespace

Aide::Aide(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Aide"));
    setWindowTitle(QStringLiteral("Aide"));
    setFixedSize(twips(0, 0, 10620, 3090).size());
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kPaleCyan);
    palette.setColor(QPalette::Base, kPaleCyan);
    setPalette(palette);
    setAutoFillBackground(true);

    Text1_ = new QPlainTextEdit(this);
    Text1_->setObjectName(QStringLiteral("Text1"));
    Text1_->setGeometry(twips(360, 240, 9975, 2535));
    Text1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1_->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text1_->setReadOnly(true);
    Text1_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Text1_->setAccessibleName(QStringLiteral("Aide de Palinor"));
    // Set, never appended: every opening shows the same page. The editor keeps its lines apart itself.
    Text1_->setPlainText(helpPage().replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

} // namespace palinor
