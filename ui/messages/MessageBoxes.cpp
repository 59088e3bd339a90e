#include "ui/messages/MessageBoxes.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
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

// The icon, for a screen reader, which would otherwise meet an unnamed picture.
QString iconName(MessageBoxes::Icon icon)
{
    switch (icon) {
    case MessageBoxes::Icon::None:
        return QString();
    case MessageBoxes::Icon::Information:
        return QStringLiteral("Information");
    case MessageBoxes::Icon::Warning:
        return QStringLiteral("Avertissement");
    case MessageBoxes::Icon::Critical:
        return QStringLiteral("Erreur");
    }
    return QString();
}

QWidget* owner()
{
    QWidget* modal = QApplication::activeModalWidget();
    return modal ? modal : QApplication::activeWindow();
}

// The text, which may hold a name, a path or a file's content, is shown as written, never read as markup.
// The focus is on a button of the box: each button says the message with its name, so that it is heard
// even where the box itself is not read; the icon is named rather than met as an unnamed picture.
void prepare(QMessageBox& box, const QString& said, const QString& icon)
{
    box.setTextFormat(Qt::PlainText);
    // Wide enough for a window manager to show the whole title beside its icon and buttons, however short
    // the text ("GAME OVER").
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        grid->addItem(new QSpacerItem(minimumBoxWidth(box.windowTitle()), 0, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    box.setAccessibleDescription(said);
    for (QAbstractButton* button : box.buttons()) {
        button->setAccessibleDescription(said);
    }
    for (QLabel* label : box.findChildren<QLabel*>()) {
        if (label->text().isEmpty()) {
            label->setAccessibleName(icon);
        }
    }
}

// "GAME OVER" and "Partie terminée." read as two sentences.
QString joined(const QString& text, const QString& spoken)
{
    if (spoken.isEmpty()) {
        return text;
    }
    const bool ended = text.isEmpty() || QStringLiteral(".!?:").contains(text.back());
    return text + (ended ? QStringLiteral(" ") : QStringLiteral(". ")) + spoken;
}

} // namespace

int minimumBoxWidth(const QString& title)
{
    // Title bars are commonly drawn in a bold font, with an icon and three buttons of about a line's height.
    QFont bold = QApplication::font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    return metrics.horizontalAdvance(title) + 4 * (metrics.height() + 8) + 48;
}

void QtMessageBoxes::tell(const QString& text, Icon icon, const QString& spoken)
{
    QMessageBox box(qtIcon(icon), QApplication::applicationName(), text, QMessageBox::Ok, owner());
    prepare(box, joined(text, spoken), iconName(icon));
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
    prepare(box, text, iconName(Icon::Warning));
    return box.exec() == QMessageBox::Retry;
}

bool QtMessageBoxes::askImport(const QString& text)
{
    QMessageBox box(QMessageBox::Question, QApplication::applicationName(), text, QMessageBox::NoButton,
                    owner());
    QPushButton* import = box.addButton(QStringLiteral("Importer"), QMessageBox::AcceptRole);
    box.addButton(QStringLiteral("Annuler"), QMessageBox::RejectRole);
    box.setDefaultButton(import);
    prepare(box, text, QStringLiteral("Question"));
    box.exec();
    return box.clickedButton() == import;
}

} // namespace palinor
