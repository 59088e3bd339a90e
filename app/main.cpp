#include "app/Application.h"
#include "app/WindowShell.h"
#include "data/ScoreDatabase.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

namespace {

QtMessageHandler qtDefaultHandler = nullptr;

// Qt aborts when it finds no display to open: say so in one plain line instead, and end quietly.
void startUpMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtFatalMsg) {
        std::fputs("Palinor : aucun écran graphique n'a pu être ouvert ; lancez le programme depuis une "
                   "session graphique (DISPLAY ou WAYLAND_DISPLAY).\n",
                   stderr);
        std::_Exit(EXIT_FAILURE);
    }
    if (QByteArrayView(context.category).startsWith("qt.qpa")) {
        return; // the platform's own complaints precede the fatal message above
    }
    qtDefaultHandler(type, context, message);
}

} // namespace

int main(int argc, char* argv[])
{
    qtDefaultHandler = qInstallMessageHandler(startUpMessages);
    QApplication app(argc, argv);
    qInstallMessageHandler(qtDefaultHandler);
    palinor::setUpApplication(app);

    palinor::GameState state;
    palinor::QtMessageBoxes boxes;
    palinor::WindowShell windows(state, boxes, [] { return palinor::databasePath(); });
    windows.showMainWindow();
    return QApplication::exec();
}
