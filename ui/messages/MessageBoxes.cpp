#include "ui/messages/MessageBoxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace palinor {

namespace {

QMessageBox::Icon qtIcon(MessageBoxes::Icon icon)
{
    switch (icon) {
    case MessageBoxes::Icon::None:
        return QMessageBox::NoIcon;
    case MessageBoxes::Icon::Information:
        return QMessageBox::Information;
    case MessageBoxes::Icon::Warning:
        return QMessageBox::Warning;
    case MessageBoxes::Icon::Critical:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

QWidget* owner()
{
    QWidget* modal = QApplication::activeModalWidget();
    return modal ? modal : QApplication::activeWindow();
}

// The focus is on a button of the box: a screen reader says its description with its name, so the
// message is heard even where the box itself is not read.
void saidByButtons(QMessageBox& box, const QString& said)
{
    box.setAccessibleDescription(said);
    for (QAbstractButton* button : box.buttons()) {
        button->setAccessibleDescription(said);
    }
}

} // namespace

void QtMessageBoxes::tell(const QString& text, Icon icon, const QString& spoken)
{
    QMessageBox box(qtIcon(icon), QApplication::applicationName(), text, QMessageBox::Ok, owner());
    const bool ended = text.isEmpty() || QStringLiteral(".!?:").contains(text.back());
    saidByButtons(box, spoken.isEmpty() ? text : text + (ended ? QStringLiteral(" ") : QStringLiteral(". ")) + spoken);
    box.exec();
}

bool QtMessageBoxes::askRetry(const QString& text)
{
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(), text,
                    QMessageBox::Retry | QMessageBox::Cancel, owner());
    // Named here as well, so that they read the same without Qt's French translation.
    box.button(QMessageBox::Retry)->setText(QStringLiteral("Réessayer"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("Annuler"));
    box.setDefaultButton(QMessageBox::Retry);
    saidByButtons(box, text);
    return box.exec() == QMessageBox::Retry;
}

} // namespace palinor
