#include "ui/help/Aide.h"

#include "ui/Design.h"
#include "ui/help/AideDesign.h"
#include "ui/help/HelpPage.h"

#include <QPlainTextEdit>

namespace palinor {

Aide::Aide(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Aide"));
    setWindowTitle(help::kCaption);
    setFixedSize(design::toPixels(help::kClientArea).size());
    design::setGround(this, help::kPaleCyan, help::kText, design::Boxes::Ground);

    Text1_ = new QPlainTextEdit(this);
    Text1_->setObjectName(QStringLiteral("Text1"));
    Text1_->setGeometry(design::toPixels(help::kText1));
    Text1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1_->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text1_->setReadOnly(true);
    Text1_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Text1_->setAccessibleName(QStringLiteral("Aide de Palinor"));
    // The page is the first thing a screen reader reads: the focus starts on it.
    Text1_->setFocus();
    // Set, never appended: every opening shows the same page. The editor keeps its lines apart itself.
    Text1_->setPlainText(helpPage().replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

} // namespace palinor
