#include "app/StartUp.h"

#include <QByteArrayView>
#include <cstdio>
#include <cstdlib>

namespace palinor {

namespace {

QtMessageHandler qtDefaultHandler = nullptr;
bool displayUnreachable = false;

void startUpMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    // The platform says why it gave up before the fatal message that follows.
    const bool platform = QByteArrayView(context.category).startsWith("qt.qpa");
    if (platform && (message.contains(QLatin1String("could not connect to display")) ||
                     message.contains(QLatin1String("Failed to create wl_display")))) {
        displayUnreachable = true;
    }
    if (type == QtFatalMsg) {
        std::fputs(qPrintable(startUpFailureLine(message, displayUnreachable) + QLatin1Char('\n')), stderr);
        std::_Exit(EXIT_FAILURE);
    }
    if (platform) {
        return;
    }
    qtDefaultHandler(type, context, message);
}

} // namespace

void watchStartUpFailures()
{
    // A missing display is known before Qt tries: no variable names one. Windows always has its desktop.
#ifdef Q_OS_WIN
    displayUnreachable = false;
#else
    displayUnreachable = qEnvironmentVariableIsEmpty("DISPLAY") &&
                         qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
                         qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
#endif
    qtDefaultHandler = qInstallMessageHandler(startUpMessages);
}

void stopWatchingStartUpFailures()
{
    qInstallMessageHandler(qtDefaultHandler);
}

QString startUpFailureLine(const QString& fatalMessage, bool unreachable)
{
    if (unreachable) {
        return QStringLiteral(
            "Palinor : aucun écran graphique n'a pu être ouvert ; lancez le programme depuis une "
            "session graphique (DISPLAY ou WAYLAND_DISPLAY).");
    }
    const QString firstLine = fatalMessage.section(QLatin1Char('\n'), 0, 0).trimmed();
    if (fatalMessage.contains(QLatin1String("platform plugin"))) {
        return QStringLiteral(
                   "Palinor : le module d'affichage de Qt n'a pas pu être chargé, le programme ne peut "
                   "pas démarrer (Qt indique : « %1 »).")
            .arg(firstLine);
    }
    return QStringLiteral("Palinor : le programme n'a pas pu démarrer (Qt indique : « %1 »).").arg(firstLine);
}

} // namespace palinor
