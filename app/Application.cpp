#include "app/Application.h"

#include "app/resources/PalinorResources.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace palinor {

void setUpApplication(QApplication& app)
{
    QApplication::setApplicationName(QStringLiteral("Palinor"));
    QApplication::setApplicationDisplayName(QStringLiteral("Palinor"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));

    const QLocale french(QLocale::French, QLocale::France);
    QLocale::setDefault(french);
    // Qt's own buttons and dialogs ("OK", "Annuler"...) in French.
    auto* qtTexts = new QTranslator(&app);
    if (qtTexts->load(french, QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(qtTexts);
    }

    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QString::fromLatin1(kSansSubstitute));
    QFont::insertSubstitution(QStringLiteral("Garamond"), QString::fromLatin1(kGaramondSubstitute));

    palinor_init_resources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/palinor.ico")));
}

} // namespace palinor
