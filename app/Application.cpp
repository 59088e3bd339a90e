#include "app/Application.h"

#include "app/resources/PalinorResources.h"
#include "data/DatabaseFolder.h"
#include "ui/main/Form1.h"
#include "ui/scores/scorefrm.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace palinor {

void setUpApplication(QApplication& app)
{
    // No display name: Qt would append it to every window's title. Message boxes are titled with this name.
    QApplication::setApplicationName(QStringLiteral("Palinor"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    // The desktop matches the windows to the menu entry of this name.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopId));

    const QLocale french(QLocale::French, QLocale::France);
    QLocale::setDefault(french);
    // Qt's own buttons and dialogs ("OK", "Annuler"...) in French.
    auto* qtTexts = new QTranslator(&app);
    if (qtTexts->load(french, QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(qtTexts);
    }

    // A portable folder may carry the fonts the program asks for (the Windows one does: Windows has neither).
    const QDir fonts(QDir(programFolder()).filePath(QStringLiteral("fonts")));
    for (const QString& file : fonts.entryList(QDir::Files)) {
        QFontDatabase::addApplicationFont(fonts.filePath(file));
    }
    const QString sans = QString::fromLatin1(Form1::kLabelFontFamily);
    QFont::insertSubstitution(sans, QString::fromLatin1(kSansSubstitute));
    QFont::insertSubstitution(QString::fromLatin1(scorefrm::kFontFamily),
                              QString::fromLatin1(kGaramondSubstitute));
    // The old toolkit's own font was MS Sans Serif too: menus, buttons and boxes share the labels' stand-in,
    // and only one font family is loaded at start.
    QFont interfaceFont = QApplication::font();
    interfaceFont.setFamily(QFont::substitute(sans));
    QApplication::setFont(interfaceFont);

    // Nothing is decoded here: a window reads the small drawings it offers when it is made.
    QApplication::setWindowIcon(applicationIcon());
}

} // namespace palinor
