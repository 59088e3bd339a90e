#include "ui/help/HelpPage.h"

#include <QStringList>

namespace palinor {

QString helpPage()
{
    // Leading spaces are part of the text: they centre the first and last lines by eye.
    const QStringList lines{
        QStringLiteral("             Palinor"),
        QString(),
        QStringLiteral("           Vertaline est la section Informatique du Club des jeunes de Morvanges"),
        QStringLiteral("           Le site de Zelk : %1 ").arg(QString::fromLatin1(kAuthorSite)),
        QString(),
        QString(),
        QStringLiteral("Palinor gère les scores d'une partie de billard hollandais. "),
        QString(),
        QStringLiteral(" Pour commencer une partie, cliquez dans le menu sur \"Nouvelle Partie\""),
        QStringLiteral(" ou utiliser le raccourci clavier CTRL N"),
        QString(),
        QStringLiteral(" Vous pouvez saisir les résultats de 3 manières différentes :"),
        QString(),
        QStringLiteral("   - En cliquant sur les \"dominos\" 1 à 4."),
        QStringLiteral("   - En utilisant le Menu."),
        QStringLiteral("   - En utilisant les raccourcis claviers correspondants (F1 F2 F3 F4)"),
        QString(),
        QStringLiteral(" Pour passer à la manche suivante vous pouvez :"),
        QString(),
        QStringLiteral("    - Cliquer sur la manche désirée."),
        QStringLiteral("    - Utiliser le Menu."),
        QStringLiteral("    - Utiliser le raccourci MAJ F5."),
        QString(),
        QStringLiteral(" Pour corriger une erreur de saisie, deux possibilités :"),
        QString(),
        QStringLiteral("    - Le raccourci Suppr (ou Del)."),
        QStringLiteral("    - Ou un clique sur Annuler dans le menu."),
        QString(),
        QStringLiteral(" Pour afficher les scores, deux choix s'offrent à vous :"),
        QString(),
        QStringLiteral("   - Par le menu (Tableau des Scores)"),
        QStringLiteral("    - En utilisant la séquence de touche CTRL S"),
        QString(),
        QStringLiteral(" Et enfin pour afficher cet écran d'aide, vous pouvez :"),
        QString(),
        QStringLiteral("    - Utliser le menu."),
        QStringLiteral("    - Utliser le raccourci CTRL F1."),
        QString(),
        QStringLiteral(" Pour toutes remarques ou suggestions contactez moi sur %1")
            .arg(QString::fromLatin1(kAuthorMail)),
        QString(),
        QString(),
        QString(),
        QStringLiteral("                         Cordialement Zelk (juin 2004)"),
    };
    return lines.join(QStringLiteral("\r\n"));
}

} // namespace palinor
